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
// The client routes trap their errors as the mail controls' routes did: an
// unresolved or ambiguous recipient goes on with the next step, a cancel
// ends the route quietly, any other error is shown with the route's name,
// and the route counts as handled. The SMTP route traps nothing: its
// failure (no server, a refused recipient) reaches the command with the
// server's answer, and the mail is never taken as sent.

#include "ClientPosta.h"
#include "InvioSmtp.h"

#include <QString>
#include <functional>

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
};

} // namespace vorpla
