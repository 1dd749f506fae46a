#pragma once
// The headless render command:
//
//   vorpla --render printer --output OUT.pdf [--printer-name NAME] [--copies N] PRINTFILE
//   vorpla --render pdf --output OUT.pdf [--printer-name NAME] PRINTFILE
//   vorpla --render tolvek --kind KIND --output OUT.pdf [--printer-name NAME] [--copies N] DATAFILE
//
// The tolvek target prints the customer-specific documents of a data file
// (VorplaTolvek) on the same page device as the printer target.
//
// The pdf target loads the job as loading the PDF output form (FRMCreaPDF)
// does, against a stand-in runtime printer of A4 portrait named NAME, and
// writes the PDF the form makes (the PDF layout, through the document
// object) to OUT.pdf. What follows describes the printer target; the
// output, messages and exit status are the same for both.
//
// loads the job as the printer output form does (FormVorpla, with PRINTFILE
// as the job's print file) and draws it once, as one copy, on a PDF page
// device that stands for a printer named NAME ("Vorpla" by default): A4
// portrait, printable area the whole sheet, 600 dpi. It lets scripts and
// tests see exactly what the printer would receive.
//
// With --copies N the printer form's copies loop (SCELTA_VORPLANTE) runs
// instead, N standing for the text of the main window's copies box: every
// copy starts on a new page of the one PDF, as if on a fresh print job. As in
// the program, the box counts only when the print file has an "@COPI" line
// (otherwise one copy), a printer named like "ZETAFAX" gets one copy, and a
// box that is not a number gives the loop's error message. The attachments
// the loop would print after the first copy are listed on standard output
// ("attachment after copy 1 on NAME: FILE"), followed by "copies drawn: K".
// With no copy drawn OUT.pdf is not written.
//
// The TrueType files of the program folder are registered first, so the
// print file's fonts are found by their family names.
//
// OUT.pdf appears only complete: the PDF is written to a temporary file in
// OUT.pdf's folder and renamed over OUT.pdf at the end; on any failure the
// temporary file goes and an existing OUT.pdf stays as it was.
//
// Messages always go to standard error, display or not. Exit status: 0 done;
// 1 after an error message (a missing print file, an interpreter error, a
// PDF that cannot be written); 2 for a command line that is not the command
// (the usage is written to standard error).

#include <QList>
#include <QString>
#include <QStringList>

namespace vorpla {

inline constexpr int FineUsoErrato = 2;

// Whether the command line (without the program name) asks for the command.
bool eComandoRender(const QStringList &argomenti);

// Runs the command; argomenti is the command line without the program name,
// starting with "--render". Returns the exit status.
int eseguiComandoRender(const QStringList &argomenti);

// A font file registered with the application's font database.
struct FontRegistrato
{
    QString file;        // file name, without the folder
    QStringList famiglie; // the families it provides
};

// Registers every TrueType file (".ttf" in any letter case) of the folder
// with the application's font database, in file-name order. A file that is
// not a usable font is reported on standard error and left out.
QList<FontRegistrato> registraFontTrueType(const QString &cartella);

} // namespace vorpla
