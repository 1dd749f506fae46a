// The windows' places on a real X server with a real window manager: a
// window's place is its frame's corner, so its title bar is on the screen,
// and it stays where it is when it stops or starts staying on top (as the
// main window does around the printer dialog, a PDF preview or a mail).
// Each place is read back from the X server (xwininfo, xprop), as the user
// sees the window, not from Qt's own idea of it.

#include "FinestraPrincipaleDiProva.h"
#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/StatoLavoro.h"
#include "common/Stampanti.h"
#include "output/CatalogoEtichette.h"
#include "output/ui/Collocazione.h"
#include "output/ui/FrmVorpla.h"
#include "startup/ComandiMain.h"
#include "startup/Form1.h"
#include "startup/FormImpostazioni.h"
#include "startup/FormMain.h"
#include "startup/ServiziAvvio.h"
#include "startup/ui/FinestraImpostazioni.h"
#include "startup/ui/FrmMain.h"
#include "terminal/ui/FinestraMsg.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QWindow>
#include <gtest/gtest.h>

// QPoint as (x, y) in failure messages.
void PrintTo(const QPoint &p, std::ostream *os)
{
    *os << '(' << p.x() << ", " << p.y() << ')';
}

using namespace vorpla;
using namespace vorpla::prova;

namespace {

constexpr const char *SenzaSchermo = "No test X server with a window manager: these tests need the Xvfb and "
                                     "openbox of scripts/schermo-di-prova.sh (bash scripts/test.sh starts them).";

bool schermoDiProva()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

QString esegui(const QString &programma, const QStringList &argomenti)
{
    QProcess p;
    p.start(programma, argomenti);
    p.waitForFinished(5000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

bool conGestoreFinestre()
{
    return esegui(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
        .contains(QLatin1String("window id"));
}

// Where the user sees a window: the client area's corner on the screen and
// the frame the window manager drew around it.
struct SulloSchermo
{
    QPoint cliente;
    QMargins cornice; // left, top, right, bottom
    QPoint angolo() const { return cliente - QPoint(cornice.left(), cornice.top()); }
};

SulloSchermo sulloSchermo(const QWidget &w)
{
    // The window's native window as it is now (QWidget::winId keeps naming
    // the one a change of flags replaced).
    const QString id = QString::number(w.windowHandle()->winId());
    SulloSchermo s;
    const QString info = esegui(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    const auto numero = [&](const char *etichetta) {
        const auto m = QRegularExpression(QLatin1String(etichetta) + QStringLiteral(":\\s*(-?\\d+)")).match(info);
        return m.hasMatch() ? m.captured(1).toInt() : -9999;
    };
    s.cliente = QPoint(numero("Absolute upper-left X"), numero("Absolute upper-left Y"));
    const auto m = QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"))
                       .match(esegui(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")}));
    if (m.hasMatch())
        s.cornice = QMargins(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(2).toInt(), m.captured(4).toInt());
    return s;
}

// Whether the window manager keeps the window above the others.
bool sopraLeAltre(const QWidget &w)
{
    return esegui(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(w.windowHandle()->winId()),
                                            QStringLiteral("_NET_WM_STATE")})
        .contains(QLatin1String("_NET_WM_STATE_ABOVE"));
}

// Lets the window manager frame and place a window: until it is shown with
// a frame and has kept its place for a while (three seconds at most).
SulloSchermo assestata(const QWidget &w)
{
    QDeadlineTimer scadenza(3000);
    SulloSchermo prima{QPoint(-1, -1), {}};
    int ferma = 0;
    while (!scadenza.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(30);
        if (!w.isVisible())
            continue;
        const SulloSchermo ora = sulloSchermo(w);
        const bool uguale = ora.cliente == prima.cliente && ora.cornice == prima.cornice;
        prima = ora;
        ferma = uguale && ora.cornice.top() > 0 ? ferma + 1 : 0;
        if (ferma >= 5)
            break;
    }
    return prima;
}

class ProvaCollocazione : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!schermoDiProva())
            GTEST_SKIP() << SenzaSchermo;
        ASSERT_TRUE(conGestoreFinestre()) << SenzaSchermo;
        azzeraLavoro();
    }
};

class ProvaFinestraPrincipale : public ProvaCollocazione, public FinestraPrincipaleDiProva
{
protected:
    ProvaFinestraPrincipale()
    {
        // As the program shows it: on top, in the screen's corner.
        form.inPrimoPiano = true;
        form.posizione = QPoint(0, 0);
    }
};

} // namespace

TEST_F(ProvaFinestraPrincipale, FrameInTheCornerAndStillThereAfterLeavingAndRegainingTheTop)
{
    FrmMain f(form, comandi);
    SulloSchermo s = assestata(f);
    ASSERT_GT(s.cornice.top(), 0) << "the window manager drew no title bar";
    EXPECT_EQ(s.angolo(), QPoint(0, 0));
    EXPECT_EQ(s.cliente.y(), s.cornice.top()) << "the title bar must be on the screen";
    EXPECT_TRUE(sopraLeAltre(f));

    // A preview, a mail or the printer dialog takes the window off the top
    // and back, several times in a working day.
    for (int volta = 0; volta < 3; ++volta) {
        form.inPrimoPiano = false;
        form.aggiorna();
        s = assestata(f);
        EXPECT_EQ(s.angolo(), QPoint(0, 0)) << "after leaving the top, time " << volta;
        EXPECT_FALSE(sopraLeAltre(f));
        form.inPrimoPiano = true;
        form.aggiorna();
        s = assestata(f);
        EXPECT_EQ(s.angolo(), QPoint(0, 0)) << "after regaining the top, time " << volta;
        EXPECT_TRUE(sopraLeAltre(f));
    }
}

TEST_F(ProvaFinestraPrincipale, AWindowTheUserMovedStaysWhereItWasPut)
{
    FrmMain f(form, comandi);
    assestata(f);
    collocaFinestra(&f, QPoint(240, 180));
    EXPECT_EQ(assestata(f).angolo(), QPoint(240, 180));

    // Updates of the form (a label, a button turned off) leave it there;
    // so does a change of its staying on top, made by the program itself.
    form.controllo(QStringLiteral("lblMail")).testo = QStringLiteral(" a@b.it");
    form.aggiorna();
    EXPECT_EQ(assestata(f).angolo(), QPoint(240, 180));
    impostaInPrimoPiano(&f, false);
    f.lower();
    EXPECT_EQ(assestata(f).angolo(), QPoint(240, 180));
    impostaInPrimoPiano(&f, true);
    EXPECT_EQ(assestata(f).angolo(), QPoint(240, 180));

    // A mail puts it back in the corner.
    collocaFinestra(&f, QPoint(0, 0));
    EXPECT_EQ(assestata(f).angolo(), QPoint(0, 0));
}

// A click of the user's mouse (through the X server, as a pointer device
// sends it) reaches the button under it, at the start and after the window
// left and regained the top.
TEST_F(ProvaFinestraPrincipale, TheUsersClickReachesTheButtonUnderIt)
{
    FrmMain f(form, comandi);
    assestata(f);
    int aperture = 0;
    servizi.mostraEditor = [&](Form1 &) { ++aperture; };
    servizi.abbassaFinestra = [] {};
    servizi.rialzaFinestra = [] {};
    CartellaProva cartella;
    lavoro().FileIngresso = cartella.scrivi(QStringLiteral("F1.TXT"), "@TITO X\r\n");
    const auto clic = [&] {
        QWidget *edit = f.widget(QStringLiteral("Edit"));
        const QPoint centro = edit->mapToGlobal(edit->rect().center());
        esegui(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(centro.x()),
                                           QString::number(centro.y()), QStringLiteral("click"), QStringLiteral("1")});
        QDeadlineTimer scadenza(2000);
        const int prima = aperture;
        while (aperture == prima && !scadenza.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    };
    clic();
    EXPECT_EQ(aperture, 1);
    form.inPrimoPiano = false;
    form.aggiorna();
    assestata(f);
    form.inPrimoPiano = true;
    form.aggiorna();
    assestata(f);
    clic();
    EXPECT_EQ(aperture, 2);
}

TEST_F(ProvaCollocazione, TheOtherWindowsTooHaveTheirFramesInPlace)
{
    CartellaProva cartella;
    MessaggiRegistrati messaggi;
    CatalogoEtichette catalogo;
    catalogo.PercorsoDB = cartella.percorso(QStringLiteral("ulka/vorpla/etich.DB"));
    catalogo.PercorsoTmp = cartella.percorso(QStringLiteral("ulka/vorpla/etich.tmp"));
    catalogo.caricaCatalogo();
    {
        FrmVorpla etichette(catalogo, {[] {}, [] {}, [] {}});
        etichette.show();
        SulloSchermo s = assestata(etichette);
        ASSERT_GT(s.cornice.top(), 0);
        EXPECT_EQ(s.angolo(), QPoint(0, 0)) << "label window";
    }
    {
        FormImpostazioni form{[] {}};
        FinestraImpostazioni impostazioni(form);
        impostazioni.show();
        SulloSchermo s = assestata(impostazioni);
        ASSERT_GT(s.cornice.top(), 0);
        EXPECT_EQ(s.angolo(), QPoint(0, 0)) << "settings dialog";
    }
    {
        FinestraMsg attesa;
        attesa.mostra();
        SulloSchermo s = assestata(attesa);
        ASSERT_GT(s.cornice.top(), 0);
        EXPECT_EQ(s.angolo(), QPoint(200, 200)) << "hand-over window";
    }
}
