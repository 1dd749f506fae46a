// The preview commands: the job's PDF by the quick route (the PDF output
// form) or the quality route (CreaPdf), opened in the desktop's viewer, the
// user's printer again afterwards, the controls disabled meanwhile, and the
// preview window when the PDF cannot be made.

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/FineProgramma.h"
#include "common/Stampanti.h"
#include "common/StatoLavoro.h"
#include "startup/ComandiMain.h"
#include "startup/FormMain.h"
#include "startup/ServiziAvvio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

class Anteprima : public ::testing::Test
{
protected:
    Anteprima()
        : stampanti({{QStringLiteral("Office"), QString()}, {QStringLiteral("PDFCreator"), QString()},
                     {QStringLiteral("Laser Piano 2"), QString()}},
                    QStringLiteral("Office")),
          comandi(form, servizi)
    {
        azzeraLavoro();
        stampanti.impostaCorrente(QStringLiteral("Laser Piano 2"));
        lavoro().DispositivoRegistrato = QStringLiteral("laser piano 2");
        QDir().mkpath(cartella.temp());
        lavoro().FileIngresso = cartella.scrivi(QStringLiteral("ulka/temp/D0012345.TXT"), "@TIPS FATTURA\r\n");
        servizi.stampanti = &stampanti;
        servizi.eventi = [] {};
        servizi.attendi = [this](int ms) { chiamate << QStringLiteral("attendi %1").arg(ms); };
        servizi.PdfDelLavoro = [this] {
            chiamate << QStringLiteral("PdfDelLavoro ") + statoControlli();
            routine << lavoro().NomeRoutine;
            if (!pdfFattibile)
                return QString();
            return cartella.scrivi(QStringLiteral("ulka/temp/D0012345.PDF"), "%PDF-1.4\n");
        };
        servizi.CreaPdf = [this](const QString &file) {
            chiamate << QStringLiteral("CreaPdf ") + QFileInfo(file).fileName() + u' ' + statoControlli();
            stampanti.selezionaIgnorandoMaiuscole(QStringLiteral("PDFCREATOR"));
            if (pdfFattibile)
                cartella.scrivi(QStringLiteral("ulka/temp/D0012345.PDF"), "%PDF-1.4\n");
        };
        servizi.apriDocumento = [this](const QString &f, const ServiziAvvio::Fallito &fallito) {
            chiamate << QStringLiteral("apri ") + QDir(cartella.radice()).relativeFilePath(f);
            esitoApertura = fallito;
        };
        servizi.abbassaFinestra = [this] { chiamate << QStringLiteral("abbassa"); };
        servizi.mostraAnteprima = [this] { chiamate << QStringLiteral("frmPreview"); };
        form.inPrimoPiano = true;
    }
    ~Anteprima() override { azzeraLavoro(); }

    // Frame1, Frame2, cmdPreview, cmdVorpla: 1 enabled, 0 disabled.
    QString statoControlli() const
    {
        QString s;
        for (const char *nome : {"Frame1", "Frame2", "cmdPreview", "cmdVorpla"})
            s += form.controllo(QString::fromLatin1(nome)).abilitato ? u'1' : u'0';
        return s;
    }

    CartellaProva cartella;
    StampantiFisse stampanti;
    FormMain form;
    ServiziAvvio servizi;
    ComandiMain comandi;
    MessaggiRegistrati messaggi;
    QStringList chiamate, routine;
    bool pdfFattibile = true;
    // The opener's report, which comes after the command (the desktop's
    // opener gives up a moment later).
    ServiziAvvio::Fallito esitoApertura;
};

} // namespace

TEST_F(Anteprima, QuickRouteOpensTheJobsPdfWithTheControlsOffMeanwhile)
{
    comandi.cmdPreview_Click();
    EXPECT_EQ(chiamate, (QStringList{QStringLiteral("PdfDelLavoro 0000"), QStringLiteral("attendi 200"),
                                     QStringLiteral("apri ulka/temp/D0012345.PDF"), QStringLiteral("abbassa")}));
    EXPECT_EQ(statoControlli(), QStringLiteral("1111"));
    EXPECT_TRUE(lavoro().AnteprimaRichiesta);
    EXPECT_EQ(routine, QStringList{QStringLiteral("frmMain - cmdPreview_Click")});
    EXPECT_FALSE(form.inPrimoPiano);
    EXPECT_TRUE(form.visibile);
    EXPECT_EQ(stampanti.corrente(), QStringLiteral("Laser Piano 2"));

    // Start-up's command: the window stays hidden, the job state untouched.
    azzeraLavoro();
    lavoro().FileIngresso = cartella.temp() + QStringLiteral("D0012345.TXT");
    chiamate.clear();
    form.visibile = true;
    comandi.CliccoAnteprima();
    EXPECT_TRUE(chiamate.contains(QStringLiteral("apri ulka/temp/D0012345.PDF")));
    EXPECT_TRUE(chiamate.contains(QStringLiteral("abbassa")));
    EXPECT_EQ(statoControlli(), QStringLiteral("1111"));
    EXPECT_FALSE(form.visibile);
    EXPECT_FALSE(lavoro().AnteprimaRichiesta);
    EXPECT_EQ(routine.value(1), QString());
}

TEST_F(Anteprima, QualityRouteGivesTheUsersPrinterBack)
{
    form.AnteprimaQualita = true;
    comandi.cmdPreview_Click();
    EXPECT_EQ(chiamate, (QStringList{QStringLiteral("CreaPdf D0012345.TXT 0000"),
                                     QStringLiteral("apri ulka/temp/D0012345.PDF"), QStringLiteral("abbassa")}));
    EXPECT_EQ(stampanti.corrente(), QStringLiteral("Laser Piano 2"));
    EXPECT_EQ(statoControlli(), QStringLiteral("1111"));

    // Timed out ("Errore di timeout!" was CreaPdf's): nothing to open, the
    // window still lowered and the printer the user's.
    QFile::remove(cartella.temp() + QStringLiteral("D0012345.PDF"));
    pdfFattibile = false;
    chiamate.clear();
    form.inPrimoPiano = true;
    comandi.cmdPreview_Click();
    EXPECT_EQ(chiamate, (QStringList{QStringLiteral("CreaPdf D0012345.TXT 0000"), QStringLiteral("abbassa")}));
    EXPECT_FALSE(form.inPrimoPiano);
    EXPECT_EQ(stampanti.corrente(), QStringLiteral("Laser Piano 2"));
}

TEST_F(Anteprima, APdfThatCannotBeMadeOpensThePreviewWindowAndABadCopiesBoxNothing)
{
    pdfFattibile = false;
    comandi.cmdPreview_Click();
    EXPECT_EQ(chiamate, (QStringList{QStringLiteral("PdfDelLavoro 0000"), QStringLiteral("attendi 200"),
                                     QStringLiteral("abbassa"), QStringLiteral("frmPreview")}));
    // The preview window has its own print and exit, and the main window
    // does not cover it.
    EXPECT_EQ(statoControlli(), QStringLiteral("0000"));
    EXPECT_FALSE(form.inPrimoPiano);
    // Closed: the main window's commands are back, and it is on top again.
    comandi.frmPreview_cmdEsci_Click();
    EXPECT_EQ(statoControlli(), QStringLiteral("1111"));
    EXPECT_TRUE(form.inPrimoPiano);

    // A desktop with no application for PDFs: the preview window too, once
    // the opener said so.
    pdfFattibile = true;
    chiamate.clear();
    comandi.cmdPreview_Click();
    ASSERT_TRUE(esitoApertura);
    esitoApertura(QStringLiteral("xdg-open: no method available"));
    EXPECT_EQ(chiamate.mid(2), (QStringList{QStringLiteral("apri ulka/temp/D0012345.PDF"), QStringLiteral("abbassa"),
                                            QStringLiteral("abbassa"), QStringLiteral("frmPreview")}));
    EXPECT_EQ(statoControlli(), QStringLiteral("0000"));

    for (const char *nome : {"Frame1", "Frame2", "cmdPreview", "cmdVorpla"})
        form.controllo(QString::fromLatin1(nome)).abilitato = true;
    chiamate.clear();
    form.controllo(QStringLiteral("TXTNumCopie")).testo = QStringLiteral("x");
    comandi.cmdPreview_Click();
    EXPECT_TRUE(chiamate.isEmpty());
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("Numero di copie errato!")});
    EXPECT_EQ(statoControlli(), QStringLiteral("1111"));
}
