#include "ProvaPosta.h"

#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QUrl>
#include <QUrlQuery>

namespace vorpla::prova {

ProvaPosta::ProvaPosta()
{
    azzeraLavoro();
    m_avevaConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    m_config = qgetenv("XDG_CONFIG_HOME");
    m_avevaDati = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    m_dati = qgetenv("XDG_DATA_HOME");
    const QString config = cartella.percorso(QStringLiteral("config")), dati = cartella.percorso(QStringLiteral("dati"));
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    qputenv("XDG_DATA_HOME", dati.toLocal8Bit());
    // The real sendmail (msmtp) relays to the test server.
    cartella.scrivi(QStringLiteral("config/msmtp/config"),
                    "defaults\nauth off\ntls off\naccount default\nhost 127.0.0.1\nport "
                        + QByteArray::number(portaPosta()) + "\nfrom agenzia@vorpla.prova\n");
    QFile::setPermissions(config + QStringLiteral("/msmtp/config"), QFile::ReadOwner | QFile::WriteOwner);
    // The mailto handler: a program that writes down the URL it is given.
    m_registro = cartella.percorso(QStringLiteral("client.log"));
    const QString client = cartella.scrivi(QStringLiteral("client-posta"),
                                           "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + m_registro.toLocal8Bit() + "'\n");
    QFile::setPermissions(client, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    cartella.scrivi(QStringLiteral("dati/applications/vorpla-client-prova.desktop"),
                    "[Desktop Entry]\nType=Application\nName=Client di prova\nExec=" + client.toLocal8Bit()
                        + " %u\nMimeType=x-scheme-handler/mailto;\n");
    cartella.scrivi(QStringLiteral("config/mimeapps.list"),
                    "[Default Applications]\nx-scheme-handler/mailto=vorpla-client-prova.desktop\n");
    // xdg-open hands a URL to the desktop's handler only in a graphical
    // session; the recording client needs no display, so the test says it
    // is in one.
    if (!qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY")) {
        qputenv("WAYLAND_DISPLAY", "vorpla-prova");
        m_sessioneFinta = true;
    }
}

ProvaPosta::~ProvaPosta()
{
    if (m_sessioneFinta)
        qunsetenv("WAYLAND_DISPLAY");
    if (m_avevaConfig)
        qputenv("XDG_CONFIG_HOME", m_config);
    else
        qunsetenv("XDG_CONFIG_HOME");
    if (m_avevaDati)
        qputenv("XDG_DATA_HOME", m_dati);
    else
        qunsetenv("XDG_DATA_HOME");
}

void ProvaPosta::SetUp()
{
    if (cartellaPosta().isEmpty())
        GTEST_SKIP() << SenzaServerPosta;
}

QString ProvaPosta::lavoroConPdf(const QByteArray &righe, const QString &testoPdf, const QString &nome)
{
    const QString file = cartella.scrivi(QStringLiteral("job/") + nome + QStringLiteral(".txt"), righe);
    lavoro().FileIngresso = file;
    scriviPdf(cartella.temp() + nome + QStringLiteral(".PDF"), testoPdf);
    return file;
}

void ProvaPosta::scriviPdf(const QString &percorso, const QString &testo)
{
    QPdfWriter pdf(percorso);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    QPainter p(&pdf);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(14);
    p.setFont(f);
    p.drawText(QPointF(500, 1000), testo);
}

QList<ProvaPosta::Composizione> ProvaPosta::composizioni() const
{
    QList<Composizione> r;
    QFile f(m_registro);
    if (!f.open(QIODevice::ReadOnly))
        return r;
    for (const QByteArray &riga : f.readAll().split('\n')) {
        if (riga.isEmpty())
            continue;
        const QUrl url(QString::fromUtf8(riga));
        Composizione c;
        for (const QString &d : url.path().split(u',', Qt::SkipEmptyParts))
            c.destinatari << QUrl::fromPercentEncoding(d.toUtf8());
        const QUrlQuery q(url);
        for (const auto &[chiave, valore] : q.queryItems(QUrl::FullyDecoded)) {
            if (chiave == QLatin1String("subject"))
                c.oggetto = valore;
            else if (chiave == QLatin1String("body"))
                c.testo = valore;
            else if (chiave == QLatin1String("attach"))
                c.allegati << valore;
            else if (chiave == QLatin1String("to"))
                c.destinatari << valore;
        }
        r << c;
    }
    return r;
}

} // namespace vorpla::prova
