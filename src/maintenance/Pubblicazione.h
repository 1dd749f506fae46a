#pragma once
// Publishing a batch of documents as PDF files in a shared folder tree
// instead of printing them (the main window's "Pubblica"). The print file
// holds documents each closed by a line "@FAXS"; "@CCLI" (customer), "@AARI"
// (year), "@MMRI" (month) and "@RFRI" (reference) name them and are left out
// of their text. Each document becomes temp/RF/<CCLI><MMRI><AARI><RFRI>.stx,
// then a PDF, copied into [PUBBLICA] PERCORSO/<year>/ (or /<year>/<month>/
// when TIPO is "mese": the PDF output form; otherwise the quality route).
// Every document goes to the folder of the last year and month read.
//
// A document that fails (its PDF not made, its folder not created, its copy
// refused) is reported with the routine message naming it; the others are
// still published. A PDF reaches the tree whole or not at all: it is
// written beside its final name and renamed over it.

#include <QString>
#include <functional>

namespace vorpla {

struct ServiziPubblicazione
{
    // The PDF of the document file through the PDF output form
    // (FileIngresso is set to it): the file written, or "" after a message.
    std::function<QString(const QString &documento)> pdfMese;
    // The PDF of the document file by the quality route (CreaPdf).
    std::function<void(const QString &documento)> CreaPdf;
    std::function<void()> eventi;
    std::function<void(int ms)> attendi;
    // Document k of n begins.
    std::function<void(int k, int n)> progresso;
};

class Pubblicazione
{
public:
    explicit Pubblicazione(ServiziPubblicazione servizi) : m_s(std::move(servizi)) {}

    // Publishes the print file lavoro().FileIngresso; the number of
    // documents that could not be published (0: all of them). The work
    // folder is gone afterwards.
    int CmdPub_Click();

private:
    bool pubblicaDocumento(const QString &nome, const QString &cartella, bool mese);

    ServiziPubblicazione m_s;
    QString m_aari, m_mmri;
};

// A value of the print file as a part of a file or folder name: separators
// and what could climb out of the tree ("..") become "_".
QString parteDiNome(const QString &valore);

} // namespace vorpla
