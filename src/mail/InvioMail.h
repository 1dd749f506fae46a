#pragma once
// The e-mail and fax command of the main window (cmdEmail_Click, index 0
// e-mail, 1 fax gateway) after its copies check: the PDF of the document,
// or of each document of a batch, handed to the mail dispatch with that
// document's recipients.
//
// A print file with more than one "@FAXS" line is a batch. It is read once:
// a document runs to its "@FAXS" line (the next one starts with that line),
// "@COPI" and "@LARG" lines leave the documents and go in front of every
// later one, and text after the last "@FAXS" is never sent. Each document is
// written as temp/Documento0001.stx (the same file for all of them), made a
// PDF and mailed. Markers are compared exactly (letter case counts).
//
// A customer gets only their own document:
// - each document starts from nothing: its address, second address and fax
//   number, its customer ("@FAXD"), subject, titles and attachments are its
//   own, never the previous document's or what start-up read;
// - the PDF at the document's path is removed before the document is made,
//   and a document is sent only when a PDF stands there afterwards, the one
//   just made;
// - a fax number is one number (digits, blanks, "+", "-", "/", "(", ")"):
//   anything else refuses the document, nothing is split into recipients;
// - the batch's work files have fixed names in the shared temporary folder,
//   so one batch runs at a time on the machine (TurnoCartella), and they go
//   when the batch ends, however it ends.
//
// Each document ends one way (Documento): sent; without an address (listed
// in ElencoNonInviati: no "@EMAI", or, with several letterheads, "Invia
// tutti" or SMTP, nobody to send to); not sent, with the reason (its PDF not
// made, a refused address or fax number, the route's failure), the other
// documents going on; or already sent by an earlier run of the same print
// file (RegistroInvii). After the mail server was unreachable the batch's
// later documents are not tried. A failure is never taken as sent: the
// command then ends without termina, so the print file and the PDF stay.
//
// The documents not sent are shown in the report window (FormReportMail):
// those without an address, and those that failed with why.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace vorpla {

class ErroreVB;

class InvioMail
{
public:
    // The main window's values the command reads.
    struct Finestra
    {
        int indice = 0;               // 0 e-mail, 1 fax gateway
        bool allegato = false;        // "Allegato"
        bool inviaTutti = false;      // "Invia tutti"
        bool smtp = false;            // "Invia con SMTP"
        bool anteprimaQualita = false; // "Anteprima di qualità": PDFs through the PDF printer
        // The record of earlier runs ignored: every document goes again.
        bool inviaDiNuovo = false;
        QString NumeroFax, FaxPrima, FaxDopo;
        // The single send's fax numbers as the print file wrote them
        // ("@FAXN", "@FA2N").
        QStringList numeriFax;
    };

    enum class Esito { Inviato, SenzaIndirizzo, NonInviato, GiaInviato };
    struct Documento
    {
        int numero = 0;        // in the batch, from 1
        QString cliente;       // its "@FAXD"
        QString destinatari;   // as handed to the route
        Esito esito = Esito::NonInviato;
        QString motivo;        // why it was not sent
        bool temporaneo = false; // the mail server may take it later
    };

    // What it does with the window and the other parts of the program.
    std::function<void()> spostaFinestra;           // top-left corner, behind the others
    std::function<void(bool)> abilitaFinestra;
    std::function<void(bool)> cursoreOccupato;
    std::function<void(const QString &file)> CreaPdf; // the quality route
    std::function<void()> pdfRapido;                 // the PDF output form, on FileIngresso
    std::function<void(bool allegato)> Spedisci_Mail;
    // FormReportMail, modal: the documents without an address, and those
    // that failed ("name: why" lines).
    std::function<void(const QString &senzaIndirizzo, const QString &falliti)> mostraReport;
    // A batch's progress: document k of n (called before each one).
    std::function<void(int k, int n)> progresso;
    // Each document, once it ended.
    std::function<void(const Documento &)> documentoConcluso;
    // A wait that lets window events run (a plain sleep when unset).
    std::function<void(int ms)> attendi;

    // Runs the command; true when it finished and termina must follow:
    // nothing failed (documents without an address may have been listed).
    bool esegui(const Finestra &finestra);

    // The status of a run without a window: 0 every document sent, 75 one
    // was not because the mail server failed for now (a later run can send
    // it), 1 one was not for any other reason (no address, its PDF, a
    // refused address).
    int statoUscita() const;

    // The text of a failure as the user sees it: the routine message, or,
    // when the description puts a sentence before its details (a blank
    // line between), that sentence first.
    static QString testoErrore(const ErroreVB &errore);

    QString ElencoNonInviati;
    QString ElencoFalliti;
    QList<Documento> documenti;

private:
    void invioSingolo(const Finestra &f);
    void lotto(const Finestra &f);
    // Makes the PDF of the current document and mails it; the outcome in d.
    void inviaDocumento(Documento &d, const Finestra &f, bool qualita, bool mostra);
    void concluso(const Documento &d);

    bool m_serverIrraggiungibile = false;
};

// Whether a fax number is one number: digits, blanks, "+", "-", "/", "(" and
// ")" only, and at least one digit.
bool numeroFaxValido(const QString &numero);

} // namespace vorpla
