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
// PDF and mailed; one without an address is listed instead (ElencoNonInviati)
// when "Invia tutti" is ticked or the print file has several letterheads.
// Markers are compared exactly (letter case counts).
//
// The command ends the program through termina after it has shown the list
// of the documents not sent; only a single send whose PDF was not made keeps
// the program open. An error (an unreadable print file, a document that
// cannot be written, an SMTP failure) stops the command where it is: it
// reaches the caller, which reports it, and termina does not run.

#include <QString>
#include <functional>

namespace vorpla {

class InvioMail
{
public:
    // The main window's values the command reads.
    struct Finestra
    {
        int indice = 0;               // 0 e-mail, 1 fax gateway
        bool allegato = false;        // "Allegato"
        bool inviaTutti = false;      // "Invia tutti"
        bool anteprimaQualita = false; // "Anteprima di qualità": PDFs through the PDF printer
        QString NumeroFax, FaxPrima, FaxDopo;
    };

    // What it does with the window and the other parts of the program.
    std::function<void()> spostaFinestra;           // top-left corner, behind the others
    std::function<void(bool)> abilitaFinestra;
    std::function<void(bool)> cursoreOccupato;
    std::function<void(const QString &file)> CreaPdf; // the quality route
    std::function<void()> pdfRapido;                 // the PDF output form, on FileIngresso
    std::function<void(bool allegato)> Spedisci_Mail;
    std::function<void(const QString &elenco)> mostraReport; // FormReportMail, modal
    // A batch's progress: document k of n (called before each one).
    std::function<void(int k, int n)> progresso;

    // Runs the command; true when it finished and termina must follow.
    bool esegui(const Finestra &finestra);

    QString ElencoNonInviati;

private:
    bool invioSingolo(const Finestra &f);
    void lotto(const Finestra &f);
};

} // namespace vorpla
