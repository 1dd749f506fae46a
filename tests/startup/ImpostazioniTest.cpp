// The voucher page settings dialog: its boxes from vorpla.ini, what
// "Conferma" writes and makes again, what "Annulla" leaves; and the dialog
// as a real window (offscreen platform).

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/FileIni.h"
#include "common/StatoLavoro.h"
#include "startup/FormImpostazioni.h"
#include "startup/ui/FinestraImpostazioni.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

class ProvaImpostazioni : public ::testing::Test
{
protected:
    ProvaImpostazioni()
    {
        azzeraLavoro();
        dimenticaFileIni();
        ini = cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"),
                              "[Pagina voucher]\r\nLarghezza=21\r\nMargine voucher doppio= 1.5\r\nBold=si\r\n");
    }
    QString chiave(const char *nome) { return LeggiIni(QStringLiteral("Pagina voucher"), QLatin1String(nome), ini); }

    CartellaProva cartella;
    QString ini;
    int pdfRifatti = 0;
    FormImpostazioni form{[this] { ++pdfRifatti; }};
};

} // namespace

TEST_F(ProvaImpostazioni, ConfirmWritesTheTrimmedBoxesAndMakesThePdfAgain)
{
    form.Form_Load();
    EXPECT_EQ(form.Text1, (std::array<QString, 4>{QStringLiteral("21"), QString(), QString(), QStringLiteral("1.5")}));
    form.Text1[1] = QStringLiteral(" 29.7 ");
    form.Text1[2] = QStringLiteral("  ");
    lavoro().PdfReportDisponibile = true;
    form.Command1_Click(0);
    EXPECT_FALSE(form.caricato);
    EXPECT_EQ(chiave("Larghezza"), QStringLiteral("21"));
    EXPECT_EQ(chiave("Altezza"), QStringLiteral("29.7"));
    EXPECT_EQ(chiave("Margine voucher singolo"), QString());
    EXPECT_EQ(chiave("Margine voucher doppio"), QStringLiteral("1.5"));
    EXPECT_EQ(chiave("Bold"), QStringLiteral("si"));
    EXPECT_EQ(pdfRifatti, 1);
    EXPECT_TRUE(lavoro().LavoroEtichette);
}

TEST_F(ProvaImpostazioni, CancelOrNoPdfComponent)
{
    const QByteArray prima = leggiFile(ini);
    form.Form_Load();
    form.Text1[0] = QStringLiteral("99");
    lavoro().PdfReportDisponibile = true;
    form.Command1_Click(1);
    EXPECT_EQ(leggiFile(ini), prima);
    EXPECT_EQ(pdfRifatti, 0);
    EXPECT_FALSE(lavoro().LavoroEtichette);

    // Without the PDF component only the keys are written.
    lavoro().PdfReportDisponibile = false;
    form.Form_Load();
    form.Text1[0] = QStringLiteral("99 ");
    form.Command1_Click(0);
    EXPECT_EQ(chiave("Larghezza"), QStringLiteral("99"));
    EXPECT_EQ(pdfRifatti, 0);
    EXPECT_FALSE(lavoro().LavoroEtichette);
}

TEST_F(ProvaImpostazioni, TheDialogOnTheScreen)
{
    form.Form_Load();
    {
        FinestraImpostazioni dialogo(form);
        EXPECT_EQ(dialogo.windowTitle(), QStringLiteral("Impostazioni "));
        EXPECT_TRUE(dialogo.windowFlags() & Qt::WindowStaysOnTopHint);
        QStringList etichette;
        for (QLabel *l : dialogo.findChildren<QLabel *>())
            etichette << l->text();
        for (const char *t : {"Larg. pagina", "Alt. pagina", "Margine sup. voucher singolo", "Margine sup. voucher doppio",
                              "cm", FormImpostazioni::Suggerimento})
            EXPECT_TRUE(etichette.contains(QLatin1String(t))) << t;
        EXPECT_EQ(dialogo.casella(0)->text(), QStringLiteral("21"));
        dialogo.casella(1)->setText(QStringLiteral(" 30 "));
        // Shown, not run modal here: a test before may have ended the
        // application's event loops, and a new one would return at once.
        dialogo.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(dialogo.frameGeometry().topLeft(), QPoint(0, 0));
        static_cast<QPushButton *>(dialogo.pulsante(0))->click();
        EXPECT_EQ(dialogo.result(), QDialog::Accepted);
        EXPECT_FALSE(dialogo.isVisible());
    }
    EXPECT_EQ(form.Text1[1], QStringLiteral(" 30 "));
    form.Command1_Click(0);
    EXPECT_EQ(chiave("Altezza"), QStringLiteral("30"));

    // Esc is "Annulla".
    form.Form_Load();
    FinestraImpostazioni dialogo(form);
    dialogo.show();
    dialogo.reject();
    EXPECT_EQ(dialogo.result(), QDialog::Rejected);
}
