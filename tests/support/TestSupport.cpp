#include "TestSupport.h"

#include "common/FileIni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <stdexcept>

namespace vorpla::prova {

CartellaProva::CartellaProva()
    : m_dir(std::make_unique<QTemporaryDir>())
{
    if (!m_dir->isValid())
        throw std::runtime_error("cannot create a temporary folder");
    QDir().mkpath(programma());
    QDir().mkpath(temp());
    m_avevaHome = qEnvironmentVariableIsSet("VORPLA_HOME");
    m_vecchioHome = qgetenv("VORPLA_HOME");
    qputenv("VORPLA_HOME", programma().toLocal8Bit());
}

CartellaProva::~CartellaProva()
{
    if (m_avevaHome)
        qputenv("VORPLA_HOME", m_vecchioHome);
    else
        qunsetenv("VORPLA_HOME");
}

QString CartellaProva::radice() const { return m_dir->path(); }
QString CartellaProva::programma() const { return m_dir->path() + QStringLiteral("/ulka/vorpla"); }
QString CartellaProva::temp() const { return m_dir->path() + QStringLiteral("/ulka/temp/"); }
QString CartellaProva::percorso(const QString &relativo) const { return m_dir->path() + u'/' + relativo; }

QString CartellaProva::scrivi(const QString &relativo, const QByteArray &contenuto) const
{
    const QString p = percorso(relativo);
    scriviFile(p, contenuto);
    return p;
}

QByteArray leggiFile(const QString &percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void scriviFile(const QString &percorso, const QByteArray &contenuto)
{
    QDir().mkpath(QFileInfo(percorso).absolutePath());
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + percorso.toStdString());
    f.write(contenuto);
    // The program reads each configuration file once: a test that writes
    // one again wants it read again.
    dimenticaFileIni(percorso);
}

QString controlloQpdf(const QString &pdf)
{
    const EsitoProcesso e = eseguiProcesso(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    return e.codice == 0 ? QString() : QStringLiteral("qpdf --check %1: exit %2\n%3%4").arg(pdf).arg(e.codice).arg(e.uscita, e.errori);
}

QList<ParolaLetta> paroleLette(const QString &pdf, int *pagine)
{
    const QString xml =
        eseguiProcesso(QStringLiteral("pdftotext"), {QStringLiteral("-bbox-layout"), pdf, QStringLiteral("-")}).uscita;
    QList<ParolaLetta> parole;
    int pagina = -1;
    static const QRegularExpression re(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = re.globalMatch(xml); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++pagina;
            continue;
        }
        parole << ParolaLetta{pagina, m.captured(5).replace(QStringLiteral("&amp;"), QStringLiteral("&")),
                              m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                              m.captured(4).toDouble()};
    }
    if (pagine)
        *pagine = pagina + 1;
    return parole;
}

QString spoolerDiProva()
{
    const QString server = qEnvironmentVariable("CUPS_SERVER");
    if (qEnvironmentVariable("VORPLA_CUPS_TEST") != QStringLiteral("1") || !server.endsWith(QStringLiteral("/cups.sock")))
        return {};
    return server;
}

EsitoProcesso eseguiProcesso(const QString &programma, const QStringList &argomenti,
                             const QProcessEnvironment &ambiente)
{
    QProcess p;
    p.setProcessEnvironment(ambiente);
    p.start(programma, argomenti);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    EsitoProcesso e;
    e.codice = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    e.uscita = QString::fromLocal8Bit(p.readAllStandardOutput());
    e.errori = QString::fromLocal8Bit(p.readAllStandardError());
    return e;
}

EsitoProcesso eseguiVorpla(const CartellaProva &cartella, const QStringList &argomenti,
                           const std::function<void(QProcessEnvironment &)> &ritocca)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VORPLA_HOME"), cartella.programma());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), cartella.percorso(QStringLiteral("dati")));
    if (ritocca)
        ritocca(env);
    return eseguiProcesso(QStringLiteral(VORPLA_EXE), argomenti, env);
}

} // namespace vorpla::prova
