// The preview window shows the preview's page and forwards the operator's
// page buttons, typed page, keys and the two exits.

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/FineProgramma.h"

#include "output/FormPreview.h"
#include "output/ui/FrmPreview.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include "output/ui/TastiRapidi.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace vorpla;
using namespace vorpla::prova;

TEST(FinestraAnteprima, ShowsThePageAndForwardsTheButtonsKeysAndExits)
{
    CartellaProva cartella;
    QByteArray righe;
    for (int p = 1; p <= 3; ++p) {
        for (int r = 0; r < 30; ++r)
            righe += "@RIGA pagina " + QByteArray::number(p) + " riga " + QByteArray::number(r) + "\r\n";
        righe += "@PAGE\r\n";
    }
    FormPreview anteprima(cartella.scrivi(QStringLiteral("tre.txt"), righe));
    anteprima.Form_Load();
    QStringList uscite;
    FrmPreview finestra(anteprima, {[&] { uscite << QStringLiteral("vorpla"); }, [&] { uscite << QStringLiteral("esci"); }});
    finestra.resize(800, 600);
    finestra.show();
    const auto pulsante = [&](const char *nome) { return qobject_cast<QPushButton *>(finestra.widget(QLatin1String(nome))); };
    const auto casella = qobject_cast<QLineEdit *>(finestra.widget(QStringLiteral("txtPag")));
    const auto barra = qobject_cast<QScrollBar *>(finestra.widget(QStringLiteral("VScroll1")));

    EXPECT_EQ(finestra.windowTitle(), QStringLiteral("ULKA - Anteprima di vorpla"));
    EXPECT_EQ(qobject_cast<QLabel *>(finestra.widget(QStringLiteral("lblPagTot")))->text(), QStringLiteral("di 3"));
    EXPECT_EQ(casella->text(), QStringLiteral("1"));
    EXPECT_EQ(barra->maximum(), 15);
    // The page is in the visible area.
    const QImage vista = finestra.areaVisibile();
    int inchiostro = 0;
    for (int y = 32; y < 48; ++y)
        for (int x = 0; x < 200; ++x)
            inchiostro += qGray(vista.pixel(x, y)) < 128;
    EXPECT_GT(inchiostro, 0);

    // Each button from the keyboard, the pictures named for screen readers.
    QSet<QChar> tasti;
    for (const char *nome : {"cmdPrev", "cmdNext", "cmdVorpla", "cmdEsci"})
        tasti << tastoRapido(pulsante(nome));
    EXPECT_EQ(tasti.size(), 4);
    EXPECT_FALSE(tasti.contains(QChar()));
    EXPECT_EQ(pulsante("cmdEsci")->accessibleName(), QStringLiteral("Esci"));

    pulsante("cmdNext")->click();
    EXPECT_EQ(casella->text(), QStringLiteral("2"));
    // Typed by the operator.
    casella->setText(QStringLiteral("1"));
    emit casella->textEdited(QStringLiteral("1"));
    pulsante("cmdNext")->click();
    EXPECT_EQ(casella->text(), QStringLiteral("2"));
    pulsante("cmdPrev")->click();
    EXPECT_EQ(anteprima.pagina(), 1);

    QKeyEvent giu(QEvent::KeyRelease, Qt::Key_PageDown, Qt::NoModifier);
    QApplication::sendEvent(&finestra, &giu);
    EXPECT_EQ(barra->value(), 1);
    barra->setValue(5);
    EXPECT_EQ(anteprima.VScroll1.Value, 5);
    EXPECT_EQ(anteprima.areaDaCopiare(QSize(10, 10)).top(), 5 * 19);

    // The print file gone: the error is said, nothing crashes, the window
    // goes.
    {
        MessaggiRegistrati messaggi;
        QFile::remove(cartella.percorso(QStringLiteral("tre.txt")));
        pulsante("cmdNext")->click();
        ASSERT_EQ(messaggi.testi.size(), 1);
        EXPECT_TRUE(messaggi.testi[0].contains(QStringLiteral("Errore N.53"))) << messaggi.testi[0].toStdString();
        EXPECT_FALSE(finestra.isVisible());
        EXPECT_THROW(fineSeRichiesta(), FineProgramma); // the end it asked for
    }

    pulsante("cmdVorpla")->click();
    finestra.close();
    EXPECT_EQ(uscite, (QStringList{QStringLiteral("vorpla"), QStringLiteral("esci")}));
}
