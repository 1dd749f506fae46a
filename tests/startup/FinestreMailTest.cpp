// The mail command's two small windows and the main window's "Edit Mail":
// what the editing window hands over, and what the report shows.

#include "mail/ui/FinestreMail.h"

#include "TestSupport.h"

#include "common/StatoLavoro.h"
#include "startup/ComandiMain.h"
#include "startup/FormMain.h"
#include "startup/ServiziAvvio.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace vorpla;

TEST(FinestreMail, TheEditedRecipientsAndTextGoToTheSmtpRoute)
{
    azzeraLavoro();
    lavoro().IndirizzoMail = QStringLiteral("rossi@esempio.it");
    FormMain form;
    ServiziAvvio servizi;
    int aperture = 0;
    servizi.mostraModificaMail = [&] { ++aperture; };
    ComandiMain comandi(form, servizi);
    comandi.cmdEditEmail_Click();
    EXPECT_EQ(aperture, 1);

    FrmEditMail finestra(lavoro().IndirizzoMail, [&](const QString &d, const QString &t) { comandi.FrmEditMail_CmdMod_Click(d, t); });
    finestra.show();
    EXPECT_EQ(finestra.windowTitle(), QStringLiteral("Modifica E-mail"));
    EXPECT_EQ(finestra.TxtDest->toPlainText(), QStringLiteral("rossi@esempio.it"));
    finestra.TxtDest->setPlainText(QStringLiteral("verdi@esempio.it"));
    finestra.TxtTesto->setPlainText(QStringLiteral("Saluti"));
    auto *modifica = finestra.findChild<QPushButton *>(QStringLiteral("CmdMod"));
    ASSERT_NE(modifica, nullptr);
    EXPECT_EQ(modifica->text(), QStringLiteral("&Modifica")); // Alt+M
    EXPECT_FALSE(form.controllo(QStringLiteral("ChkSmtp")).spuntato);
    modifica->click();
    EXPECT_EQ(lavoro().DestinatariModificati, QStringLiteral("verdi@esempio.it"));
    EXPECT_EQ(lavoro().TestoAggiunto, QStringLiteral("Saluti"));
    EXPECT_TRUE(form.controllo(QStringLiteral("ChkSmtp")).spuntato);
    EXPECT_FALSE(finestra.isVisible());
}

TEST(FinestreMail, TheReportListsTheDocumentsNotSent)
{
    FormReportMail report(QStringLiteral("Verdi\r\nNeri\r\n"), QString());
    EXPECT_EQ(report.windowTitle(), QStringLiteral("Report dell'invio mail"));
    EXPECT_EQ(report.Text1->toPlainText(), QStringLiteral("Verdi\nNeri\n"));
    EXPECT_TRUE(report.Text1->isReadOnly());
    bool etichetta = false;
    for (const QLabel *l : report.findChildren<QLabel *>())
        etichetta |= l->text() == QStringLiteral("Elenco documenti non inviati perchè non è presente l'indirizzo mail del destinatario:");
    EXPECT_TRUE(etichetta);
    auto pulsanti = report.findChildren<QPushButton *>();
    ASSERT_EQ(pulsanti.size(), 1);
    EXPECT_EQ(pulsanti[0]->text(), QStringLiteral("&Chiudi")); // Alt+C
}

TEST(FinestreMail, TheReportListsTheDocumentsThatFailedWithWhy)
{
    // A failed send only (no mail client): its list alone, its reason whole
    // inside the window.
    const QString motivo = QStringLiteral("Rossi: Su questo computer non è impostato alcun programma di posta elettronica "
                                          "che apra il messaggio: il documento non è stato inviato. Routine frmMAPI - "
                                          "SENDMAIL Errore N.32002 xdg-email (codice di uscita 3)\r\n");
    FormReportMail report(QString(), motivo);
    report.show();
    EXPECT_FALSE(report.Text1->isVisible());
    ASSERT_TRUE(report.TextFalliti->isVisible());
    EXPECT_EQ(report.TextFalliti->toPlainText(), QString(motivo).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_EQ(report.TextFalliti->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QStringList etichette;
    for (const QLabel *l : report.findChildren<QLabel *>())
        if (l->isVisible())
            etichette << l->text();
    EXPECT_EQ(etichette, QStringList{QStringLiteral("Documenti non inviati per un errore:")});
    EXPECT_LT(report.width(), 800);
}
