// The render command run as scripts run it: the vorpla process drawing a
// print file into a PDF that stands for the printer's page, looked at with
// poppler's pdfinfo and pdftotext.

#include "output/ComandoRender.h"

#include "TestSupport.h"

#include <QDir>
#include <QImage>
#include <QLocale>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPointF>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

using Esito = EsitoProcesso;

Esito esegui(const CartellaProva &cartella, const QStringList &argomenti)
{
    return eseguiVorpla(cartella, argomenti);
}

Esito poppler(const QString &strumento, const QStringList &argomenti)
{
    return eseguiProcesso(strumento, argomenti);
}

QString testoPdf(const QString &pdf)
{
    EXPECT_EQ(controlloQpdf(pdf), QString());
    return poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}).uscita;
}

int pagine(const QString &pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(poppler(QStringLiteral("pdfinfo"), {pdf}).uscita);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The left and top of a word, points; (-1, -1) when it is not in the PDF.
QPointF angoloParola(const QString &pdf, const QString &parola)
{
    const QString html = poppler(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}).uscita;
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>")
                           + QRegularExpression::escape(parola) + QStringLiteral("</word>"))
            .match(html);
    return m.hasMatch() ? QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QPointF(-1, -1);
}

// The top of a word on its page, points from the top of the sheet; -1 when
// the word is not in the PDF.
double altoParola(const QString &pdf, const QString &parola)
{
    return angoloParola(pdf, parola).y();
}

QStringList voci(const QString &cartella)
{
    return QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

const QByteArray Fattura = "@INTE\r\n"
                           "@INT1 AGENZIA PROVA\r\n"
                           "@TITO FATTURA N. 1\r\n"
                           "@TEXT\r\n"
                           "@TXTn Testo libero\r\n"
                           "@PAGE\r\n"
                           "@TXTn Seconda pagina\r\n";

constexpr double PuntiPerCm = 72 / 2.54;

} // namespace

TEST(ComandoRender, DrawsThePrintFileIntoAnA4Pdf)
{
    CartellaProva cartella;
    const QString file = cartella.scrivi(QStringLiteral("job/F1.txt"), Fattura);
    const QString uscita = cartella.percorso(QStringLiteral("out/F1.pdf"));
    QDir().mkpath(cartella.percorso(QStringLiteral("out")));

    const Esito e = esegui(cartella, {QStringLiteral("--render"), QStringLiteral("printer"), QStringLiteral("--output"),
                                      uscita, file});
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    EXPECT_EQ(pagine(uscita), 2);
    const QString info = poppler(QStringLiteral("pdfinfo"), {uscita}).uscita;
    EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info.toStdString();
    const QString testo = testoPdf(uscita);
    EXPECT_TRUE(testo.contains(QStringLiteral("AGENZIA PROVA"))) << testo.toStdString();
    EXPECT_TRUE(testo.contains(QStringLiteral("FATTURA N. 1"))) << testo.toStdString();
    EXPECT_TRUE(testo.contains(QStringLiteral("Testo libero"))) << testo.toStdString();
    EXPECT_TRUE(testo.contains(QStringLiteral("Seconda pagina"))) << testo.toStdString();
    // Only the document, no temporary file, is left beside it; the print
    // file stays.
    EXPECT_EQ(voci(cartella.percorso(QStringLiteral("out"))), QStringList{QStringLiteral("F1.pdf")});
    EXPECT_TRUE(QFileInfo::exists(file));
    // Not a job of the main window: start-up said nothing on standard output.
    EXPECT_TRUE(e.uscita.isEmpty()) << e.uscita.toStdString();
}

// The test command runs this under C.UTF-8 (the night batch's) and under
// it_IT.UTF-8 (the agent's desktop): the same vorpla.ini lays out the same
// page, "1,5" and "1.5" alike, and the numbers the program writes keep
// their form.
TEST(LocaleQualsiasi, TheSameVorplaIniGivesTheSamePage)
{
    const QByteArray locale = qgetenv("VORPLA_LOCALE_ATTESO");
    if (!locale.isEmpty()) {
        ASSERT_EQ(QLocale::system().decimalPoint(), locale.startsWith("it_IT") ? QStringLiteral(",") : QStringLiteral("."));
    }
    CartellaProva cartella;
    const QString file =
        cartella.scrivi(QStringLiteral("job/F1.txt"), "@TIPS FATTURA\r\n@SNPG S\r\n" + Fattura.left(Fattura.indexOf("@PAGE")) + "@PAGE\r\n");
    const auto disegna = [&](const QByteArray &margine) {
        scriviFile(cartella.programma() + QStringLiteral("/vorpla.ini"), "[FATTURE]\r\nMARGINESUP=" + margine + "\r\n");
        const QString uscita = cartella.percorso(QStringLiteral("out/") + QString::fromLatin1(margine.toHex()) + QStringLiteral(".pdf"));
        QDir().mkpath(QFileInfo(uscita).absolutePath());
        const Esito e = esegui(cartella, {QStringLiteral("--render"), QStringLiteral("printer"), QStringLiteral("--output"), uscita, file});
        EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
        EXPECT_TRUE(testoPdf(uscita).contains(QStringLiteral("Pagina 1 di 1"))) << margine.constData();
        return altoParola(uscita, QStringLiteral("AGENZIA"));
    };
    const double virgola = disegna("1,5"), punto = disegna("1.5"), zero = disegna("0");
    ASSERT_GE(zero, 0);
    EXPECT_NEAR(virgola - zero, 1.5 * PuntiPerCm, 0.5) << locale.constData();
    EXPECT_NEAR(punto - zero, 1.5 * PuntiPerCm, 0.5) << locale.constData();
}

TEST(ComandoRender, LoadedDocumentTypeAndPrinterNameReachTheDrawing)
{
    CartellaProva cartella;
    // Invoices start 3 cm down; fax devices take the fax section's margin
    // (none here). The letterhead's first line is 1 cm below the margin.
    scriviFile(cartella.programma() + QStringLiteral("/vorpla.ini"), "[FATTURE]\r\nMARGINESUP=3\r\n");
    const QString fattura = cartella.scrivi(QStringLiteral("job/F1.txt"), "@TIPS FATTURA\r\n" + Fattura);
    const QString generico = cartella.scrivi(QStringLiteral("job/F2.txt"), Fattura);
    const auto disegna = [&](const QString &file, const QStringList &altro) {
        const QString uscita = cartella.percorso(QStringLiteral("out/") + QFileInfo(file).baseName()
                                                 + QString::number(altro.size()) + QStringLiteral(".pdf"));
        QDir().mkpath(QFileInfo(uscita).absolutePath());
        const Esito e = esegui(cartella, QStringList{QStringLiteral("--render"), QStringLiteral("printer"), file,
                                                     QStringLiteral("--output"), uscita}
                                             + altro);
        EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
        return altoParola(uscita, QStringLiteral("AGENZIA"));
    };
    const double suFattura = disegna(fattura, {});
    const double suGenerico = disegna(generico, {});
    const double suFax = disegna(fattura, {QStringLiteral("--printer-name"), QStringLiteral("Zetafax Server")});
    ASSERT_GE(suFattura, 0);
    ASSERT_GE(suGenerico, 0);
    ASSERT_GE(suFax, 0);
    EXPECT_NEAR(suFattura - suGenerico, 3 * PuntiPerCm, 0.5);
    EXPECT_NEAR(suFax, suGenerico, 0.5);
}

// The contract both targets keep: exit status, messages and an output that
// appears only complete.
struct Bersaglio
{
    QString bersaglio; // the render target
    QString form;      // the output form it loads, as its messages name it
};

class ComandoRenderOgniForm : public ::testing::TestWithParam<Bersaglio>
{
};

INSTANTIATE_TEST_SUITE_P(Bersagli, ComandoRenderOgniForm,
                         ::testing::Values(Bersaglio{QStringLiteral("printer"), QStringLiteral("frmvorpla")},
                                           Bersaglio{QStringLiteral("pdf"), QStringLiteral("FRMCreaPDF")}),
                         [](const auto &info) { return info.param.bersaglio.toStdString(); });

TEST_P(ComandoRenderOgniForm, InterpreterErrorLeavesNoOutput)
{
    CartellaProva cartella;
    const QString file = cartella.scrivi(QStringLiteral("job/F1.txt"), "@INTE\r\n@INT1 AGENZIA PROVA\r\n@VRIV xx\r\n");
    const QString cartellaUscita = cartella.percorso(QStringLiteral("out"));
    QDir().mkpath(cartellaUscita);
    const QString uscita = cartellaUscita + QStringLiteral("/F1.pdf");

    const Esito e = esegui(cartella, {QStringLiteral("--render"), GetParam().bersaglio, QStringLiteral("--output"),
                                      uscita, file});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("Routine ") + GetParam().form + QStringLiteral(" - GRAFICA")))
        << e.errori.toStdString();
    EXPECT_TRUE(e.errori.contains(QStringLiteral("Errore N.13 Type mismatch"))) << e.errori.toStdString();
    // The printer names the line; the PDF form's message is the routine's alone.
    EXPECT_EQ(e.errori.contains(QStringLiteral("Tag: @VRIV xx")), GetParam().bersaglio == u"printer")
        << e.errori.toStdString();
    EXPECT_FALSE(QFileInfo::exists(uscita));
    EXPECT_EQ(voci(cartellaUscita), QStringList());
}

TEST_P(ComandoRenderOgniForm, FailedRenderKeepsTheExistingOutput)
{
    CartellaProva cartella;
    const QString cartellaUscita = cartella.percorso(QStringLiteral("out"));
    const QString uscita = cartella.scrivi(QStringLiteral("out/F1.pdf"), "documento precedente");
    const QString errato = cartella.scrivi(QStringLiteral("job/F1.txt"), "@TXTn prima\r\n@PAGE\r\n@VRIV xx\r\n");

    Esito e = esegui(cartella, {QStringLiteral("--render"), GetParam().bersaglio, QStringLiteral("--output"),
                                uscita, errato});
    EXPECT_EQ(e.codice, 1);
    EXPECT_EQ(leggiFile(uscita), QByteArray("documento precedente"));
    EXPECT_EQ(voci(cartellaUscita), QStringList{QStringLiteral("F1.pdf")});

    // A missing print file neither touches it.
    e = esegui(cartella, {QStringLiteral("--render"), GetParam().bersaglio, QStringLiteral("--output"), uscita,
                          cartella.percorso(QStringLiteral("job/manca.txt"))});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("Routine ") + GetParam().form + QStringLiteral(" - Form_Load")))
        << e.errori.toStdString();
    EXPECT_TRUE(e.errori.contains(QStringLiteral("Errore N.53 File not found"))) << e.errori.toStdString();
    EXPECT_EQ(leggiFile(uscita), QByteArray("documento precedente"));
    EXPECT_EQ(voci(cartellaUscita), QStringList{QStringLiteral("F1.pdf")});

    // A successful render replaces it.
    const QString buono = cartella.scrivi(QStringLiteral("job/F2.txt"), Fattura);
    e = esegui(cartella, {QStringLiteral("--render"), GetParam().bersaglio, QStringLiteral("--output"), uscita,
                          buono});
    EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
    EXPECT_TRUE(leggiFile(uscita).startsWith("%PDF-"));
    EXPECT_EQ(pagine(uscita), 2);
    EXPECT_TRUE(testoPdf(uscita).contains(QStringLiteral("Seconda pagina")));
    EXPECT_EQ(voci(cartellaUscita), QStringList{QStringLiteral("F1.pdf")});
}

TEST_P(ComandoRenderOgniForm, OutputThatCannotBeWrittenIsAnError)
{
    CartellaProva cartella;
    const QString file = cartella.scrivi(QStringLiteral("job/F1.txt"), Fattura);
    const QString uscita = cartella.percorso(QStringLiteral("manca/F1.pdf"));
    const Esito e = esegui(cartella, {QStringLiteral("--render"), GetParam().bersaglio, QStringLiteral("--output"),
                                      uscita, file});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("Cannot write ") + uscita)) << e.errori.toStdString();
    EXPECT_FALSE(QFileInfo::exists(cartella.percorso(QStringLiteral("manca"))));
}

TEST(ComandoRender, CommandLinesThatAreNotTheCommandExitWithTwo)
{
    CartellaProva cartella;
    const QString file = cartella.scrivi(QStringLiteral("job/F1.txt"), Fattura);
    const QString uscita = cartella.percorso(QStringLiteral("out/F1.pdf"));
    QDir().mkpath(cartella.percorso(QStringLiteral("out")));
    const QString render = QStringLiteral("--render"), printer = QStringLiteral("printer"),
                  output = QStringLiteral("--output");
    const QList<QStringList> errate = {
        {render},
        {render, printer, file},                                   // no --output
        {render, printer, output, uscita},                         // no print file
        {render, printer, output},                                 // --output without its value
        {render, QStringLiteral("screen"), output, uscita, file},  // unknown target
        {render, output, uscita, file},                            // no target
        {render, printer, output, uscita, file, file},             // two print files
        {render, printer, output, uscita, QStringLiteral("--pages"), QStringLiteral("2"), file},
        {render, printer, output, uscita, file, QStringLiteral("--printer-name")},
        {render, QStringLiteral("pdf"), output, uscita, QStringLiteral("--copies"), QStringLiteral("2"), file},
        {render, QStringLiteral("preview"), output, uscita, QStringLiteral("--page"), QStringLiteral("0"), file},
        {render, QStringLiteral("preview"), output, uscita, QStringLiteral("--page"), QStringLiteral("due"), file},
        {render, printer, output, uscita, QStringLiteral("--page"), QStringLiteral("2"), file},
    };
    for (const QStringList &argomenti : errate) {
        const Esito e = esegui(cartella, argomenti);
        EXPECT_EQ(e.codice, 2) << argomenti.join(u' ').toStdString();
        EXPECT_TRUE(e.errori.contains(QStringLiteral("usage: vorpla --render printer --output OUT.pdf")))
            << argomenti.join(u' ').toStdString() << "\n" << e.errori.toStdString();
        EXPECT_FALSE(QFileInfo::exists(uscita)) << argomenti.join(u' ').toStdString();
    }
    EXPECT_EQ(voci(cartella.percorso(QStringLiteral("out"))), QStringList());
}

TEST(ComandoRender, RecognisesOnlyItsFirstArgument)
{
    EXPECT_TRUE(eComandoRender({QStringLiteral("--render"), QStringLiteral("printer")}));
    EXPECT_FALSE(eComandoRender({QStringLiteral("/tmp/F1.txt"), QStringLiteral("--render")}));
    EXPECT_FALSE(eComandoRender({QStringLiteral("--RENDER")}));
    EXPECT_FALSE(eComandoRender({}));
}

TEST(ComandoRender, RegistersTheTrueTypeFilesOfTheFolderInAnyLetterCase)
{
    CartellaProva cartella;
    const QString sorgente = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    const QByteArray font = leggiFile(sorgente);
    ASSERT_FALSE(font.isEmpty()) << "fonts-dejavu-core provides " << sorgente.toStdString();
    const QString dir = cartella.programma();
    scriviFile(dir + QStringLiteral("/A.TTF"), font);
    scriviFile(dir + QStringLiteral("/b.ttf"), font);
    scriviFile(dir + QStringLiteral("/c.Ttf"), font);
    scriviFile(dir + QStringLiteral("/d.ttf.bak"), font);
    scriviFile(dir + QStringLiteral("/e.otf"), font);
    scriviFile(dir + QStringLiteral("/rotto.ttf"), "not a font");
    const QList<FontRegistrato> registrati = registraFontTrueType(dir);
    QStringList file;
    for (const FontRegistrato &r : registrati) {
        file << r.file;
        EXPECT_EQ(r.famiglie, QStringList{QStringLiteral("DejaVu Sans")}) << r.file.toStdString();
    }
    EXPECT_EQ(file, QStringList({QStringLiteral("A.TTF"), QStringLiteral("b.ttf"), QStringLiteral("c.Ttf")}));
}

TEST(ComandoRender, MissingBarCodeFontIsSaidAndItsTextStillDrawn)
{
    CartellaProva cartella;
    const QString file = cartella.scrivi(QStringLiteral("job/codice.txt"),
                                         "@TEXT\r\n@TXTn x<<CB=CODICE12345;Nessun Font Barre;20;2;5>>\r\n");
    const QString pdf = cartella.percorso(QStringLiteral("codice.pdf"));
    const Esito e = esegui(cartella, {QStringLiteral("--render"), QStringLiteral("printer"), QStringLiteral("--output"),
                                      pdf, file});
    EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
    EXPECT_EQ(e.errori.count(QStringLiteral("the bar-code font \"Nessun Font Barre\" is not installed")), 1)
        << e.errori.toStdString();
    EXPECT_TRUE(testoPdf(pdf).contains(QStringLiteral("CODICE12345")));
}

namespace {

QString testoPagina(const QString &pdf, int pagina)
{
    const QString n = QString::number(pagina);
    return poppler(QStringLiteral("pdftotext"), {QStringLiteral("-f"), n, QStringLiteral("-l"), n, pdf, QStringLiteral("-")})
        .uscita;
}

// "595 x 842" style sizes of the pages, in points.
QStringList dimensioniPagine(const QString &pdf)
{
    const QString info = poppler(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                             QStringLiteral("99"), pdf})
                             .uscita;
    QStringList d;
    QRegularExpressionMatchIterator it =
        QRegularExpression(QStringLiteral("Page\\s+\\d+ size:\\s+([0-9.]+) x ([0-9.]+)")).globalMatch(info);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        d << QStringLiteral("%1x%2").arg(qRound(m.captured(1).toDouble())).arg(qRound(m.captured(2).toDouble()));
    }
    return d;
}

} // namespace

// The copies loop drawn into one PDF: every copy from a new page, drawn as on
// a fresh print job, the attachments listed once after the first copy.
TEST(ComandoRender, CopiesLoopDrawsEveryCopyIntoOnePdf)
{
    CartellaProva cartella;
    const QString file = cartella.scrivi(QStringLiteral("job/F1.txt"),
                                         "@COPI 1\r\n" + Fattura + "@FILE /srv/allegati/programma.pdf\r\n");
    const QString uscita = cartella.percorso(QStringLiteral("F1.pdf"));
    const Esito e = esegui(cartella, {QStringLiteral("--render"), QStringLiteral("printer"), QStringLiteral("--output"),
                                      uscita, QStringLiteral("--copies"), QStringLiteral("3"), file});
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    EXPECT_EQ(e.uscita, QStringLiteral("attachment after copy 1 on Vorpla: /srv/allegati/programma.pdf\ncopies drawn: 3\n"));
    ASSERT_EQ(pagine(uscita), 6);
    for (int copia = 0; copia < 3; ++copia) {
        EXPECT_TRUE(testoPagina(uscita, 2 * copia + 1).contains(QStringLiteral("FATTURA N. 1"))) << copia;
        EXPECT_TRUE(testoPagina(uscita, 2 * copia + 2).contains(QStringLiteral("Seconda pagina"))) << copia;
    }
    // Each copy is the same drawing: the single render's positions.
    const QString una = cartella.percorso(QStringLiteral("una.pdf"));
    ASSERT_EQ(esegui(cartella, {QStringLiteral("--render"), QStringLiteral("printer"), QStringLiteral("--output"), una, file})
                  .codice,
              0);
    const QString terza = cartella.percorso(QStringLiteral("terza.pdf"));
    ASSERT_EQ(poppler(QStringLiteral("pdfseparate"), {QStringLiteral("-f"), QStringLiteral("5"), QStringLiteral("-l"),
                                                      QStringLiteral("5"), uscita, terza})
                  .codice,
              0);
    for (const QString &parola : {QStringLiteral("FATTURA"), QStringLiteral("Testo"), QStringLiteral("AGENZIA")})
        EXPECT_NEAR(altoParola(terza, parola), altoParola(una, parola), 0.05 * PuntiPerCm) << parola.toStdString();
}

TEST(ComandoRender, CopiesLoopFollowsTheProgramsRules)
{
    CartellaProva cartella;
    auto render = [&](const QString &file, const QString &uscita, const QString &copie, const QStringList &altro = {}) {
        return esegui(cartella, QStringList{QStringLiteral("--render"), QStringLiteral("printer"), QStringLiteral("--output"),
                                            uscita, QStringLiteral("--copies"), copie}
                                    + altro + QStringList{file});
    };
    const QString conCopi = cartella.scrivi(QStringLiteral("job/C.txt"), "@COPI 1\r\n" + Fattura);
    const QString senzaCopi = cartella.scrivi(QStringLiteral("job/S.txt"), Fattura);
    const QString uscita = cartella.percorso(QStringLiteral("out.pdf"));

    // Without "@COPI" the box does not count: one copy, and the command says so.
    Esito e = render(senzaCopi, uscita, QStringLiteral("3"));
    EXPECT_EQ(e.codice, 0);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("the copies box does not count"))) << e.errori.toStdString();
    EXPECT_EQ(pagine(uscita), 2);

    // A fax printer gets one copy.
    e = render(conCopi, uscita, QStringLiteral("3"), {QStringLiteral("--printer-name"), QStringLiteral("zetafax Ufficio")});
    EXPECT_EQ(e.codice, 0);
    EXPECT_EQ(pagine(uscita), 2);

    // No copies: nothing drawn, the existing output kept.
    const QByteArray prima = leggiFile(uscita);
    e = render(conCopi, uscita, QStringLiteral("0"));
    EXPECT_EQ(e.codice, 0);
    EXPECT_TRUE(e.uscita.contains(QStringLiteral("copies drawn: 0")));
    EXPECT_EQ(leggiFile(uscita), prima);

    // Copies that are not a number: the loop's message, exit 1, nothing written.
    e = render(conCopi, uscita, QStringLiteral("abc"));
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("Routine frmvorpla - SCELTA_VORPLANTE"))) << e.errori.toStdString();
    EXPECT_TRUE(e.errori.contains(QStringLiteral("Errore N.13")));
    EXPECT_EQ(leggiFile(uscita), prima);
    EXPECT_EQ(voci(cartella.radice()).filter(QStringLiteral("out.pdf")), QStringList{QStringLiteral("out.pdf")});
}

// A copy that turned the sheet to landscape does not leave the next copy
// turned: every copy starts on the printer's own orientation.
TEST(ComandoRender, EveryCopyStartsInThePrintersOrientation)
{
    CartellaProva cartella;
    const QString file = cartella.scrivi(QStringLiteral("job/V.txt"),
                                         "@COPI 1\r\n@TITO PRIMA\r\n@VNET ORI;8;100;50\r\n@PAGE\r\n@TITO SECONDA\r\n");
    const QString uscita = cartella.percorso(QStringLiteral("v.pdf"));
    const Esito e = esegui(cartella, {QStringLiteral("--render"), QStringLiteral("printer"), QStringLiteral("--output"),
                                      uscita, QStringLiteral("--copies"), QStringLiteral("2"), file});
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    // The sheet turns from the page after the first one's drawing.
    EXPECT_EQ(dimensioniPagine(uscita),
              (QStringList{QStringLiteral("595x842"), QStringLiteral("842x595"), QStringLiteral("595x842"),
                           QStringLiteral("842x595")}));
}

// A label job draws on the first format of its catalogue, with and without
// the copies loop: 100 x 50 mm labels, two a row.
TEST(ComandoRender, LabelJobUsesTheCataloguesFormat)
{
    CartellaProva cartella;
    QByteArray record = QByteArray("Buste").leftJustified(20, ' ');
    for (qint32 v : {210, 297, 10, 100, 50})
        for (int b = 0; b < 4; ++b)
            record.append(char((v >> (8 * b)) & 0xFF));
    cartella.scrivi(QStringLiteral("ulka/vorpla/etich.DB"), record);
    const QString file = cartella.scrivi(QStringLiteral("job/E.txt"),
                                         "@LARG ETIC\r\n@PERC\r\n@ETRI Uno\r\n@ETFI\r\n@ETRI Due\r\n@ETFI\r\n"
                                         "@ETRI Tre\r\n@ETFI\r\n");
    for (const QStringList &copie : {QStringList{}, QStringList{QStringLiteral("--copies"), QStringLiteral("1")}}) {
        const QString uscita = cartella.percorso(QStringLiteral("e.pdf"));
        const Esito e = esegui(cartella, QStringList{QStringLiteral("--render"), QStringLiteral("printer"),
                                                     QStringLiteral("--output"), uscita}
                                             + copie + QStringList{file});
        ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
        const QPointF uno = angoloParola(uscita, QStringLiteral("Uno"));
        const QPointF due = angoloParola(uscita, QStringLiteral("Due"));
        const QPointF tre = angoloParola(uscita, QStringLiteral("Tre"));
        ASSERT_GE(uno.x(), 0);
        EXPECT_NEAR(due.x() - uno.x(), 10 * PuntiPerCm, 0.05 * PuntiPerCm);
        EXPECT_NEAR(due.y(), uno.y(), 0.05 * PuntiPerCm);
        EXPECT_NEAR(tre.x(), uno.x(), 0.05 * PuntiPerCm);
        EXPECT_NEAR(tre.y() - uno.y(), 5 * PuntiPerCm, 0.05 * PuntiPerCm);
    }
}

// Special files, as a hostile or unlucky user names them: an output that is
// a FIFO or a device is refused and stays what it is (exit 1), a hard-linked
// output keeps its link; a print file or vorpla.ini that is a FIFO or a link
// to /dev/zero never hangs the program. Each run ends within the process
// runner's minute, or the test fails.
TEST(ComandoRender, SpecialFilesAreRefusedAndNeverHang)
{
    CartellaProva cartella;
    const QString file = cartella.scrivi(QStringLiteral("job/F1.txt"), Fattura);
    const auto render = [&](const QString &uscita, const QString &stampa) {
        return esegui(cartella, {QStringLiteral("--render"), QStringLiteral("printer"), QStringLiteral("--output"),
                                 uscita, stampa});
    };
    const QString fifo = cartella.percorso(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    QStringList destinazioni{fifo};
    const QString nodo = cartella.percorso(QStringLiteral("nullo"));
    if (::mknod(QFile::encodeName(nodo).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        destinazioni << nodo; // a copy of /dev/null, where this user may make one
    for (const QString &d : destinazioni) {
        const Esito e = render(d, file);
        EXPECT_EQ(e.codice, 1) << d.toStdString();
        EXPECT_TRUE(e.errori.contains(QStringLiteral("not a regular file"))) << e.errori.toStdString();
        struct stat st{};
        ASSERT_EQ(::lstat(QFile::encodeName(d).constData(), &st), 0);
        EXPECT_FALSE(S_ISREG(st.st_mode)) << d.toStdString() << " was replaced";
    }

    const QString uscita = cartella.scrivi(QStringLiteral("out/F1.pdf"), "vecchio");
    const QString secondoNome = cartella.percorso(QStringLiteral("out/copia.pdf"));
    ASSERT_EQ(::link(QFile::encodeName(uscita).constData(), QFile::encodeName(secondoNome).constData()), 0);
    ASSERT_EQ(render(uscita, file).codice, 0);
    EXPECT_TRUE(leggiFile(secondoNome).startsWith("%PDF")) << "both names of the file see the new document";
    EXPECT_EQ(pagine(secondoNome), 2);

    const QString zero = cartella.percorso(QStringLiteral("job/zero.txt"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    for (const QString &stampa : {fifo, zero}) {
        const Esito e = render(cartella.percorso(QStringLiteral("out/F2.pdf")), stampa);
        EXPECT_EQ(e.codice, 1) << stampa.toStdString();
        EXPECT_TRUE(e.errori.contains(QStringLiteral("Errore N.75"))) << e.errori.toStdString();
    }

    // A font of the program folder that is a link to /dev/zero is left out.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), cartella.programma() + QStringLiteral("/zero.ttf")));
    ASSERT_EQ(render(cartella.percorso(QStringLiteral("out/F4.pdf")), file).codice, 0);

    // vorpla.ini as a FIFO, then as a link to /dev/zero: said, read as empty.
    const QString ini = cartella.programma() + QStringLiteral("/vorpla.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(ini).constData(), 0666), 0);
    Esito e = render(cartella.percorso(QStringLiteral("out/F3.pdf")), file);
    EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
    EXPECT_TRUE(e.errori.contains(QStringLiteral("vorpla.ini: not a regular file, read as empty")))
        << e.errori.toStdString();
    ASSERT_TRUE(QFile::remove(ini));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), ini));
    e = render(cartella.percorso(QStringLiteral("out/F3.pdf")), file);
    EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
    EXPECT_EQ(pagine(cartella.percorso(QStringLiteral("out/F3.pdf"))), 2);
}

TEST(ComandoRender, PreviewWritesThePageBufferOfThePageAsked)
{
    CartellaProva cartella;
    const QString file = cartella.scrivi(QStringLiteral("job/T1.txt"),
                                         "@RIGA prima pagina\r\n@PAGE\r\n@RIGA\r\n@RIGA seconda pagina\r\n@PAGE\r\n");
    const QString uno = cartella.percorso(QStringLiteral("p1.png")), due = cartella.percorso(QStringLiteral("p2.png")),
                  oltre = cartella.percorso(QStringLiteral("p9.png"));
    for (const auto &[pagina, uscita] : {std::pair{QStringLiteral("1"), uno}, std::pair{QStringLiteral("2"), due},
                                         std::pair{QStringLiteral("9"), oltre}}) {
        const Esito e = esegui(cartella, {QStringLiteral("--render"), QStringLiteral("preview"), QStringLiteral("--output"),
                                          uscita, QStringLiteral("--page"), pagina, file});
        ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    }
    const QImage p1(uno), p2(due), p9(oltre);
    ASSERT_EQ(p1.size(), QSize(1134, 1134));
    // Ink on the row the page's text is on: page 1's first row, page 2's
    // second (its first "@RIGA" is empty).
    const auto riga = [](const QImage &im, int r) {
        int n = 0;
        for (int y = (r + 2) * 16; y < (r + 3) * 16; ++y)
            for (int x = 0; x < 400; ++x)
                n += qGray(im.pixel(x, y)) < 128;
        return n;
    };
    EXPECT_GT(riga(p1, 0), 0);
    EXPECT_EQ(riga(p1, 1), 0);
    EXPECT_EQ(riga(p2, 0), 0);
    EXPECT_GT(riga(p2, 1), 0);
    // A page beyond the count is drawn as the window draws it: from line 1.
    EXPECT_EQ(p9, p1);

    // Graphic mode: the 19 by 27 cm page at 15 twips a pixel; a page that
    // fails says which line, and nothing is written.
    const QString grafica = cartella.scrivi(QStringLiteral("job/G1.txt"), "@LARG PRO\r\n@TITO FATTURA\r\n@PAGE\r\n");
    const QString g = cartella.percorso(QStringLiteral("g.png"));
    Esito e = esegui(cartella, {QStringLiteral("--render"), QStringLiteral("preview"), QStringLiteral("--output"), g, grafica});
    ASSERT_EQ(e.codice, 0) << e.errori.toStdString();
    EXPECT_EQ(QImage(g).size(), QSize(718, 1021));
    const QString guasta = cartella.scrivi(QStringLiteral("job/G2.txt"), "@LARG PRO\r\n@BOXt 000\r\n@BOXi 000\r\n@BXt1 c C\r\n");
    const QString nessuna = cartella.percorso(QStringLiteral("n.png"));
    e = esegui(cartella, {QStringLiteral("--render"), QStringLiteral("preview"), QStringLiteral("--output"), nessuna, guasta});
    EXPECT_EQ(e.codice, 1);
    EXPECT_TRUE(e.errori.contains(QStringLiteral("Tag: @BXt1 c C"))) << e.errori.toStdString();
    EXPECT_FALSE(QFileInfo::exists(nessuna));
}
