// The hand-over in real processes: vorpla on the test command's X server
// (Xvfb), and the client's side played with xclip on the same display, as a
// program of the client would read and answer the session's clipboard.

#include "terminal/Versione.h"

#include "ProvaTerminale.h"
#include "TestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QtEndian>

#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

QString schermoDiProva()
{
    return qEnvironmentVariable("VORPLA_X_TEST") == QLatin1String("1") ? qEnvironmentVariable("VORPLA_X_DISPLAY")
                                                                        : QString();
}
constexpr const char *SenzaSchermo = "No test X server: these tests need the Xvfb of scripts/schermo-di-prova.sh "
                                     "(bash scripts/test.sh starts it; by hand: Xvfb :5 & then export "
                                     "VORPLA_X_DISPLAY=:5 VORPLA_X_TEST=1).";

template<typename F>
bool entro(int ms, F &&condizione)
{
    QDeadlineTimer scadenza(ms);
    while (!scadenza.hasExpired()) {
        if (condizione())
            return true;
        QThread::msleep(50);
    }
    return condizione();
}

// The client's side of the session's clipboard.
class ClientX11
{
public:
    explicit ClientX11(const QString &schermo)
    {
        m_ambiente = QProcessEnvironment::systemEnvironment();
        m_ambiente.insert(QStringLiteral("DISPLAY"), schermo);
    }
    ~ClientX11()
    {
        for (auto &p : m_proprietari) {
            p->kill();
            p->waitForFinished(2000);
        }
    }
    QByteArray leggi(const QString &obiettivo = QStringLiteral("UTF8_STRING"))
    {
        QProcess p;
        p.setProcessEnvironment(m_ambiente);
        p.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
                                          obiettivo, QStringLiteral("-o")});
        p.waitForFinished(10000);
        return p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
    }
    QStringList obiettivi() { return QString::fromLatin1(leggi(QStringLiteral("TARGETS"))).split(u'\n', Qt::SkipEmptyParts); }
    // Takes the clipboard with a text (xclip serves it while it owns it).
    void scrivi(const QByteArray &testo)
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(m_ambiente);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-i"),
                                           QStringLiteral("-quiet")});
        // Nothing runs this program's event loop: the text is written out
        // before the channel closes.
        p->waitForStarted();
        p->write(testo);
        p->waitForBytesWritten();
        p->closeWriteChannel();
        // With -quiet xclip says (on standard error) when it owns the
        // clipboard (reading it back could miss a text vorpla takes away at
        // its next look).
        QByteArray detto;
        while (!detto.contains("Waiting for selection request") && p->waitForReadyRead(5000))
            detto += p->readAllStandardOutput();
        EXPECT_TRUE(detto.contains("Waiting for selection request")) << "xclip did not take the clipboard";
        m_proprietari.push_back(std::move(p));
    }

private:
    QProcessEnvironment m_ambiente;
    std::vector<std::unique_ptr<QProcess>> m_proprietari;
};

class ProvaConsegna : public ::testing::Test
{
protected:
    void SetUp() override
    {
        schermo = schermoDiProva();
        if (schermo.isEmpty())
            GTEST_SKIP() << SenzaSchermo;
        client = std::make_unique<ClientX11>(schermo);
        // The companion program says it was started.
        const QString compagno = cartella.scrivi(QStringLiteral("ulka/vorpla/trevasunko.EXE"),
                                                 "#!/bin/sh\ntouch \"" + cartella.percorso(QStringLiteral("compagno"))
                                                     .toUtf8() + "\"\n");
        QFile::setPermissions(compagno, QFile::permissions(compagno) | QFileDevice::ExeOwner);
        cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"), "[FATTURE]\r\nMARGINESUP=1\r\n");
    }
    void TearDown() override
    {
        if (vorpla && vorpla->state() != QProcess::NotRunning) {
            vorpla->kill();
            vorpla->waitForFinished(5000);
        }
    }

    QString lavoroDi(const QByteArray &contenuto)
    {
        return file = cartella.scrivi(QStringLiteral("ulka/FATT01.txt"), contenuto);
    }
    // The exchange 25 times quicker than at an agency (looks 20 ms apart,
    // the pauses in proportion), unless the test says otherwise.
    void avvia(const QString &passo = QStringLiteral("20"))
    {
        vorpla = std::make_unique<QProcess>();
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert(QStringLiteral("DISPLAY"), schermo);
        ambiente.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        ambiente.insert(QStringLiteral("VORPLA_HOME"), cartella.programma());
        ambiente.insert(QStringLiteral("XDG_RUNTIME_DIR"), cartella.radice());
        ambiente.insert(QStringLiteral("VORPLA_ATTESA_APPUNTI_MS"), passo);
        vorpla->setProcessEnvironment(ambiente);
        vorpla->setWorkingDirectory(cartella.radice());
        vorpla->start(QStringLiteral(VORPLA_EXE), {file});
        ASSERT_TRUE(vorpla->waitForStarted());
    }
    // The program's end within `ms`: its exit status, -1 when still running.
    int fine(int ms)
    {
        if (!vorpla->waitForFinished(ms))
            return -1;
        return vorpla->exitStatus() == QProcess::NormalExit ? vorpla->exitCode() : -2;
    }
    QString errori() { return QString::fromLocal8Bit(vorpla->readAllStandardError()); }
    bool esiste(const QString &relativo) { return QFileInfo::exists(cartella.percorso(relativo)); }

    CartellaProva cartella;
    QString schermo;
    QString file;
    std::unique_ptr<ClientX11> client;
    std::unique_ptr<QProcess> vorpla;
};

} // namespace

TEST_F(ProvaConsegna, ZippedJobPrintedOnTheClient)
{
    lavoroDi("  @ULKA=LOCALE \r\n@TIPS FATTURA   \r\n   @TITO Fattura n. 7  \r\n@PAGE\r\n");
    avvia();
    ASSERT_TRUE(entro(15000, [&] { return client->obiettivi().contains(QStringLiteral("KV_ZIP")); })) << errori().toStdString();

    // The block: 17, the payload's length, then 0, the archive, 0.
    const QByteArray blocco = client->leggi(QStringLiteral("KV_ZIP"));
    ASSERT_GE(blocco.size(), 8);
    EXPECT_EQ(qFromLittleEndian<quint16>(blocco.constData()), 17);
    EXPECT_EQ(qFromLittleEndian<quint32>(blocco.constData() + 2), quint32(blocco.size() - 6));
    EXPECT_EQ(blocco.at(6), '\0');
    EXPECT_EQ(blocco.back(), '\0');
    const QString archivio = cartella.scrivi(QStringLiteral("client/ricevuto.zip"), archivioDelBlocco(blocco));
    const QStringList voci = vociArchivio(archivio);
    ASSERT_EQ(voci.size(), 1) << voci.join(u' ').toStdString();
    EXPECT_EQ(uscitaDi(QStringLiteral("unzip"), {QStringLiteral("-p"), archivio, voci.at(0)}),
              "@ULKA=VORPLA\r\n@VERSIONE=" + versioneProgramma().toLatin1()
                  + "\r\n@TIPS FATTURA\r\n   @TITO Fattura n. 7\r\n@PAGE\r\n");
    EXPECT_TRUE(esiste(QStringLiteral("compagno")));

    // Printed: the acknowledgement is there to read, then the job's files go.
    client->scrivi("@ULKA=VORPLATO");
    EXPECT_TRUE(entro(15000, [&] { return client->leggi() == "@ULKA=REGISTRA"; }));
    EXPECT_EQ(fine(500), -1) << "the program must wait while the client has not read the word";
    client->scrivi("next job");
    EXPECT_EQ(fine(10000), 0) << errori().toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_FALSE(esiste(QStringLiteral("ulka/temp/FATT01.tmp")));
    EXPECT_FALSE(esiste(QStringLiteral("ulka/temp/FATT01.cmp")));
}

TEST_F(ProvaConsegna, CancelEndsAtOnce)
{
    lavoroDi("@ULKA=LOCALE\r\n@TIPS FATTURA\r\n");
    avvia();
    ASSERT_TRUE(entro(15000, [&] { return client->obiettivi().contains(QStringLiteral("KV_ZIP")); })) << errori().toStdString();
    client->scrivi("@ULKA=ANNULLAT");
    EXPECT_EQ(fine(3000), 0) << errori().toStdString();
    // Ended without the clean-up.
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_TRUE(esiste(QStringLiteral("ulka/temp/FATT01.cmp")));
}

TEST_F(ProvaConsegna, PlainTextWithTheVersionAsSecondLine)
{
    // The host's letters (0x85 "à", 0x8A "è", 0x95 "ò", 0x97 "ù", 0x80 "‡")
    // reach the client as the page prints them.
    lavoroDi("@ULKA=LOCALENC  \r\n@TIPS FATTURA\r\n@TEXT ask @ULKA=? here \r\n@TXTn CITT\x85 \x8A\x95\x97\x80\r\n");
    avvia();
    QByteArray testo;
    ASSERT_TRUE(entro(15000, [&] {
        testo = client->leggi();
        return testo.startsWith("@ULKA=LOCALENC");
    })) << errori().toStdString();
    EXPECT_EQ(testo, "@ULKA=LOCALENC\r\n@VERSIONE=" + versioneProgramma().toLatin1()
                         + "\r\n@TIPS FATTURA\r\n@TEXT ask @ULKA=LOCALENC here \r\n@TXTn " + QStringLiteral("CITTà èòù‡").toUtf8()
                         + "\r\n");
    client->scrivi("@ULKA=VORPLATO");
    EXPECT_TRUE(entro(15000, [&] { return client->leggi() == "@ULKA=REGISTRA"; }));
    client->scrivi("next job");
    EXPECT_EQ(fine(10000), 0) << errori().toStdString();
    // Plain text leaves the print file to the one who wrote it.
    EXPECT_TRUE(QFileInfo::exists(file));
}

TEST_F(ProvaConsegna, NoAnswerEndsAfterTheAttemptLimit)
{
    lavoroDi("@ULKA=LOCALE\r\n@TIPS FATTURA\r\n");
    // 150 looks 10 ms apart instead of 500.
    avvia(QStringLiteral("10"));
    ASSERT_TRUE(entro(15000, [&] { return client->obiettivi().contains(QStringLiteral("KV_ZIP")); })) << errori().toStdString();
    EXPECT_EQ(fine(20000), 1) << errori().toStdString();
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_TRUE(esiste(QStringLiteral("ulka/temp/FATT01.cmp")));
}

TEST_F(ProvaConsegna, OutOfDateClientReceivesTheProgramAndItsFonts)
{
    cartella.scrivi(QStringLiteral("ulka/vorpla/NetTerm.ttf"), "a font");
    lavoroDi("@ULKA=LOCALE\r\n@TIPS FATTURA\r\n");
    avvia();
    ASSERT_TRUE(entro(15000, [&] { return client->obiettivi().contains(QStringLiteral("KV_ZIP")); })) << errori().toStdString();
    const QByteArray primo = client->leggi(QStringLiteral("KV_ZIP"));
    client->scrivi("@ULKA=AGGIORNA");

    // The program's copy, megabytes, arrives as the next block; the watch
    // goes on meanwhile.
    QByteArray blocco;
    ASSERT_TRUE(entro(60000, [&] {
        if (!client->obiettivi().contains(QStringLiteral("KV_ZIP")))
            return false;
        blocco = client->leggi(QStringLiteral("KV_ZIP"));
        return blocco != primo && blocco.size() > 1000000;
    })) << errori().toStdString();
    EXPECT_EQ(qFromLittleEndian<quint32>(blocco.constData() + 2), quint32(blocco.size() - 6));
    const QString archivio = cartella.scrivi(QStringLiteral("client/aggiornamento.zip"), archivioDelBlocco(blocco));
    QStringList nomi;
    for (const QString &voce : vociArchivio(archivio))
        nomi << voce.section(u'/', -1);
    EXPECT_EQ(nomi, (QStringList{QStringLiteral("NetTerm.ttf"), QStringLiteral("vorplaAGG.exe")}));
    const QStringList voci = vociArchivio(archivio);
    const QString voceProgramma = voci.filter(QStringLiteral("vorplaAGG.exe")).value(0);
    EXPECT_EQ(uscitaDi(QStringLiteral("unzip"), {QStringLiteral("-p"), archivio, voceProgramma}),
              leggiFile(QStringLiteral(VORPLA_EXE)));
    EXPECT_EQ(fine(0), -1);
    client->scrivi("@ULKA=ANNULLAT");
    EXPECT_EQ(fine(5000), 0) << errori().toStdString();
}

TEST(ConsegnaTerminale, LowerCaseFirstLinePrintsHere)
{
    CartellaProva cartella;
    const QString file = cartella.scrivi(QStringLiteral("ulka/FATT01.txt"), "@ulka=locale\r\n@TIPS FATTURA\r\n");
    const EsitoProcesso esito = eseguiVorpla(cartella, {file});
    EXPECT_EQ(esito.codice, 0) << esito.errori.toStdString();
    EXPECT_TRUE(esito.uscita.contains(QStringLiteral("start-up complete"))) << esito.uscita.toStdString();
    EXPECT_FALSE(QFileInfo::exists(cartella.temp() + QStringLiteral("FATT01.cmp")));
    EXPECT_TRUE(QFileInfo::exists(file));
}
