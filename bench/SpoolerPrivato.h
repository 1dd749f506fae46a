#pragma once
// The private CUPS spooler a benchmark runs on (scripts/cups-test-server.sh)
// in a folder of its own: started on construction, stopped on destruction.

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

class SpoolerPrivato
{
public:
    // Starts the spooler in radice/cups; `argomenti` follow the folder
    // (the build's pdfprinter folder installs PDFCreator).
    explicit SpoolerPrivato(const QString &radice, const QStringList &argomenti = {})
        : m_cartella(radice + QStringLiteral("/cups"))
    {
        // A spooler run by root runs its filters as "lp": they must reach its folder.
        QFile::setPermissions(radice, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                          | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                          | QFileDevice::ExeOther);
        QProcess avvio;
        avvio.start(QStringLiteral("bash"), QStringList{script(), QStringLiteral("start"), m_cartella} + argomenti);
        avvio.waitForFinished(60000);
        m_avviato = avvio.exitStatus() == QProcess::NormalExit && avvio.exitCode() == 0;
        if (!m_avviato)
            m_errori = avvio.readAllStandardError();
    }
    ~SpoolerPrivato()
    {
        QProcess ferma;
        ferma.start(QStringLiteral("bash"), {script(), QStringLiteral("stop"), m_cartella});
        ferma.waitForFinished(60000);
    }

    bool avviato() const { return m_avviato; }
    const QByteArray &errori() const { return m_errori; }
    const QString &cartella() const { return m_cartella; }
    QString socket() const { return m_cartella + QStringLiteral("/cups.sock"); }

private:
    static QString script() { return QStringLiteral(VORPLA_SOURCE_DIR "/scripts/cups-test-server.sh"); }

    QString m_cartella;
    bool m_avviato = false;
    QByteArray m_errori;
};
