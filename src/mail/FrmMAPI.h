#pragma once
// The mail dispatch: the PDF of the current document (temp + the print
// file's name + ".PDF"), with its extra attachments, mailed to the
// document's recipients. Spedisci_Mail composes the body (the custom lines
// of [Testo mail IT], the default paragraphs, the booking instructions) and
// runs one route: SMTP when the main window's "Invia con SMTP" is ticked,
// otherwise the mail client route the desktop's mailto handler names
// (SENDMAIL2000 for Outlook, SENDMAILEXPRESS for Outlook Express and the
// Windows mail programs, SENDMAIL for every other client).
//
// A route either hands the message over or fails: every failure reaches the
// caller as an error, and the mail is never taken as sent. The client
// routes go on after an ambiguous recipient and end quietly when the user
// cancels, as the mail controls' routes did; any other error (a recipient
// that is no mail address, sendmail refusing, no mail client for the
// compose window) is raised with the route's name in NomeRoutine and its
// suffix (" in SendMail.") after the description. The SMTP route's failure
// (no server, a refused recipient) carries the server's answer. A document
// without a recipient is never sent: SMTP refuses it (libcurl would run the
// server's HELP and call it a success), sendmail refuses it.
//
// SMTP sends each recipient once: the document's addresses and those typed
// in "Modifica E-mail" (which shows the document's own) are joined without
// repeats, and a copy recipient already among them is not added again.

#include "ClientPosta.h"
#include "InvioSmtp.h"

#include <QString>
#include <functional>
#include <optional>

namespace vorpla {

// The addresses the default paragraphs give: the program's own site and the
// download page of the PDF reader they name.
inline constexpr const char *SitoProduttore = "https://www.vorpla.it";
inline constexpr const char *PaginaLettorePdf = "https://get.adobe.com/reader/";

class FrmMAPI
{
public:
    FrmMAPI();

    // The main window's boxes the dispatch reads: "Invia con SMTP" and
    // "Invia tutti".
    std::function<bool()> ChkSmtp = [] { return false; };
    std::function<bool()> Check1 = [] { return false; };
    // The desktop's mailto handler command (unset: the desktop's own).
    std::function<QString()> gestoreMailto;
    // Sends a message over SMTP (unset: libcurl's client).
    std::function<void(const ServerSmtp &, const QString &mittente, const QStringList &destinatari,
                       const QByteArray &messaggio)>
        smtp;

    // The mail session and message of the client routes.
    ClientPosta posta;

    void Spedisci_Mail(bool allegato);

    bool InvioMailSmtp(bool allegato);
    bool SENDMAIL2000(bool allegato);
    bool SENDMAILEXPRESS(bool allegato);
    bool SENDMAIL(bool allegato);

    // The booking extract of the print file (from its "@BOA"/"@BOO" line).
    void FileBOA();
    // A copy of the document's PDF under a name of its own.
    QString GeneraNome();

    bool SezioneBOA = false;
    QString PercorsoFileBOA;

private:
    enum class Rotta { Duemila, Express, Generica };
    bool rottaClient(Rotta rotta);

    std::optional<QString> m_gestore; // the mailto handler, once read
};

} // namespace vorpla
