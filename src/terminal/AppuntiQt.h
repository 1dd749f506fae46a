#pragma once
// The desktop's clipboard through Qt. On X11 a private format is offered as
// a selection target of the same name ("KV_ZIP"), readable by any X client
// (xclip -selection clipboard -t KV_ZIP -o). What the program offers lives in
// the program: it stays readable while the program runs, and Qt hands it to
// the clipboard manager, where one runs, when the application object goes.

#include "Appunti.h"

namespace vorpla {

class AppuntiQt : public Appunti
{
public:
    bool apri() override;
    void svuota() override;
    QString registraFormato(const QString &nome) override;
    void impostaDati(const QString &formato, const QByteArray &dati) override;
    void impostaTesto(const QString &testo) override;
    std::optional<QString> testo() override;
    bool possiede() override;
};

} // namespace vorpla
