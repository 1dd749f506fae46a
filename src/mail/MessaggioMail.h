#pragma once
// A mail message as the mail routes hand it over: sender, recipients, copy
// recipients, subject, body text and the files attached in their order.
// It becomes an Internet message (MIME) through GMime, never by hand: the
// subject and the names encoded as mail readers expect (RFC 2047, the file
// names RFC 2231), the body as UTF-8 text, each file base64 with the content
// type its name gives (a PDF as application/pdf).
//
// No text can add a header or a recipient: an address holding a CR, an LF
// or anything but one mailbox is refused, and the CR and LF of a subject or
// a file name become blanks.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vorpla {

struct MessaggioMail
{
    QString mittente;
    QStringList destinatari; // "To"
    QStringList copie;       // "Cc"
    QString oggetto;
    QString testo; // lines ending in CR LF
    QStringList allegati; // paths of the files, in order

    // The message in MIME, lines ending in CR LF (for SMTP) or LF (for the
    // local sendmail). Error 32014 ("recipient not resolved") for an
    // address that is no mailbox; error 53 for a file that cannot be read.
    QByteArray mime(bool crlf = true) const;
};

// An address as mail systems take it: one mailbox "local@domain", no
// blanks, controls, brackets or separators in it.
bool indirizzoValido(const QString &indirizzo);

// The addresses of a list separated by ";" or ",", trimmed, empty parts left
// out (as "a@b.it; " has one address).
QStringList indirizziDellElenco(const QString &elenco);

} // namespace vorpla
