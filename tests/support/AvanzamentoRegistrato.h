#pragma once
// The progress of long runs, for tests: every run's title and every report
// recorded, for as long as the object lives.

#include "common/Avanzamento.h"

#include <QStringList>

namespace vorpla::prova {

class AvanzamentoRegistrato : public OsservatoreAvanzamento
{
public:
    AvanzamentoRegistrato() { impostaOsservatoreAvanzamento(this); }
    ~AvanzamentoRegistrato() override { impostaOsservatoreAvanzamento(nullptr); }

    void inizio(const QString &titolo) override
    {
        titoli << titolo;
        ++aperte;
    }
    void stato(const QString &testo, int, int n) override
    {
        stati << testo;
        totale = n;
    }
    void fine() override { --aperte; }

    QStringList titoli, stati;
    int aperte = 0; // runs begun and not ended
    int totale = 0; // the count of the last report
};

} // namespace vorpla::prova
