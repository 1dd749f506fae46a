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
// Names are one-to-one: the four values are joined as they always were
// (C1 + 12 + 2026 + R1 is C1122026R1.PDF), and two documents of the run
// whose values differ but join to the same name (C1 + 12 and C11 + 2, or
// "A/1" and "A_1") are never one file: the later one is refused and
// reported. The same four values again are the same document: its later
// version is published. A name longer than the file system takes is its
// document's failure.
//
// A document that fails (its name refused, its PDF not made, its folder not
// created, its copy refused) is reported with the routine message naming
// it; the others are still published. A document's PDF is the one made for
// it in this run (what stood at its path in the temporary folder goes
// first), and it reaches the tree whole or not at all: it is written beside
// its final name and renamed over it. The work folder holds this run's
// documents only (what was left there goes first), and one publishing runs
// at a time on the machine (TurnoCartella), since its files have fixed
// names.

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
