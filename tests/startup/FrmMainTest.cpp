// The main window shows the form's state and forwards the user's actions.

#include "FinestraPrincipaleDiProva.h"
#include "MessaggiRegistrati.h"

#include "common/Attesa.h"
#include "common/Avanzamento.h"
#include "common/ErroreVB.h"
#include "common/Stampanti.h"
#include "common/StatoLavoro.h"
#include "TestSupport.h"
#include "startup/ComandiMain.h"
#include "startup/Form1.h"
#include "startup/FormMain.h"
#include "startup/ServiziAvvio.h"
#include "startup/ui/FinestraAvanzamento.h"
#include "startup/ui/FrmMain.h"
#include "output/ui/TastiRapidi.h"
#include "common/FineProgramma.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QRegularExpression>
#include <QApplication>
#include <QKeyEvent>
#include <QMap>
#include <gtest/gtest.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

class ProvaFinestra : public ::testing::Test, public FinestraPrincipaleDiProva
{
protected:
    template<typename W> W *w(const char *nome, FrmMain &f) { return qobject_cast<W *>(f.widget(QLatin1String(nome))); }
};

} // namespace

TEST_F(ProvaFinestra, ShowsTheControlsAsTheFormHasThem)
{
    FrmMain f(form, comandi);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Vorpla Ulka v. 2.1.0"));
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(w<QCheckBox>("Check2", f)->isHidden());
    EXPECT_EQ(w<QCheckBox>("Check2", f)->text().remove(QRegularExpression(QStringLiteral("&(?!&)"))), QStringLiteral("Anteprima di qualità"));
    EXPECT_FALSE(w<QPushButton>("cmdEmail(1)", f)->isEnabled());
    EXPECT_EQ(w<QPushButton>("cmdEmail(1)", f)->text().remove(QRegularExpression(QStringLiteral("&(?!&)"))), QStringLiteral("My Fax"));
    EXPECT_EQ(w<QPushButton>("CmdVplEma", f)->text().remove(QRegularExpression(QStringLiteral("&(?!&)"))), QStringLiteral("Vorpla + Email"));
    EXPECT_EQ(w<QComboBox>("cmbPrinter", f)->count(), 2);

    // Later changes of the form reach the window.
    form.controllo(QStringLiteral("Check2")).visibile = true;
    form.controllo(QStringLiteral("lblMail")).testo = QStringLiteral(" a@b.it");
    form.aggiorna();
    EXPECT_FALSE(w<QCheckBox>("Check2", f)->isHidden());
    EXPECT_EQ(w<QLabel>("lblMail", f)->text(), QStringLiteral(" a@b.it"));
}

TEST_F(ProvaFinestra, ChoosingAPrinterMakesItCurrentUnlessTheListIsBeingResynchronised)
{
    FrmMain f(form, comandi);
    auto *elenco = w<QComboBox>("cmbPrinter", f);
    form.SelezioneInCorso = true;
    emit elenco->activated(1);
    EXPECT_EQ(stampanti.corrente(), QStringLiteral("Office"));
    form.SelezioneInCorso = false;
    emit elenco->activated(1);
    EXPECT_EQ(stampanti.corrente(), QStringLiteral("Laser"));
    EXPECT_EQ(lavoro().DispositivoRegistrato, QStringLiteral("Laser"));
    EXPECT_EQ(w<QLabel>("lblPorta", f)->text(), QStringLiteral(" socket://192.0.2.9"));
}

TEST_F(ProvaFinestra, TheDocumentKindChosenInTheListIsTheOnePrinted)
{
    form.Parametri = {QStringLiteral("dati.txt"), QStringLiteral("TOLVEK")};
    Controllo &tipi = form.controllo(QStringLiteral("CmbEtich"));
    tipi.voci = {QStringLiteral("Valigie"), QStringLiteral("Passaporti"), QStringLiteral("Nota Spese")};
    tipi.indice = 0;
    tipi.testo = tipi.voci.at(0);
    tipi.visibile = tipi.abilitato = true;
    FrmMain f(form, comandi);
    auto *elenco = w<QComboBox>("CmbEtich", f);
    // Two steps down the list with the keyboard, as a user chooses.
    for (int i = 0; i < 2; ++i) {
        QKeyEvent giu(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(elenco, &giu);
    }
    QString stampato;
    servizi.stampaCliente = [&] { stampato = form.controllo(QStringLiteral("CmbEtich")).testo; };
    w<QToolButton>("cmdVorpla", f)->click();
    EXPECT_EQ(stampato, QStringLiteral("Nota Spese"));
    // The print ended the program, as it does after that print.
    EXPECT_THROW(fineSeRichiesta(), FineProgramma);
    // The window, shown again from the form, keeps the choice.
    form.aggiorna();
    EXPECT_EQ(elenco->currentText(), QStringLiteral("Nota Spese"));
}

TEST_F(ProvaFinestra, QualityPreviewBoxAndPrintButton)
{
    FrmMain f(form, comandi);
    form.controllo(QStringLiteral("Check2")).visibile = true;
    form.aggiorna();
    w<QCheckBox>("Check2", f)->click();
    EXPECT_TRUE(form.AnteprimaQualita);

    // Copies that are not a number: the message, and the box's first two
    // characters selected for the correction; the window stays.
    auto *copie = w<QLineEdit>("TXTNumCopie", f);
    copie->setText(QStringLiteral("abc"));
    emit copie->textEdited(copie->text());
    w<QToolButton>("cmdVorpla", f)->click();
    ASSERT_EQ(messaggi.testi, QStringList{QStringLiteral("Numero di copie errato!")});
    EXPECT_EQ(copie->selectedText(), QStringLiteral("ab"));
    EXPECT_TRUE(f.isVisible());

    // "Edit" opens the editor on the print file, the window lowered meanwhile.
    prova::CartellaProva cartella;
    lavoro().FileIngresso = cartella.scrivi(QStringLiteral("F1.TXT"), "@TITO X\r\n");
    QStringList passi;
    servizi.abbassaFinestra = [&] { passi << QStringLiteral("abbassa"); };
    servizi.rialzaFinestra = [&] { passi << QStringLiteral("rialza"); };
    servizi.mostraEditor = [&](Form1 &editor) { passi << editor.Text1; };
    w<QPushButton>("Edit", f)->click();
    EXPECT_EQ(passi, (QStringList{QStringLiteral("abbassa"), QStringLiteral("@TITO X\r\n"), QStringLiteral("rialza")}));
    EXPECT_EQ(messaggi.testi.size(), 1);
}

// While a command runs (its waits let clicks in) the window's other commands
// are off, the exit excepted; they come back however the command ends.
TEST_F(ProvaFinestra, CommandsAreOffWhileOneRuns)
{
    FrmMain f(form, comandi);
    CartellaProva cartella;
    lavoro().FileIngresso = cartella.scrivi(QStringLiteral("F1.TXT"), "@TITO X\r\n");
    servizi.abbassaFinestra = [] {};
    servizi.rialzaFinestra = [] {};
    const QStringList comandiFinestra = {QStringLiteral("cmdVorpla"), QStringLiteral("cmdPreview"),
                                         QStringLiteral("cmdEmail(0)"), QStringLiteral("Edit"),
                                         QStringLiteral("cmbPrinter"), QStringLiteral("TXTNumCopie"),
                                         QStringLiteral("cmdProp(0)")};
    const auto accesi = [&] {
        QStringList a;
        for (const QString &n : comandiFinestra)
            if (f.widget(n)->isEnabled())
                a << n;
        return a;
    };
    const QStringList prima = accesi();
    ASSERT_FALSE(prima.isEmpty());
    QStringList durante;
    bool esciAcceso = false;
    bool fallisce = false;
    servizi.mostraEditor = [&](Form1 &) {
        durante = accesi();
        esciAcceso = f.widget(QStringLiteral("cmdEsci"))->isEnabled();
        if (fallisce)
            throw ErroreVB(Err::PermessoNegato);
    };
    w<QPushButton>("Edit", f)->click();
    EXPECT_TRUE(durante.isEmpty()) << durante.join(u' ').toStdString();
    EXPECT_TRUE(esciAcceso);
    EXPECT_EQ(accesi(), prima);

    // Ended by an error: on again all the same.
    fallisce = true;
    w<QPushButton>("Edit", f)->click();
    EXPECT_TRUE(durante.isEmpty());
    EXPECT_EQ(accesi(), prima);
    EXPECT_EQ(messaggi.testi.size(), 1);
}

// A run that lasts shows its window after the delay (here 100 ms instead
// of a second), with what it does and how far it is; "Annulla" is the
// window's exit: the run stops at its next wait, its files stay, and the
// window goes away with the run.
TEST_F(ProvaFinestra, ALongRunShowsItsProgressAndAnnullaStopsItAsTheExit)
{
    FrmMain f(form, comandi);
    FinestraAvanzamento avanzamento([&f] { f.esci(); }, &f, 100);
    impostaOsservatoreAvanzamento(&avanzamento);
    CartellaProva cartella;
    lavoro().FileIngresso = cartella.scrivi(QStringLiteral("F1.TXT"), "@TITO X\r\n");
    servizi.abbassaFinestra = [] {};
    servizi.rialzaFinestra = [] {};
    int ricerche = 0;
    servizi.CercaProcesso = [&](const QString &, bool) { return ++ricerche, false; };

    // A quick run shows nothing.
    servizi.mostraEditor = [&](Form1 &) {
        CorsaLunga corsa(QStringLiteral("Stampa"));
        segnalaAvanzamento(QStringLiteral("Pagina 1 di 2"), 0, 2);
        attendiConEventi(20);
    };
    w<QPushButton>("Edit", f)->click();
    EXPECT_FALSE(avanzamento.isVisible());

    bool vistaPrima = true, vistaDopo = false, oltre = false;
    QString testo;
    int valore = -1, massimo = -1;
    servizi.mostraEditor = [&](Form1 &) {
        CorsaLunga corsa(QStringLiteral("Invio e-mail"));
        segnalaAvanzamento(QStringLiteral("Documento 1 di 3"), 0, 3);
        attendiConEventi(50);
        vistaPrima = avanzamento.isVisible();
        attendiConEventi(100);
        segnalaAvanzamento(QStringLiteral("Documento 2 di 3"), 1, 3);
        vistaDopo = avanzamento.isVisible();
        testo = avanzamento.testo()->text();
        valore = avanzamento.barra()->value();
        massimo = avanzamento.barra()->maximum();
        avanzamento.pulsanteAnnulla()->click();
        attendiConEventi(10);
        oltre = true;
    };
    w<QPushButton>("Edit", f)->click();
    impostaOsservatoreAvanzamento(nullptr);

    EXPECT_FALSE(vistaPrima);
    EXPECT_TRUE(vistaDopo);
    EXPECT_EQ(avanzamento.windowTitle(), QStringLiteral("Invio e-mail"));
    EXPECT_EQ(testo, QStringLiteral("Documento 2 di 3"));
    EXPECT_EQ(valore, 1);
    EXPECT_EQ(massimo, 3);
    EXPECT_FALSE(oltre) << "the run goes on after Annulla";
    EXPECT_EQ(ricerche, 1) << "Annulla runs the exit";
    EXPECT_FALSE(avanzamento.isVisible());
    EXPECT_FALSE(f.isVisible()) << "the program ends as when its window is closed";
    EXPECT_TRUE(QFileInfo::exists(lavoro().FileIngresso));
}

TEST_F(ProvaFinestra, ALongPortNeverWidensTheWindow)
{
    form.controllo(QStringLiteral("lblPorta")).testo = QStringLiteral(" ipp://s/office");
    FrmMain f(form, comandi);
    const int larghezza = f.sizeHint().width();
    const QString lungo = QStringLiteral(" socket://") + QString(300, u'x') + QStringLiteral("/coda-al-piano-terzo");
    form.controllo(QStringLiteral("lblPorta")).testo = lungo;
    form.aggiorna();
    EXPECT_LE(f.sizeHint().width(), qMax(larghezza, 400));
    auto *porta = w<QLabel>("lblPorta", f);
    EXPECT_EQ(porta->toolTip(), lungo.trimmed());
    EXPECT_TRUE(porta->text().contains(QChar(0x2026))) << porta->text().toStdString();
}

// Every command from the keyboard: a different Alt+letter for each button
// and check box, the picture buttons named for screen readers, Esc the exit.
TEST_F(ProvaFinestra, EveryCommandHasItsOwnAccessKey)
{
    form.controllo(QStringLiteral("CmdPub")).visibile = true;
    FrmMain f(form, comandi);
    QMap<QChar, QString> tasti;
    for (QAbstractButton *b : f.findChildren<QAbstractButton *>()) {
        const QChar t = tastoRapido(b);
        EXPECT_FALSE(t.isNull()) << b->objectName().toStdString();
        EXPECT_FALSE(tasti.contains(t)) << b->objectName().toStdString() << " and " << tasti.value(t).toStdString();
        tasti.insert(t, b->objectName());
        if (qobject_cast<QToolButton *>(b)) {
            // The picture's key is named in its tooltip ("Vorpla (Alt+V)").
            EXPECT_EQ(b->toolTip(), b->accessibleName() + QStringLiteral(" (Alt+") + t.toUpper() + u')')
                << b->objectName().toStdString();
        }
    }
    EXPECT_GE(tasti.size(), 12);
    // Captions changed by the configuration get their keys again.
    form.controllo(QStringLiteral("cmdEmail(1)")).testo = QStringLiteral("Fax & Co");
    form.aggiorna();
    EXPECT_EQ(w<QPushButton>("cmdEmail(1)", f)->text().remove(QRegularExpression(QStringLiteral("&(?!&)"))),
              QStringLiteral("Fax & Co"));

    // Esc is the exit: the job ends, the window goes.
    servizi.abbandonaStampa = [] {};
    servizi.eventi = [] {};
    servizi.attendi = [](int) {};
    servizi.CercaProcesso = [](const QString &, bool) { return false; };
    CartellaProva cartella;
    lavoro().FileIngresso = cartella.scrivi(QStringLiteral("F1.TXT"), "@TITO X\r\n");
    f.activateWindow();
    QApplication::setActiveWindow(&f);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&f, &esc);
    EXPECT_TRUE(f.isHidden());
    EXPECT_THROW(fineSeRichiesta(), FineProgramma);
}

// What the user ticks or chooses is the form's at once, and the window's
// next refresh keeps it.
TEST_F(ProvaFinestra, TicksAndChoicesReachTheFormAndSurviveARefresh)
{
    form.controllo(QStringLiteral("chkAttach")).visibile = true;
    Controllo &tipi = form.controllo(QStringLiteral("CmbEtich"));
    tipi.voci = {QStringLiteral("Valigie"), QStringLiteral("Passaporti"), QStringLiteral("Nota Spese")};
    tipi.indice = 0;
    tipi.testo = tipi.voci.at(0);
    tipi.visibile = tipi.abilitato = true;
    FrmMain f(form, comandi);
    for (const char *nome : {"ChkSmtp", "Check1", "chkAttach"})
        w<QCheckBox>(nome, f)->click();
    emit w<QComboBox>("CmbEtich", f)->activated(2);
    form.aggiorna();
    for (const char *nome : {"ChkSmtp", "Check1", "chkAttach"}) {
        EXPECT_TRUE(form.controllo(QLatin1String(nome)).spuntato) << nome;
        EXPECT_TRUE(w<QCheckBox>(nome, f)->isChecked()) << nome;
    }
    EXPECT_EQ(form.controllo(QStringLiteral("CmbEtich")).testo, QStringLiteral("Nota Spese"));
    EXPECT_EQ(w<QComboBox>("CmbEtich", f)->currentIndex(), 2);
    w<QCheckBox>("ChkSmtp", f)->click();
    EXPECT_FALSE(form.controllo(QStringLiteral("ChkSmtp")).spuntato);
}

TEST_F(ProvaFinestra, TypingTheCopiesKeepsTheFocusInTheBox)
{
    FrmMain f(form, comandi);
    auto *copie = w<QLineEdit>("TXTNumCopie", f);
    copie->setFocus();
    QApplication::setActiveWindow(&f);
    copie->setText(QStringLiteral("2"));
    emit copie->textEdited(copie->text());
    EXPECT_TRUE(copie->isEnabled());
    EXPECT_TRUE(copie->hasFocus());
}
