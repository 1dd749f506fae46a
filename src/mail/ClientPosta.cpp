#include "ClientPosta.h"

#include "MessaggioMail.h"

#include "common/ErroreVB.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

namespace vorpla {

namespace {

// How long the local mail transfer agent may take to take a message.
constexpr int AttesaSendmailMs = 300000;

QString programmaSendmail()
{
    QString p = QStandardPaths::findExecutable(QStringLiteral("sendmail"));
    if (p.isEmpty())
        p = QStandardPaths::findExecutable(QStringLiteral("sendmail"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/lib")});
    return p.isEmpty() ? QStringLiteral("sendmail") : p;
}

// sysexits.h's EX_TEMPFAIL, which sendmail and its replacements return when
// the message could not be delivered or queued now.
constexpr int EsitoSendmailTemporaneo = 75;
// How much of a program's standard error a message quotes.
constexpr qsizetype DettagliMassimi = 200;

// The last line a program wrote on standard error (its verdict; the lines
// before it are its tries), cut to a length a message box shows.
QString ultimaRiga(const QString &errore)
{
    const QStringList righe = errore.split(u'\n', Qt::SkipEmptyParts);
    QString r = righe.isEmpty() ? QString() : righe.last().trimmed();
    if (r.size() > DettagliMassimi)
        r = r.left(DettagliMassimi) + QStringLiteral("…");
    return r;
}

QString dettagliDelProgramma(const QString &programma, const ClientPosta::Esito &esito)
{
    const QString riga = ultimaRiga(esito.errore);
    QString d = esito.codice < 0 ? programma : QStringLiteral("%1 (codice di uscita %2)").arg(programma).arg(esito.codice);
    return riga.isEmpty() ? d : d + QStringLiteral(": ") + riga;
}

ErroreVB destinatarioSconosciuto(QString indirizzo)
{
    return ErroreVB(Err::DestinatarioSconosciuto,
                    QStringLiteral("Unknown recipient \"%1\"").arg(indirizzo.replace(u'\r', u' ').replace(u'\n', u' ')));
}

} // namespace

QString indirizzoDelCampo(const QString &campo)
{
    QString a = campo.trimmed();
    if (a.startsWith(QStringLiteral("SMTP:"), Qt::CaseInsensitive))
        a = a.mid(5).trimmed();
    return a;
}

void ClientPosta::SignOn()
{
    m_sessione = qint64(QRandomGenerator::global()->bounded(1, 1 << 30));
}

void ClientPosta::SignOff()
{
    m_sessione = 0;
}

void ClientPosta::Compose()
{
    m_destinatari.clear();
    m_destinatario = 0;
    m_allegati.clear();
    m_allegato = 0;
    MsgSubject.clear();
    MsgNoteText.clear();
    MsgIndex = -1;
}

QString ClientPosta::Destinatario::mailbox() const
{
    return indirizzoDelCampo(indirizzo.isEmpty() ? nome : indirizzo);
}

ClientPosta::Destinatario &ClientPosta::destinatario()
{
    while (m_destinatari.size() <= m_destinatario)
        m_destinatari.append(Destinatario{});
    return m_destinatari[m_destinatario];
}

void ClientPosta::RecipIndex(int indice)
{
    m_destinatario = qMax(0, indice);
}

void ClientPosta::RecipType(int tipo)
{
    destinatario().tipo = tipo;
}

void ClientPosta::RecipDisplayName(const QString &nome)
{
    destinatario().nome = nome;
}

void ClientPosta::RecipAddress(const QString &indirizzo)
{
    destinatario().indirizzo = indirizzo;
}

QString ClientPosta::RecipAddress() const
{
    return m_destinatario < m_destinatari.size() ? m_destinatari.at(m_destinatario).indirizzo : QString();
}

void ClientPosta::ResolveName()
{
    Destinatario &d = destinatario();
    const QString a = d.mailbox();
    if (!indirizzoValido(a))
        throw destinatarioSconosciuto(a);
    d.indirizzo = a;
}

void ClientPosta::AttachmentIndex(int indice)
{
    m_allegato = qMax(0, indice);
    while (m_allegati.size() <= m_allegato)
        m_allegati.append(Allegato{});
}

void ClientPosta::AttachmentPosition(int posizione)
{
    AttachmentIndex(m_allegato);
    m_allegati[m_allegato].posizione = posizione;
}

void ClientPosta::AttachmentPathName(const QString &percorso)
{
    AttachmentIndex(m_allegato);
    m_allegati[m_allegato].percorso = percorso;
}

QStringList ClientPosta::allegati() const
{
    QStringList r;
    for (const Allegato &a : m_allegati)
        if (!a.percorso.isEmpty())
            r << a.percorso;
    return r;
}

ClientPosta::Esito ClientPosta::avvia(const QString &programma, const QStringList &argomenti, const QByteArray &ingresso)
{
    if (esegui)
        return esegui(programma, argomenti, ingresso);
    QProcess p;
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(programma, argomenti);
    if (!p.waitForStarted(30000))
        return {-1, QStringLiteral("%1 could not be started: %2").arg(programma, p.errorString())};
    if (!ingresso.isEmpty())
        p.write(ingresso);
    p.closeWriteChannel();
    QElapsedTimer orologio;
    orologio.start();
    const bool limitato = programma != QLatin1String("xdg-email");
    while (!p.waitForFinished(50)) {
        if (p.state() == QProcess::NotRunning)
            break;
        if (eventi)
            eventi();
        if (limitato && orologio.elapsed() > AttesaSendmailMs) {
            p.kill();
            p.waitForFinished(5000);
            return {-1, QStringLiteral("%1 did not finish").arg(programma)};
        }
    }
    const QString errore = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    if (p.exitStatus() != QProcess::NormalExit)
        return {-1, errore.isEmpty() ? QStringLiteral("%1 ended abnormally").arg(programma) : errore};
    return {p.exitCode(), errore};
}

void ClientPosta::Send(bool dialogo)
{
    QStringList a, cc;
    for (const Destinatario &d : m_destinatari) {
        const QString indirizzo = d.mailbox();
        if (indirizzo.isEmpty())
            continue;
        if (!indirizzoValido(indirizzo))
            throw destinatarioSconosciuto(indirizzo);
        (d.tipo == 2 ? cc : a) << indirizzo;
    }
    const QStringList file = allegati();
    for (const QString &f : file)
        if (!QFileInfo(f).isFile())
            throw ErroreVB(Err::AllegatoNonTrovato, QStringLiteral("Attachment not found: %1").arg(f));

    Esito esito;
    QString programma;
    if (dialogo) {
        programma = QStringLiteral("xdg-email");
        QString oggetto = MsgSubject;
        oggetto.replace(u'\r', u' ').replace(u'\n', u' ');
        QStringList argomenti{QStringLiteral("--utf8"), QStringLiteral("--subject"), oggetto, QStringLiteral("--body"),
                              QString(MsgNoteText).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))};
        for (const QString &f : file)
            argomenti << QStringLiteral("--attach") << QFileInfo(f).absoluteFilePath();
        for (const QString &c : cc)
            argomenti << QStringLiteral("--cc") << c;
        argomenti << a;
        esito = avvia(programma, argomenti, {});
    } else {
        if (a.isEmpty() && cc.isEmpty())
            throw ErroreVB(Err::MailFallita, QStringLiteral("Unspecified failure has occurred: il messaggio non ha destinatari"));
        MessaggioMail m;
        m.destinatari = a;
        m.copie = cc;
        m.oggetto = MsgSubject;
        m.testo = MsgNoteText;
        m.allegati = file;
        programma = programmaSendmail();
        esito = avvia(programma, {QStringLiteral("-t"), QStringLiteral("-oi")}, m.mime(false));
    }
    if (esito.codice == 0)
        return;
    if (dialogo && (esito.codice == 3 || (esito.codice == -1 && QStandardPaths::findExecutable(programma).isEmpty()))) {
        // xdg-utils' "a required tool could not be found": no mail client
        // takes mailto links here (or xdg-email itself is missing). What is
        // missing, then what the program said.
        throw ErroreVB(Err::MailFallita, QStringLiteral("Su questo computer non è impostato alcun programma di posta "
                                                        "elettronica che apra il messaggio: il documento non è stato "
                                                        "inviato.")
                                             + QStringLiteral("\r\n\r\n")
                                             + dettagliDelProgramma(programma, esito));
    }
    ErroreVB errore(Err::MailFallita, QStringLiteral("Unspecified failure has occurred: %1 (%2)")
                                          .arg(esito.errore.isEmpty() ? QStringLiteral("codice di uscita %1").arg(esito.codice)
                                                                      : ultimaRiga(esito.errore),
                                               programma));
    // sendmail's EX_TEMPFAIL: the transfer agent could not pass the message
    // on now and did not keep it; a later try can succeed.
    if (!dialogo && esito.codice == EsitoSendmailTemporaneo)
        errore.temporaneo(true);
    throw errore;
}

} // namespace vorpla
