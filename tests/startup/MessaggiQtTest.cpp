// Message boxes as the user sees them: the icon that fits, the buttons asked
// for in Italian, the title; and Qt's Italian translations for the standard
// dialogs.

#include "platform/MessaggiQt.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
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
        EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Annulla"));
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
        EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("Sì"));
        EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("No"));
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
