// Process search and termination on real processes: copies of /bin/sleep
// started under a terminal client's name. Searches that terminate use a name
// of the test's own, so they can only ever hit the test's children.

#include "maintenance/ProcessSession.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QUuid>

#include <gtest/gtest.h>

#include <memory>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vorpla;
using vorpla::prova::CartellaProva;

namespace {

// A token no other program's name holds, letters only.
QString unico()
{
    QString t;
    for (const QChar c : QUuid::createUuid().toString(QUuid::Id128))
        t += QChar(u'a' + c.unicode() % 26);
    return t.left(12);
}

// Children running a copy of sleep named `nome`; killed and reaped at the end.
class Figli
{
public:
    Figli(const CartellaProva &cartella, const QString &nome)
        : m_programma(cartella.percorso(QStringLiteral("bin/") + nome))
    {
        QDir().mkpath(cartella.percorso(QStringLiteral("bin")));
        EXPECT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), m_programma));
    }
    ~Figli()
    {
        for (auto &p : m_processi) {
            p->kill();
            p->waitForFinished(5000);
        }
    }

    QProcess &avvia()
    {
        m_processi.push_back(std::make_unique<QProcess>());
        QProcess &p = *m_processi.back();
        p.start(m_programma, {QStringLiteral("120")});
        EXPECT_TRUE(p.waitForStarted(5000)) << p.errorString().toStdString();
        return p;
    }

private:
    QString m_programma;
    std::vector<std::unique_ptr<QProcess>> m_processi;
};

bool inEsecuzione(QProcess &p)
{
    return !p.waitForFinished(300) && p.state() == QProcess::Running;
}

// Whether the test process has a single thread, so a child forked from it
// can run the search safely.
bool unSoloThread()
{
    return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size() == 1;
}

} // namespace

// A name contained in the program file's name, letter case ignored; names
// matching nothing; a process that has ended is no longer found. (The test
// programs are not called "...kelvoria.exe": a program start-up test running
// beside them would take them for the terminal client and update it.)
TEST(CercaProcesso, TrovaIlProgrammaPerNomeContenuto)
{
    CartellaProva c;
    const QString parte = unico();
    Figli figli(c, QStringLiteral("x") + parte + QStringLiteral("Kelvoriaprova.exe"));
    QProcess &figlio = figli.avvia();

    EXPECT_TRUE(CercaProcesso(QStringLiteral("kelvoriaprova.exe"), false));
    EXPECT_TRUE(CercaProcesso(QStringLiteral("KELVORIAPROVA.EXE"), false));
    EXPECT_TRUE(CercaProcesso(parte.toUpper() + QStringLiteral("kelvoriaprova.EXE"), false));
    EXPECT_FALSE(CercaProcesso(QStringLiteral("y") + parte + QStringLiteral("kelvoriaprova.exe"), false));
    EXPECT_FALSE(CercaProcesso(unico() + QStringLiteral(".exe"), false));
    // The program file counts, not the arguments.
    EXPECT_FALSE(CercaProcesso(parte + QStringLiteral("kelvoriaprova.exe 120"), false));
    // An empty name names no program.
    EXPECT_FALSE(CercaProcesso(QString(), false));
    EXPECT_TRUE(inEsecuzione(figlio));

    figlio.kill();
    ASSERT_TRUE(figlio.waitForFinished(5000));
    EXPECT_FALSE(CercaProcesso(parte + QStringLiteral("kelvoriaprova.exe"), false));
}

// With the flag the first match in ascending id order is terminated, the
// answer is false, and the other match keeps running.
TEST(CercaProcesso, TerminaSoloIlPrimo)
{
    CartellaProva c;
    const QString parte = unico();
    Figli figli(c, QStringLiteral("x") + parte + QStringLiteral("Kelvoriaprova.exe"));
    QProcess *uno = &figli.avvia();
    QProcess *due = &figli.avvia();
    if (due->processId() < uno->processId())
        std::swap(uno, due);
    const QString nome = parte + QStringLiteral("kelvoriaprova.exe");

    EXPECT_FALSE(CercaProcesso(nome, true));
    ASSERT_TRUE(uno->waitForFinished(5000));
    EXPECT_EQ(uno->exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(inEsecuzione(*due));
    EXPECT_TRUE(CercaProcesso(nome, false));

    EXPECT_FALSE(CercaProcesso(nome, true));
    ASSERT_TRUE(due->waitForFinished(5000));
    EXPECT_FALSE(CercaProcesso(nome, false));
    // Nothing left to terminate.
    EXPECT_FALSE(CercaProcesso(nome, true));
}

TEST(TerminaProcesso, TerminaIlProcessoIndicato)
{
    CartellaProva c;
    Figli figli(c, unico() + QStringLiteral(".exe"));
    QProcess &primo = figli.avvia();
    QProcess &secondo = figli.avvia();

    TerminaProcesso(secondo.processId());
    ASSERT_TRUE(secondo.waitForFinished(5000));
    EXPECT_EQ(secondo.exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(inEsecuzione(primo));
}

// 0 and negative ids name process groups (and -1 every process) to the
// signal call; they must never reach it. Run in a child that leads its own
// process group, so a fault would only kill that child.
TEST(TerminaProcesso, IdentificatoriDiGruppoIgnorati)
{
    if (!unSoloThread())
        GTEST_SKIP() << "the test process has threads: a forked child could not run safely";
    const pid_t figlio = ::fork();
    ASSERT_GE(figlio, 0);
    if (figlio == 0) {
        ::setpgid(0, 0);
        TerminaProcesso(0);
        TerminaProcesso(-qint64(::getpid()));
        ::_exit(0);
    }
    int stato = 0;
    ASSERT_EQ(::waitpid(figlio, &stato, 0), figlio);
    EXPECT_TRUE(WIFEXITED(stato)) << "the child was killed by signal " << WTERMSIG(stato);
}

// A process of another user whose program file cannot be read is neither
// reported nor terminated: the search runs as "nobody" against a child of
// root.
TEST(CercaProcesso, ProcessiDiAltriUtentiMaiTrovati)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run the search as another user";
    if (!unSoloThread())
        GTEST_SKIP() << "the test process has threads: a forked child could not run safely";
    CartellaProva c;
    const QString parte = unico();
    Figli figli(c, QStringLiteral("x") + parte + QStringLiteral("Kelvoriaprova.exe"));
    QProcess &diRoot = figli.avvia();
    const QString nome = parte + QStringLiteral("kelvoriaprova.exe");
    ASSERT_TRUE(CercaProcesso(nome, false));

    const pid_t figlio = ::fork();
    ASSERT_GE(figlio, 0);
    if (figlio == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        const bool trovato = CercaProcesso(nome, false);
        const bool risposta = CercaProcesso(nome, true);
        ::_exit(trovato ? 1 : risposta ? 2 : 0);
    }
    int stato = 0;
    ASSERT_EQ(::waitpid(figlio, &stato, 0), figlio);
    ASSERT_TRUE(WIFEXITED(stato));
    EXPECT_EQ(WEXITSTATUS(stato), 0) << "1: reported, 2: answered true, 3: could not become nobody";
    EXPECT_TRUE(inEsecuzione(diRoot));
}
