// The program as the user drives it: vorpla itself on the test X server with
// its window manager, the keys typed through the X server (xdotool), as a
// keyboard sends them, and what came of it read where it lands: the test
// SMTP server, the test spooler, vorpla.ini. The faults these catch lived
// between a widget and the form state, where no test of the form alone
// looks.
//
// No desktop application ever opens: the opener and the mail client's
// compose window (xdg-open, xdg-email) are, for vorpla, programs that find
// nothing to open with, as on a desktop with no PDF viewer installed.

#include "TestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QUuid>
#include <cups/cups.h>
#include <gtest/gtest.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

QString schermo()
{
    return qEnvironmentVariable("VORPLA_X_TEST") == QLatin1String("1") ? qEnvironmentVariable("VORPLA_X_DISPLAY")
                                                                        : QString();
}

template<typename F>
bool entro(int ms, F &&condizione)
{
    QDeadlineTimer scadenza(ms);
    while (!scadenza.hasExpired()) {
        if (condizione())
            return true;
        QThread::msleep(100);
    }
    return condizione();
}

// The CUPS jobs of one queue whose title is the given one.
int lavoriConTitolo(const char *coda, const QString &titolo)
{
    cups_job_t *jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, coda, 0, CUPS_WHICHJOBS_ALL);
    int trovati = 0;
    for (int i = 0; i < n; ++i)
        trovati += QString::fromUtf8(jobs[i].title) == titolo;
    cupsFreeJobs(n, jobs);
    return trovati;
}

// The subjects of the messages the test SMTP server took for a recipient.
QStringList oggettiRicevuti(const QString &destinatario)
{
    QStringList oggetti;
    const QDir cartella(qEnvironmentVariable("VORPLA_SMTP_CARTELLA"));
    for (const QString &json : cartella.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile busta(cartella.filePath(json));
        if (!busta.open(QIODevice::ReadOnly))
            continue;
        const QJsonArray a = QJsonDocument::fromJson(busta.readAll()).object().value(QStringLiteral("rcpt_tos")).toArray();
        if (!a.contains(QJsonValue(destinatario)))
            continue;
        QFile eml(cartella.filePath(json.chopped(5) + QStringLiteral(".eml")));
        if (!eml.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &riga : eml.readAll().split('\n'))
            if (riga.startsWith("Subject: "))
                oggetti << QString::fromUtf8(riga.mid(9).trimmed());
    }
    return oggetti;
}

class ProvaUtente : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (schermo().isEmpty())
            GTEST_SKIP() << "No test X server with a window manager: these tests need the Xvfb and openbox of "
                            "scripts/schermo-di-prova.sh (bash scripts/test.sh starts them).";
        if (spoolerDiProva().isEmpty())
            GTEST_SKIP() << SenzaSpoolerDiProva;
        nome = QStringLiteral("U") + QUuid::createUuid().toString(QUuid::Id128).left(7).toUpper();
        // Nothing for vorpla to open a PDF or a message with.
        for (const char *programma : {"xdg-open", "xdg-email"}) {
            const QString f = cartella.scrivi(QStringLiteral("bin/") + QLatin1String(programma),
                                              "#!/bin/sh\necho \"$0: no method available for opening '$1'\" >&2\nexit 3\n");
            QFile::setPermissions(f, QFile::permissions(f) | QFileDevice::ExeOwner);
        }
    }
    void TearDown() override
    {
        if (vorpla.state() != QProcess::NotRunning) {
            vorpla.kill();
            vorpla.waitForFinished(5000);
        }
    }

    void ini(const QByteArray &contenuto) { cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"), contenuto); }
    QString fileStampa() const { return cartella.percorso(QStringLiteral("job/") + nome + QStringLiteral(".txt")); }

    // vorpla on the print file, as Ulka starts it, on the test screen; true
    // once its main window (or the window of that title) is on it.
    bool avvia(const QByteArray &righe, const QString &finestra = QStringLiteral("^Vorpla Ulka"))
    {
        cartella.scrivi(QStringLiteral("job/") + nome + QStringLiteral(".txt"), righe);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), schermo());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("VORPLA_HOME"), cartella.programma());
        env.insert(QStringLiteral("HOME"), cartella.radice());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), cartella.percorso(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), cartella.percorso(QStringLiteral("dati")));
        env.insert(QStringLiteral("PATH"), cartella.percorso(QStringLiteral("bin")) + u':' + env.value(QStringLiteral("PATH")));
        env.remove(QStringLiteral("VISUAL"));
        env.remove(QStringLiteral("EDITOR"));
        vorpla.setProcessEnvironment(env);
        vorpla.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        vorpla.start(QStringLiteral(VORPLA_EXE), {fileStampa()});
        return !attendiFinestra(finestra).isEmpty();
    }

    QString xdotool(const QStringList &argomenti)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), schermo());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("xdotool"), argomenti);
        p.waitForFinished(5000);
        return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
    }

    // vorpla's shown window whose title matches, "" when none came in time.
    // The titles come from the window tree (xdotool's own name match also
    // looks at the window's class, "vorpla").
    QString attendiFinestra(const QString &titolo, int ms = 5000)
    {
        const QRegularExpression cercato(titolo);
        static const QRegularExpression riga(QStringLiteral("^\\s*(0x[0-9a-f]+) \"(.*)\": \\(\"vorpla\""));
        QString trovata;
        entro(ms, [&] {
            const QStringList mostrate =
                xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                         QString::number(vorpla.processId()), QStringLiteral("--name"), QStringLiteral(".")})
                    .split(u'\n', Qt::SkipEmptyParts);
            for (const QString &r : albero().split(u'\n')) {
                const QRegularExpressionMatch m = riga.match(r);
                const QString id = QString::number(m.captured(1).toULongLong(nullptr, 16));
                if (m.hasMatch() && mostrate.contains(id) && cercato.match(m.captured(2)).hasMatch())
                    trovata = id;
            }
            return !trovata.isEmpty();
        });
        return trovata;
    }
    QString albero()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), schermo());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
        p.waitForFinished(5000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    // Keys pressed on that window, as the keyboard does ("alt+c", "Escape").
    void tasti(const QString &finestra, const QStringList &tasti)
    {
        xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), finestra});
        QThread::msleep(150);
        for (const QString &t : tasti) {
            xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), t});
            QThread::msleep(150);
        }
    }
    void scrivi(const QString &finestra, const QString &testo)
    {
        xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), finestra});
        xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("50"), testo});
        QThread::msleep(150);
    }

    // vorpla's exit status once it ended, -1 while it still runs.
    int finito(int ms = 5000)
    {
        if (!vorpla.waitForFinished(ms))
            return -1;
        return vorpla.exitStatus() == QProcess::NormalExit ? vorpla.exitCode() : -2;
    }

    CartellaProva cartella;
    QString nome;
    QProcess vorpla;
};

} // namespace

// "Invia con SMTP" ticked from the keyboard (its Alt+C) and the e-mail
// button (Alt+M): the message reaches the SMTP server, the job ends.
TEST_F(ProvaUtente, TheSmtpTickTheUserSetSendsThroughTheSmtpServer)
{
    if (qEnvironmentVariable("VORPLA_SMTP_TEST") != QLatin1String("1"))
        GTEST_SKIP() << "No test SMTP server (scripts/posta-di-prova.sh).";
    const QString a = QStringLiteral("spunta-%1@esempio.it").arg(nome.toLower());
    ini("[MAIL]\r\nINDIRIZZO=agenzia@vorpla.prova\r\nSMTP=127.0.0.1\r\nPORTA=" + qgetenv("VORPLA_SMTP_PORTA")
        + "\r\n[Testo mail IT]\r\nNASCONDI_TESTO_PDF=1\r\n1=Gentile cliente,\r\n");
    ASSERT_TRUE(avvia("@EMAI " + a.toUtf8() + "\r\n@INTE\r\n@INT1 AGENZIA VIAGGI\r\n@TITO FATTURA " + nome.toUtf8()
                      + "\r\n@TEXT\r\n@TXTn Totale 100 euro\r\n@PAGE\r\n"));
    tasti(attendiFinestra(QStringLiteral("^Vorpla Ulka")), {QStringLiteral("alt+c"), QStringLiteral("alt+m")});
    EXPECT_EQ(finito(), 0) << "the job did not end: the mail went another way";
    EXPECT_EQ(oggettiRicevuti(a), QStringList{QStringLiteral("FATTURA ") + nome});
}

// Esc on an open list closes the list; the job goes on, and Esc is the
// exit again once the list is closed.
TEST_F(ProvaUtente, EscClosesAnOpenListNotTheJob)
{
    ini("");
    ASSERT_TRUE(avvia("@TITO FATTURA\r\n@PAGE\r\n"));
    const QString principale = attendiFinestra(QStringLiteral("^Vorpla Ulka"));
    // The printer list has the focus first; Alt+Down opens it.
    tasti(principale, {QStringLiteral("alt+Down"), QStringLiteral("Escape")});
    EXPECT_EQ(finito(1000), -1) << "Esc on the open printer list ended the job";
    EXPECT_EQ(attendiFinestra(QStringLiteral("^Vorpla Ulka"), 100), principale);
    tasti(principale, {QStringLiteral("Escape")});
    EXPECT_EQ(finito(), 0);
    vorpla.waitForFinished();

    // The same on the label window's format list.
    cartella.scrivi(QStringLiteral("ulka/vorpla/etich.DB"),
                    QByteArray("A4 tre colonne      ").append(QByteArray::fromHex("d2000000290100001900000046000000"
                                                                                  "22000000")));
    ASSERT_TRUE(avvia("@LARG ETIC\r\n@PERC\r\n@ETTI\r\n@PAGE\r\n", QStringLiteral("^Vorpla ULKA$")));
    const QString etichette = attendiFinestra(QStringLiteral("^Vorpla ULKA$"));
    tasti(etichette, {QStringLiteral("alt+Down"), QStringLiteral("Escape")});
    EXPECT_EQ(finito(1000), -1) << "Esc on the open format list ended the job";
    tasti(etichette, {QStringLiteral("Escape")});
    EXPECT_EQ(finito(), 0) << "Esc is the label window's Annulla";
}

// After "Numero di copie errato!" the focus is back in the copies box with
// its text selected: what is typed next corrects it, and the job prints
// the copies typed.
TEST_F(ProvaUtente, AfterWrongCopiesTheTypingGoesIntoTheCopiesBox)
{
    ini("");
    ASSERT_TRUE(avvia("@COPI 01\r\n@TITO FATTURA\r\n@PAGE\r\n"));
    const QString principale = attendiFinestra(QStringLiteral("^Vorpla Ulka"));
    // From the printer list to the copies box; Tab selects its text.
    tasti(principale, {QStringLiteral("Tab")});
    scrivi(principale, QStringLiteral("x2"));
    tasti(principale, {QStringLiteral("alt+v")});
    const QString messaggio = attendiFinestra(QStringLiteral("^Vorpla$"));
    ASSERT_FALSE(messaggio.isEmpty()) << "no \"Numero di copie errato!\"";
    tasti(messaggio, {QStringLiteral("Return")});
    ASSERT_TRUE(entro(3000, [&] { return attendiFinestra(QStringLiteral("^Vorpla$"), 0).isEmpty(); }));
    scrivi(principale, QStringLiteral("2"));
    tasti(principale, {QStringLiteral("alt+v")});
    EXPECT_EQ(finito(), 0) << "the typing went elsewhere: the copies box kept \"x2\"";
    EXPECT_TRUE(entro(5000, [&] { return lavoriConTitolo("Office", nome + QStringLiteral(".txt")) == 2; }))
        << lavoriConTitolo("Office", nome + QStringLiteral(".txt")) << " copies printed";
}

// With no PDF viewer on the desktop the preview opens the program's own
// preview window, in front of the main window; its print button prints the
// job on the spooler, and the job ends.
TEST_F(ProvaUtente, ThePreviewWindowsPrintButtonPrintsTheJob)
{
    ini("");
    ASSERT_TRUE(avvia("@RIGA FATTURA " + nome.toUtf8() + "\r\n@PAGE\r\n"));
    const QString principale = attendiFinestra(QStringLiteral("^Vorpla Ulka"));
    tasti(principale, {QStringLiteral("alt+a")});
    const QString anteprima = attendiFinestra(QStringLiteral("^ULKA - Anteprima di vorpla$"), 8000);
    ASSERT_FALSE(anteprima.isEmpty()) << "no preview at all";
    // In front: the main window no longer on top of it.
    QProcess xprop;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), schermo());
    xprop.setProcessEnvironment(env);
    EXPECT_TRUE(entro(2000, [&] {
        xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), principale, QStringLiteral("_NET_WM_STATE")});
        xprop.waitForFinished(5000);
        return !xprop.readAllStandardOutput().contains("_NET_WM_STATE_ABOVE");
    })) << "the main window covers the preview";
    tasti(anteprima, {QStringLiteral("alt+v")});
    EXPECT_EQ(finito(), 0) << "the preview's print button printed nothing";
    EXPECT_TRUE(entro(5000, [&] { return lavoriConTitolo("Office", nome + QStringLiteral(".txt")) == 1; }));
}

// "abc" in "Alt. pagina" is refused with the message naming the box, the
// box keeps the focus with its text selected for the correction, and only
// the corrected value reaches vorpla.ini.
TEST_F(ProvaUtente, TheSettingsDialogRefusesAValueThatIsNoNumber)
{
    ini("[Pagina voucher]\r\nLarghezza=21\r\n");
    ASSERT_TRUE(avvia("@TITO FATTURA\r\n@PAGE\r\n"));
    tasti(attendiFinestra(QStringLiteral("^Vorpla Ulka")), {QStringLiteral("alt+p")});
    const QString dialogo = attendiFinestra(QStringLiteral("^Impostazioni $"));
    ASSERT_FALSE(dialogo.isEmpty());
    // "Larg. pagina" has the focus; Tab to "Alt. pagina".
    tasti(dialogo, {QStringLiteral("Tab")});
    scrivi(dialogo, QStringLiteral("abc"));
    tasti(dialogo, {QStringLiteral("Return")});
    const QString messaggio = attendiFinestra(QStringLiteral("^Vorpla$"));
    ASSERT_FALSE(messaggio.isEmpty()) << "\"abc\" was taken";
    tasti(messaggio, {QStringLiteral("Return")});
    ASSERT_TRUE(entro(3000, [&] { return attendiFinestra(QStringLiteral("^Vorpla$"), 0).isEmpty(); }));
    EXPECT_EQ(attendiFinestra(QStringLiteral("^Impostazioni $"), 100), dialogo) << "the dialog closed";
    EXPECT_FALSE(leggiFile(cartella.programma() + QStringLiteral("/vorpla.ini")).contains("abc"));
    scrivi(dialogo, QStringLiteral("30"));
    tasti(dialogo, {QStringLiteral("Return")});
    EXPECT_TRUE(entro(3000, [&] { return attendiFinestra(QStringLiteral("^Impostazioni $"), 0).isEmpty(); }));
    EXPECT_TRUE(leggiFile(cartella.programma() + QStringLiteral("/vorpla.ini")).contains("Altezza=30\r\n"))
        << leggiFile(cartella.programma() + QStringLiteral("/vorpla.ini")).toStdString();
    tasti(attendiFinestra(QStringLiteral("^Vorpla Ulka")), {QStringLiteral("Escape")});
    EXPECT_EQ(finito(), 0);
}
