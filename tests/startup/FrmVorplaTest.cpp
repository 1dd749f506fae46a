// The label window shows the catalogue and forwards the operator's clicks.

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "output/CatalogoEtichette.h"
#include "output/ui/FrmVorpla.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace vorpla;
using namespace vorpla::prova;

TEST(FinestraEtichette, StoresANewFormatTypedInTheWindowAndLeaves)
{
    CartellaProva cartella;
    MessaggiRegistrati messaggi;
    CatalogoEtichette catalogo;
    catalogo.PercorsoDB = cartella.percorso(QStringLiteral("ulka/vorpla/etich.DB"));
    catalogo.PercorsoTmp = cartella.percorso(QStringLiteral("ulka/vorpla/etich.tmp"));
    catalogo.caricaCatalogo();
    catalogo.cmdConferma.Visible = false;
    for (CatalogoEtichette::Campo *c : {&catalogo.txtDesc, &catalogo.txtPX, &catalogo.txtPY, &catalogo.txtMarg,
                                        &catalogo.txtEtX, &catalogo.txtETY})
        c->Enabled = false;

    QStringList uscite;
    FrmVorpla finestra(catalogo, {[&] { uscite << QStringLiteral("continua"); },
                                  [&] { uscite << QStringLiteral("annulla"); },
                                  [&] { uscite << QStringLiteral("chiusa"); }});
    finestra.show();
    auto campo = [&](const char *nome) { return qobject_cast<QLineEdit *>(finestra.widget(QLatin1String(nome))); };
    auto pulsante = [&](const char *nome) { return qobject_cast<QPushButton *>(finestra.widget(QLatin1String(nome))); };

    EXPECT_EQ(finestra.windowTitle(), QStringLiteral("Vorpla ULKA"));
    EXPECT_EQ(campo("txtPX")->text(), QStringLiteral("210"));
    EXPECT_FALSE(campo("txtPX")->isEnabled());
    EXPECT_TRUE(pulsante("cmdConferma")->isHidden());
    EXPECT_EQ(pulsante("cmdElimina")->text().remove(QRegularExpression(QStringLiteral("&(?!&)"))), QStringLiteral("Elimina "));
    // No format yet: nothing to delete.
    EXPECT_TRUE(catalogo.cmbFormati.isEmpty());
    EXPECT_FALSE(pulsante("cmdElimina")->isEnabled());
    EXPECT_EQ(pulsante("cmdVorpla")->text().remove(QRegularExpression(QStringLiteral("&(?!&)"))), QStringLiteral("Continua"));

    const int larghezza = finestra.sizeHint().width();
    pulsante("cmdCrea")->click();
    // "Conferma" appears in the place kept for it: the window does not widen.
    EXPECT_EQ(finestra.sizeHint().width(), larghezza);
    EXPECT_TRUE(campo("txtDesc")->isEnabled());
    EXPECT_FALSE(pulsante("cmdConferma")->isHidden());
    EXPECT_FALSE(pulsante("cmdVorpla")->isEnabled());
    for (const auto &[nome, testo] : {std::pair{"txtDesc", "Buste"}, std::pair{"txtPX", "220"}, std::pair{"txtETY", "5,0"}}) {
        campo(nome)->setText(QLatin1String(testo));
        emit campo(nome)->textEdited(campo(nome)->text());
    }
    // A measure refused: its field has the focus and its text selected, so
    // what is typed replaces it.
    pulsante("cmdConferma")->click();
    EXPECT_EQ(messaggi.testi.size(), 1);
    EXPECT_EQ(finestra.focusWidget(), campo("txtETY"));
    EXPECT_EQ(campo("txtETY")->selectedText(), QStringLiteral("5,0"));
    messaggi.testi.clear();
    campo("txtETY")->setText(QStringLiteral("50"));
    emit campo("txtETY")->textEdited(campo("txtETY")->text());
    pulsante("cmdConferma")->click();
    EXPECT_TRUE(messaggi.testi.isEmpty()) << messaggi.testi.join(u'|').toStdString();
    EXPECT_EQ(QFileInfo(catalogo.PercorsoDB).size(), 40);
    auto *elenco = qobject_cast<QComboBox *>(finestra.widget(QStringLiteral("cmbFormati")));
    ASSERT_EQ(elenco->count(), 1);
    // The list shows the text as typed until the catalogue is read again.
    EXPECT_EQ(elenco->itemText(0), QStringLiteral("Buste"));
    EXPECT_EQ(campo("txtPX")->text(), QStringLiteral("220"));
    EXPECT_FALSE(campo("txtPX")->isEnabled());
    EXPECT_TRUE(pulsante("cmdVorpla")->isEnabled());

    pulsante("cmdVorpla")->click();
    pulsante("cmdAnnulla")->click();
    finestra.close();
    EXPECT_EQ(uscite, (QStringList{QStringLiteral("continua"), QStringLiteral("annulla"), QStringLiteral("chiusa")}));
}
