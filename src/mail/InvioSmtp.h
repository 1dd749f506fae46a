#pragma once
// Sends a message to an SMTP server with libcurl's SMTP client: the envelope
// sender and recipients, then the message as it is. Port 25 and no
// encryption by default; STARTTLS, TLS and a login when the settings ask for
// them. A failure raises the SMTP route's error with the server's answer
// (or the reason there was none) in its description; a password never
// appears in it.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vorpla {

struct ServerSmtp
{
    enum class Sicurezza { Nessuna, StartTls, Tls };
    QString nome;   // host name or address
    int porta = 25;
    Sicurezza sicurezza = Sicurezza::Nessuna;
    QString utente, password; // login, when the user is not empty
    int attesaSecondi = 60;   // connection and transfer limit
};

void inviaSmtp(const ServerSmtp &server, const QString &mittente, const QStringList &destinatari,
               const QByteArray &messaggio);

} // namespace vorpla
