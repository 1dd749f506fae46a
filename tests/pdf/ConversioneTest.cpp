// The PostScript-to-PDF conversion through the system's Ghostscript library:
// PostScript jobs written here are converted in this process and the PDFs are
// read back with poppler's pdftotext and pdfinfo, as a user would see them.

#include "pdf/GsApi.h"
#include "pdf/ModGhostScript.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <thread>
#include <unistd.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

// A PostScript job of one page for each text, every page set in Helvetica
// with its text on two lines, as a printer driver would write it.
QByteArray lavoroPostScript(const QStringList &pagine, const QByteArray &coda = {})
{
    const auto stringa = [](QString t) {
        t.replace(u'\\', QStringLiteral("\\\\")).replace(u'(', QStringLiteral("\\(")).replace(u')', QStringLiteral("\\)"));
        return u'(' + t + u')';
    };
    QByteArray ps = "%!PS-Adobe-3.0\n%%Creator: Ulka\n%%Pages: " + QByteArray::number(pagine.size())
                    + "\n%%EndComments\n";
    for (int i = 0; i < pagine.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        ps += "%%Page: " + n + ' ' + n + "\n";
        ps += "/Helvetica findfont 16 scalefont setfont\n";
        ps += "72 760 moveto " + stringa(pagine[i]).toLatin1() + " show\n";
        ps += "/Helvetica-Bold findfont 11 scalefont setfont\n";
        ps += "72 730 moveto (Pagina " + n + ") show\n";
        ps += "0.5 setlinewidth 72 720 moveto 523 720 lineto stroke\n";
        ps += "showpage\n";
    }
    ps += coda;
    ps += "%%EOF\n";
    return ps;
}

QString testoPdf(const QString &pdf)
{
    return eseguiProcesso(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).uscita;
}

int paginePdf(const QString &pdf)
{
    const EsitoProcesso esito = eseguiProcesso(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(esito.uscita);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Everything this process writes to its standard output and standard error
// while `azione` runs.
template<typename F>
QByteArray consoleDurante(const CartellaProva &cartella, F &&azione)
{
    const QString cattura = cartella.percorso(QStringLiteral("console.txt"));
    std::fflush(stdout);
    std::fflush(stderr);
    const int vecchioOut = dup(1), vecchioErr = dup(2);
    std::FILE *f = std::fopen(QFile::encodeName(cattura).constData(), "w");
    dup2(fileno(f), 1);
    dup2(fileno(f), 2);
    azione();
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(vecchioOut, 1);
    dup2(vecchioErr, 2);
    close(vecchioOut);
    close(vecchioErr);
    std::fclose(f);
    return leggiFile(cattura);
}

} // namespace

TEST(ConversioneGhostscript, TurnsAPostScriptJobIntoAPdfWithItsTextAndPages)
{
    // The program folder has neither "lib" nor "fonts": the system's
    // Ghostscript finds its own initialisation files and Helvetica.
    CartellaProva cartella;
    ASSERT_FALSE(QFileInfo::exists(cartella.programma() + QStringLiteral("/lib")));
    const QString ps = cartella.scrivi(QStringLiteral("spool/spool.ps"),
                                       lavoroPostScript({QStringLiteral("ACME FATTURA 123"),
                                                         QStringLiteral("ESTRATTO CONTO (ROMA)"),
                                                         QStringLiteral("VOUCHER HOTEL 77")}));
    const QString pdf = cartella.temp() + QStringLiteral("fattura.pdf");

    EXPECT_TRUE(ConvertiPsInPdf(ps, pdf));

    const QString testo = testoPdf(pdf);
    EXPECT_TRUE(testo.contains(QStringLiteral("ACME FATTURA 123"))) << testo.toStdString();
    EXPECT_TRUE(testo.contains(QStringLiteral("ESTRATTO CONTO (ROMA)"))) << testo.toStdString();
    EXPECT_TRUE(testo.contains(QStringLiteral("VOUCHER HOTEL 77"))) << testo.toStdString();
    EXPECT_TRUE(testo.contains(QStringLiteral("Pagina 3"))) << testo.toStdString();
    EXPECT_EQ(paginePdf(pdf), 3);
    // The PostScript file is left where it was.
    EXPECT_TRUE(QFileInfo::exists(ps));
}

TEST(ConversioneGhostscript, AJobEndingWithQuitIsAFinishedConversion)
{
    // "quit" in the job ends the interpreter normally, after the pages are
    // written; the library reports it apart from the errors.
    CartellaProva cartella;
    const QString ps = cartella.scrivi(QStringLiteral("spool/spool.ps"),
                                       lavoroPostScript({QStringLiteral("ACME FATTURA 123"),
                                                         QStringLiteral("ACME FATTURA 124")},
                                                        "quit\n"));
    const QString pdf = cartella.temp() + QStringLiteral("fattura.pdf");

    EXPECT_TRUE(ConvertiPsInPdf(ps, pdf));
    EXPECT_EQ(paginePdf(pdf), 2);
    EXPECT_TRUE(testoPdf(pdf).contains(QStringLiteral("ACME FATTURA 124")));
}

TEST(ConversioneGhostscript, InputThatIsNotPostScriptFailsLeavingNoPdfAndNoConsoleOutput)
{
    CartellaProva cartella;
    const QString pdf = cartella.temp() + QStringLiteral("fattura.pdf");

    // Plain text: Ghostscript stops with an error after it has opened the
    // output; the flag says failure and nothing is left at the destination,
    // and its error report does not reach the console.
    const QString testo = cartella.scrivi(QStringLiteral("spool/spool.ps"),
                                          "@TIPS FATTURA\n@TITO FATTURA N. 123\n@PAGE\n");
    bool riuscita = true;
    const QByteArray console = consoleDurante(cartella, [&] { riuscita = ConvertiPsInPdf(testo, pdf); });
    EXPECT_FALSE(riuscita);
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_EQ(console, QByteArray());

    // A PDF of an earlier job at the same destination does not survive a
    // failed conversion: a PDF there afterwards always comes from this one.
    scriviFile(pdf, "%PDF-1.3 earlier job\n");
    EXPECT_FALSE(ConvertiPsInPdf(testo, pdf));
    EXPECT_FALSE(QFileInfo::exists(pdf));

    // An input file that does not exist.
    EXPECT_FALSE(ConvertiPsInPdf(cartella.percorso(QStringLiteral("spool/assente.ps")), pdf));
    EXPECT_FALSE(QFileInfo::exists(pdf));

    // PostScript that breaks off in the middle of a page.
    const QString rotto = cartella.scrivi(QStringLiteral("spool/rotto.ps"),
                                          "%!PS\n/Helvetica findfont 12 scalefont setfont\n72 700 moveto (ACME show\n");
    EXPECT_FALSE(ConvertiPsInPdf(rotto, pdf));
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

TEST(ConversioneGhostscript, TwoConversionsInARowEachStartFromAnEmptyArgumentList)
{
    CartellaProva cartella;
    const QString ps1 = cartella.scrivi(QStringLiteral("spool/uno.ps"), lavoroPostScript({QStringLiteral("ACME FATTURA 123")}));
    const QString ps2 = cartella.scrivi(QStringLiteral("spool/due.ps"),
                                        lavoroPostScript({QStringLiteral("ACME NOTA 456"), QStringLiteral("ACME NOTA 457")}));
    const QString pdf1 = cartella.temp() + QStringLiteral("uno.pdf");
    const QString pdf2 = cartella.temp() + QStringLiteral("due.pdf");

    ASSERT_TRUE(ConvertiPsInPdf(ps1, pdf1));
    const QStringList primo = argomentiGhostscript();
    ASSERT_TRUE(ConvertiPsInPdf(ps2, pdf2));
    const QStringList secondo = argomentiGhostscript();

    EXPECT_EQ(paginePdf(pdf1), 1);
    EXPECT_EQ(paginePdf(pdf2), 2);
    EXPECT_TRUE(testoPdf(pdf1).contains(QStringLiteral("ACME FATTURA 123")));
    const QString testo2 = testoPdf(pdf2);
    EXPECT_TRUE(testo2.contains(QStringLiteral("ACME NOTA 457")));
    EXPECT_FALSE(testo2.contains(QStringLiteral("FATTURA")));

    // The list of the second run holds the second job alone, with the empty
    // program-name slot in front and the same length as the first.
    EXPECT_EQ(secondo.size(), primo.size());
    EXPECT_EQ(secondo.value(0), QString());
    EXPECT_EQ(secondo.count(QString()), 1);
    EXPECT_FALSE(secondo.contains(ps1));
    EXPECT_FALSE(secondo.contains(QStringLiteral("-sOutputFile=") + pdf1));
    EXPECT_EQ(secondo.indexOf(ps2), secondo.size() - 2);

    // Clearing by hand leaves only the program-name slot.
    AzzeraArgomenti();
    EXPECT_EQ(argomentiGhostscript(), QStringList{QString()});
    AggiungiArgomento(QStringLiteral("-q"));
    EXPECT_EQ(argomentiGhostscript(), (QStringList{QString(), QStringLiteral("-q")}));
}

TEST(ConversioneGhostscript, PathsWithBlanksAccentsAndPercentSignsAreTakenAsWritten)
{
    CartellaProva cartella;
    const QString ps = cartella.scrivi(QStringLiteral("Spool Ulka/lavoro di prova è.ps"),
                                       lavoroPostScript({QStringLiteral("ACME FATTURA 123"), QStringLiteral("ACME FATTURA 123 BIS")}));
    QDir().mkpath(cartella.percorso(QStringLiteral("PDF fatture")));
    // "%" in the name is not a page-number template: one file, this name.
    const QString pdf = cartella.percorso(QStringLiteral("PDF fatture/Fattura n 123 sconto 100% %d.pdf"));

    EXPECT_TRUE(ConvertiPsInPdf(ps, pdf));
    EXPECT_EQ(paginePdf(pdf), 2);
    EXPECT_TRUE(testoPdf(pdf).contains(QStringLiteral("ACME FATTURA 123 BIS")));
    EXPECT_EQ(QDir(cartella.percorso(QStringLiteral("PDF fatture"))).entryList(QDir::Files),
              QStringList{QStringLiteral("Fattura n 123 sconto 100% %d.pdf")});
}

TEST(ConversioneGhostscript, ADestinationFolderThatDoesNotExistFailsWithoutCreatingIt)
{
    CartellaProva cartella;
    const QString ps = cartella.scrivi(QStringLiteral("spool/spool.ps"), lavoroPostScript({QStringLiteral("ACME FATTURA 123")}));
    const QString cartellaAssente = cartella.percorso(QStringLiteral("pubblicati/2024"));

    EXPECT_FALSE(ConvertiPsInPdf(ps, cartellaAssente + QStringLiteral("/fattura.pdf")));
    EXPECT_FALSE(QFileInfo::exists(cartella.percorso(QStringLiteral("pubblicati"))));

    // The failure leaves nothing behind for the next conversion.
    const QString pdf = cartella.temp() + QStringLiteral("fattura.pdf");
    EXPECT_TRUE(ConvertiPsInPdf(ps, pdf));
    EXPECT_EQ(paginePdf(pdf), 1);
}

TEST(ConversioneGhostscript, FilesInTheProgramFoldersLibAndFontsAreFound)
{
    // Both folders of the search-path argument are searched, before the
    // system's own: a job reads one procedure file from each.
    CartellaProva cartella;
    cartella.scrivi(QStringLiteral("ulka/vorpla/lib/vorplalib.ps"), "/TestoLib (INTESTAZIONE DA LIB) def\n");
    cartella.scrivi(QStringLiteral("ulka/vorpla/fonts/vorplafonts.ps"), "/TestoFonts (PIEDE DA FONTS) def\n");
    const QString ps = cartella.scrivi(QStringLiteral("spool/spool.ps"),
                                       "%!PS-Adobe-3.0\n(vorplalib.ps) runlibfile (vorplafonts.ps) runlibfile\n"
                                       "/Helvetica findfont 14 scalefont setfont\n"
                                       "72 760 moveto TestoLib show 72 740 moveto TestoFonts show showpage\n");
    const QString pdf = cartella.temp() + QStringLiteral("fattura.pdf");

    EXPECT_TRUE(ConvertiPsInPdf(ps, pdf));
    const QString testo = testoPdf(pdf);
    EXPECT_TRUE(testo.contains(QStringLiteral("INTESTAZIONE DA LIB"))) << testo.toStdString();
    EXPECT_TRUE(testo.contains(QStringLiteral("PIEDE DA FONTS"))) << testo.toStdString();
}

TEST(ConversioneGhostscript, ConversionsNeverOverlap)
{
    CartellaProva cartella;
    const QString ps1 = cartella.scrivi(QStringLiteral("spool/uno.ps"),
                                        lavoroPostScript({QStringLiteral("ACME FATTURA 123"), QStringLiteral("ACME FATTURA 123")}));
    const QString ps2 = cartella.scrivi(QStringLiteral("spool/due.ps"),
                                        lavoroPostScript({QStringLiteral("ACME NOTA 456"), QStringLiteral("ACME NOTA 456"),
                                                          QStringLiteral("ACME NOTA 456")}));

    // Two threads converting at once wait for each other: each PDF is its
    // own job, whole.
    for (int giro = 0; giro < 5; ++giro) {
        const QString pdf1 = cartella.temp() + QStringLiteral("uno%1.pdf").arg(giro);
        const QString pdf2 = cartella.temp() + QStringLiteral("due%1.pdf").arg(giro);
        bool riuscita1 = false, riuscita2 = false;
        std::thread primo([&] { riuscita1 = ConvertiPsInPdf(ps1, pdf1); });
        std::thread secondo([&] { riuscita2 = ConvertiPsInPdf(ps2, pdf2); });
        primo.join();
        secondo.join();
        EXPECT_TRUE(riuscita1);
        EXPECT_TRUE(riuscita2);
        EXPECT_EQ(paginePdf(pdf1), 2);
        EXPECT_EQ(paginePdf(pdf2), 3);
        EXPECT_TRUE(testoPdf(pdf1).contains(QStringLiteral("ACME FATTURA 123")));
        EXPECT_TRUE(testoPdf(pdf2).contains(QStringLiteral("ACME NOTA 456")));
    }

    // A window event delivered while the windows repaint, that starts
    // another conversion on the same thread, is refused at once; the
    // conversion under way is not disturbed.
    struct Finestra : QObject
    {
        std::function<void()> alRidisegno;
        int ridisegni = 0;
        bool event(QEvent *e) override
        {
            if (e->type() == QEvent::UpdateRequest) {
                ++ridisegni;
                alRidisegno();
                return true;
            }
            return QObject::event(e);
        }
    } finestra;
    const QString pdfEsterno = cartella.temp() + QStringLiteral("esterno.pdf");
    const QString pdfAnnidato = cartella.temp() + QStringLiteral("annidato.pdf");
    bool annidata = true;
    finestra.alRidisegno = [&] { annidata = ConvertiPsInPdf(ps2, pdfAnnidato); };
    QCoreApplication::postEvent(&finestra, new QEvent(QEvent::UpdateRequest));

    EXPECT_TRUE(ConvertiPsInPdf(ps1, pdfEsterno));
    EXPECT_EQ(finestra.ridisegni, 1);
    EXPECT_FALSE(annidata);
    EXPECT_FALSE(QFileInfo::exists(pdfAnnidato));
    EXPECT_EQ(paginePdf(pdfEsterno), 2);
    EXPECT_TRUE(testoPdf(pdfEsterno).contains(QStringLiteral("ACME FATTURA 123")));
}

TEST(EseguiGhostscript, RunsTheWholeArgumentListAfterTheProgramNameSlot)
{
    CartellaProva cartella;
    const QString scritto = cartella.percorso(QStringLiteral("scritto da ghostscript.txt"));
    const auto lista = [](const QString &programma) {
        return QStringList{QString(), QStringLiteral("-q"), QStringLiteral("-dNODISPLAY"), QStringLiteral("-dBATCH"),
                           QStringLiteral("-dNOPAUSE"), QStringLiteral("-dNOSAFER"), QStringLiteral("-c"), programma};
    };

    // The last argument is a program that writes a file: it runs only when
    // the count handed over includes every element.
    EXPECT_TRUE(EseguiGhostscript(lista(QStringLiteral("(%1) (w) file dup (ACME) writestring closefile").arg(scritto))));
    EXPECT_EQ(leggiFile(scritto), QByteArray("ACME"));

    // A program that raises an error is a failure; the next run is unharmed.
    EXPECT_FALSE(EseguiGhostscript(lista(QStringLiteral("vorplaoperatoreinesistente"))));
    EXPECT_TRUE(EseguiGhostscript(lista(QStringLiteral("1 2 add pop"))));

    // A list without even the program-name slot runs nothing.
    EXPECT_FALSE(EseguiGhostscript({}));
}
