// Message boxes as the user sees them: the icon that fits, the buttons asked
// for in Italian with their keys, the title; and Qt's Italian translations for the standard
// dialogs.

#include "platform/MessaggiQt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace vorpla;

TEST(MessaggiQt, IconButtonsAndTitleThatFit)
{
    {
        QMessageBox box;
        preparaMessaggio(box, QStringLiteral("Sei sicuro di voler eliminare il formato corrente?"), Pulsanti::OkAnnulla,
                         QStringLiteral("Conferma eliminazione"));
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Conferma eliminazione"));
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("&Annulla"));
        EXPECT_EQ(box.escapeButton(), box.button(QMessageBox::Cancel));
    }
    {
        QMessageBox box;
        preparaMessaggio(box, QStringLiteral("Routine frmMain - Form_Load\r Errore N.53 File not found"), Pulsanti::Ok);
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Vorpla"));
        EXPECT_EQ(box.icon(), QMessageBox::Critical);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
    }
    {
        QMessageBox box;
        preparaMessaggio(box, QString::fromUtf8("Il testo è stato modificato. Salvo le modifiche?"), Pulsanti::SiNoAnnulla);
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Sì"));
        EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("&No"));
        // Nothing to minimise or enlarge.
        EXPECT_FALSE(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
    }
    {
        // The "@ULKA=?" question answered with the key "n", as with its
        // button.
        QMessageBox box;
        preparaMessaggio(box, QStringLiteral("Se si desidera usare lo vorpla in locale premere 'SI' altirmenti premere "
                                             "'NO' per lavorare con il server"),
                         Pulsanti::SiNo);
        box.show();
        QKeyEvent n(QEvent::KeyPress, Qt::Key_N, Qt::NoModifier, QStringLiteral("n"));
        QApplication::sendEvent(&box, &n);
        QDeadlineTimer scadenza(2000);
        while (!box.clickedButton() && !scadenza.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(box.clickedButton(), box.button(QMessageBox::No));
    }
    EXPECT_EQ(tipoMessaggio(QStringLiteral("Numero di copie errato!"), Pulsanti::Ok), TipoMessaggio::Errore);
    EXPECT_EQ(tipoMessaggio(QStringLiteral("Chiudere l'applicazione e riprovare a vorplare."), Pulsanti::Ok),
              TipoMessaggio::Avviso);
}

TEST(MessaggiQt, QtStandardDialogsInItalian)
{
    ASSERT_TRUE(installaTraduzioniQt()) << "qtbase_it.qm not found (Debian qt6-translations-l10n)";
    QDialogButtonBox pulsanti(QDialogButtonBox::Save | QDialogButtonBox::Cancel | QDialogButtonBox::Open);
    EXPECT_EQ(pulsanti.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Annulla"));
    EXPECT_EQ(pulsanti.button(QDialogButtonBox::Save)->text(), QStringLiteral("Salva"));
    EXPECT_EQ(pulsanti.button(QDialogButtonBox::Open)->text(), QStringLiteral("Apri"));
}
