#pragma once
// The session's clipboard, as the terminal-server hand-over uses it: the
// job goes to the remote client in a private format, the client's answers
// come back as text. One interface, so the exchange runs on the desktop's
// real clipboard (AppuntiQt) and on a scripted one.

#include <QByteArray>
#include <QString>
#include <optional>

namespace vorpla {

class Appunti
{
public:
    virtual ~Appunti() = default;

    // Whether the clipboard can be written now.
    virtual bool apri() = 0;
    // Empties the clipboard (the program gives up what it offered).
    virtual void svuota() = 0;
    // Registers a private format by name and gives the name its data is
    // offered under; formats are known by name, never by number.
    virtual QString registraFormato(const QString &nome) = 0;
    // Offers `dati` in the format, replacing what the clipboard held.
    virtual void impostaDati(const QString &formato, const QByteArray &dati) = 0;
    virtual void impostaTesto(const QString &testo) = 0;
    // The clipboard's text, "" when it holds none; nothing when the
    // clipboard cannot be read at the moment (busy).
    virtual std::optional<QString> testo() = 0;
    // Whether what the program offered is still the clipboard's content (no
    // other program took the clipboard since).
    virtual bool possiede() = 0;
};

} // namespace vorpla
