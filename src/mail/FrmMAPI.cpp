#include "FrmMAPI.h"

#include "MessaggioMail.h"

#include "common/CartellaProgramma.h"
#include "common/ErroreVB.h"
#include "common/FileIni.h"
#include "common/FunzioniRegistro.h"
#include "common/LettoreRighe.h"
#include "common/Messaggi.h"
#include "common/ModPubblico.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

namespace vorpla {

namespace {

const QString Form = QStringLiteral("frmMAPI");
const QString CrLf = QStringLiteral("\r\n");

QString ini(const char *sezione, const char *chiave)
{
    return LeggiIni(QLatin1String(sezione), QLatin1String(chiave), fileIni());
}

// The document's PDF: temp + the print file's name + ".PDF".
QString pdfDelDocumento()
{
    return KV_GetTempPath() + trovanome(lavoro().FileIngresso) + QStringLiteral(".PDF");
}

// The addresses in their order, each once (letter case aside), leaving out
// those of `gia`.
QStringList senzaDoppioni(const QStringList &indirizzi, const QStringList &gia = {})
{
    QStringList visti;
    for (const QString &g : gia)
        visti << g.toLower();
    QStringList r;
    for (const QString &a : indirizzi) {
        if (visti.contains(a.toLower()))
            continue;
        visti << a.toLower();
        r << a;
    }
    return r;
}

} // namespace

FrmMAPI::FrmMAPI() = default;

// ---- Composition and route ------------------------------------------------------------

void FrmMAPI::Spedisci_Mail(bool allegato)
{
    impostaRoutine(Form, QStringLiteral("Spedisci_Mail"));
    StatoLavoro &job = lavoro();
    SezioneBOA = false;
    PercorsoFileBOA.clear();
    job.TestoMail.clear();

    if (ini("Testo mail IT", "NASCONDI_TESTO").trimmed().isEmpty() && QFileInfo::exists(fileIni())) {
        for (int n = 1; n <= 100; ++n) {
            const QString riga = LeggiIni(QStringLiteral("Testo mail IT"), QString::number(n), fileIni());
            if (riga != QLatin1String("*"))
                job.TestoMail += riga + CrLf;
        }
    }
    if (QString(job.TestoMail).remove(CrLf).trimmed().isEmpty())
        job.TestoMail.clear();
    if (!ini("BOA", "ALLEGO").isEmpty())
        FileBOA();
    if (ini("Testo mail IT", "NASCONDI_TESTO_PDF").trimmed().isEmpty()) {
        const QString sito = QLatin1String(SitoProduttore), lettore = QLatin1String(PaginaLettorePdf);
        job.TestoMail += QStringLiteral("Questa email è stata creata automaticamente dal software Ulka by Korvenal ") + sito
                         + u'.' + CrLf
                         + QStringLiteral("Per leggere il documento allegato occorre disporre del software Acrobat Reader "
                                          "scaricabile gratuitamente dal sito ")
                         + lettore + CrLf + CrLf
                         + QStringLiteral("This e-mail has been created automatically by the software Ulka by Korvenal ")
                         + sito + u'.' + CrLf
                         + QStringLiteral("To open the attached document it's necessary to have installed Acrobat Reader on "
                                          "your computer. You can download it free of charge from ")
                         + lettore;
    }
    if (!ini("Testo mail IT", "NASCONDI_OGG").trimmed().isEmpty())
        job.ElencoTitoli.clear();
    if (job.TestoMail.isEmpty())
        job.TestoMail = QStringLiteral("       ");

    const QString pratica = TrovaFilePratica();
    impostaRoutine(Form, QStringLiteral("Spedisci_Mail"));
    if (!pratica.isEmpty()) {
        job.TestoMail += CrLf
                         + QStringLiteral("Utilizzando il software ULKA hai la possibilità d\u2019inserire la pratica che "
                                          "trovi in allegato a questa mail (file D....... TXT ) senza doverlo fare a mano. "
                                          "Ecco come fare.")
                         + CrLf + CrLf
                         + QStringLiteral("Se hai il server in agenzia è sufficiente copiare il file (CTRL-C), spostarsi nel "
                                          "booking di Ulka e dal campo del numero pratica premere (CTRL-V).")
                         + CrLf
                         + QStringLiteral("Se sei un utente che utilizza Terminal (su server remoto o su server Asp) è "
                                          "sufficiente aprire il file (doppio click), selezionare tutto (CTRL-5 del "
                                          "tastierino numerico oppure da menù Modifica), copiare il testo (CTRL-C), "
                                          "spostarsi nel booking di Ulka e dal campo del numero pratica premere (CTRL-V).")
                         + CrLf;
        job.ElencoAllegati.append(pratica);
    }

    // The desktop's mail client, read once a run and only for the routes
    // that use it (a batch would otherwise ask the desktop per document).
    const auto gestore = [this] {
        if (!m_gestore)
            m_gestore = gestoreMailto ? gestoreMailto() : comandoGestoreMailto();
        return *m_gestore;
    };

    // The same file twice (letter case aside) is attached once.
    QStringList &allegati = job.ElencoAllegati;
    for (qsizetype i = 1; i < allegati.size(); ++i)
        for (qsizetype j = i + 1; j < allegati.size(); ++j)
            if (allegati.at(j).compare(allegati.at(i), Qt::CaseInsensitive) == 0)
                allegati[j].clear();

    bool gestito = false;
    if (ChkSmtp()) {
        gestito = InvioMailSmtp(allegato);
    } else {
        if (gestore().contains(QStringLiteral("OUTLOOK.EXE"), Qt::CaseInsensitive))
            gestito = SENDMAIL2000(allegato);
        if (!gestito
            && (gestore().contains(QStringLiteral("wlmail.exe"), Qt::CaseInsensitive)
                || gestore().contains(QStringLiteral("WinMail.exe"), Qt::CaseInsensitive)
                || gestore().contains(QStringLiteral("OUTLOOK EXPRESS"), Qt::CaseInsensitive)))
            gestito = SENDMAILEXPRESS(allegato);
        if (!gestito)
            gestito = SENDMAIL(allegato);
    }
    if (!gestito) {
        job.ElencoTitoli.clear();
        job.OggettoMail.clear();
    }
}

// ---- Booking extract and PDF copy -------------------------------------------------------

void FrmMAPI::FileBOA()
{
    LettoreRighe righe(lavoro().FileIngresso);
    QByteArray estratto;
    QByteArrayView riga;
    while (righe.prossima(riga)) {
        const QByteArrayView inizio = riga.first(qMin<qsizetype>(5, riga.size()));
        if (!SezioneBOA && (inizio.compare("@BOA", Qt::CaseInsensitive) == 0 || inizio.compare("@BOO", Qt::CaseInsensitive) == 0))
            SezioneBOA = true;
        if (SezioneBOA) {
            estratto += riga;
            estratto += "\r\n";
        }
    }
    if (!SezioneBOA)
        return;
    PercorsoFileBOA = KV_GetTempPath() + u'D' + trovanome(lavoro().FileIngresso).mid(1) + QStringLiteral(".TTF");
    QSaveFile file(PercorsoFileBOA);
    if (!file.open(QIODevice::WriteOnly) || file.write(estratto) != estratto.size() || !file.commit())
        throw ErroreVB(Err::AccessoPercorso, QStringLiteral("Path/File access error: %1").arg(PercorsoFileBOA));
}

QString FrmMAPI::GeneraNome()
{
    const QString T = KV_GetTempPath(), B = trovanome(lavoro().FileIngresso);
    const float caso = QRandomGenerator::global()->generateDouble();
    const qint64 n = qint64(double(caso) * 1000000000.0 + 1);
    const QString copia = T + B + u'_' + QString::number(qMin<qint64>(n, 1000000000)) + QStringLiteral(".pdf");
    const QString origine = trovaIgnorandoMaiuscole(T + B + QStringLiteral(".pdf"));
    QFile::remove(copia);
    if (!QFileInfo(origine).isFile())
        throw ErroreVB(Err::FileNonTrovato, QStringLiteral("File not found: %1").arg(origine));
    if (!QFile::copy(origine, copia))
        throw ErroreVB(Err::AccessoPercorso, QStringLiteral("Path/File access error: %1").arg(copia));
    return copia;
}

// ---- SMTP ----------------------------------------------------------------------------------

bool FrmMAPI::InvioMailSmtp(bool)
{
    impostaRoutine(Form, QStringLiteral("InvioMailSmtp"));
    StatoLavoro &job = lavoro();
    MessaggioMail m;
    m.oggetto = job.OggettoMail;
    m.mittente = ini("MAIL", "INDIRIZZO");
    // The document's addresses and the ones typed in "Modifica E-mail"
    // (which shows the document's own): each recipient once, and a copy
    // recipient that is already one of them not again.
    const QString a = job.IndirizzoMail.isEmpty() ? job.DestinatariModificati
                                                  : job.IndirizzoMail + QStringLiteral("; ") + job.DestinatariModificati;
    m.destinatari = senzaDoppioni(indirizziDellElenco(a));
    m.copie = senzaDoppioni(indirizziDellElenco(ini("MAIL", "CC")), m.destinatari);
    if (m.destinatari.isEmpty())
        throw ErroreVB(Err::SmtpRifiutato, descrizioneErroreVB(Err::SmtpRifiutato)
                                               + QStringLiteral(" (il documento non ha destinatari)"));
    m.testo = job.TestoMail + CrLf + job.TestoAggiunto + CrLf + CrLf + job.ElencoTitoli;
    m.allegati << pdfDelDocumento();
    for (qsizetype i = 1; i < job.ElencoAllegati.size(); ++i) {
        const QString &f = job.ElencoAllegati.at(i);
        if (f.isEmpty())
            continue;
        if (QFileInfo(f).isFile())
            m.allegati << f;
        else
            m.testo += CrLf + QStringLiteral("File ") + f + QStringLiteral("  NON trovato");
    }
    if (!PercorsoFileBOA.isEmpty() && QFileInfo(PercorsoFileBOA).isFile())
        m.allegati << PercorsoFileBOA;

    ServerSmtp server;
    server.nome = ini("MAIL", "SMTP");
    // Beyond the plain port-25 server: another port, STARTTLS or TLS, a login.
    if (const QString porta = ini("MAIL", "PORTA").trimmed(); !porta.isEmpty()) {
        bool ok = false;
        server.porta = porta.toInt(&ok);
        if (!ok || server.porta < 1 || server.porta > 65535)
            throw ErroreVB(Err::SmtpConnessione,
                           QStringLiteral("The transport failed to connect to the server: [MAIL] PORTA \"%1\" is no port").arg(porta));
    }
    const QString sicurezza = ini("MAIL", "SICUREZZA").trimmed();
    if (sicurezza.compare(QStringLiteral("STARTTLS"), Qt::CaseInsensitive) == 0)
        server.sicurezza = ServerSmtp::Sicurezza::StartTls;
    else if (sicurezza.compare(QStringLiteral("TLS"), Qt::CaseInsensitive) == 0 || sicurezza.compare(QStringLiteral("SSL"), Qt::CaseInsensitive) == 0)
        server.sicurezza = ServerSmtp::Sicurezza::Tls;
    server.utente = ini("MAIL", "UTENTE");
    server.password = ini("MAIL", "PASSWORD");

    impostaRoutine(Form, QStringLiteral("InvioMailSmtp"));
    const QByteArray messaggio = m.mime(true);
    (smtp ? smtp : inviaSmtp)(server, m.mittente, m.destinatari + m.copie, messaggio);
    // Taken once sent: after a failure the document keeps its recipients
    // for another try.
    job.IndirizzoMail.clear();
    return false;
}

// ---- Mail client routes ---------------------------------------------------------------------

bool FrmMAPI::SENDMAIL2000(bool)
{
    return rottaClient(Rotta::Duemila);
}

bool FrmMAPI::SENDMAILEXPRESS(bool)
{
    return rottaClient(Rotta::Express);
}

bool FrmMAPI::SENDMAIL(bool)
{
    return rottaClient(Rotta::Generica);
}

bool FrmMAPI::rottaClient(Rotta rotta)
{
    const QString nome = rotta == Rotta::Duemila  ? QStringLiteral("SENDMAIL2000")
                         : rotta == Rotta::Express ? QStringLiteral("SENDMAILEXPRESS")
                                                   : QStringLiteral("SENDMAIL");
    const QString suffisso = rotta == Rotta::Duemila  ? QStringLiteral(" in Sendmail2000.")
                             : rotta == Rotta::Express ? QStringLiteral("\r\n in SendmailExpress.")
                                                       : QStringLiteral(" in SendMail.");
    impostaRoutine(Form, nome);
    StatoLavoro &job = lavoro();
    // The copy of the PDF the generic route hands over: once the local mail
    // transfer agent has taken the message, or when nothing was handed over,
    // it goes; the mail client's compose window reads it later, so that one
    // stays (the mail command clears old ones).
    struct Copia
    {
        QString percorso;
        bool alClient = false;
        ~Copia()
        {
            if (!percorso.isEmpty() && !alClient)
                QFile::remove(percorso);
        }
    } copia;

    // Each step runs on after an ambiguous recipient; a cancel ends the
    // route quietly. Any other error (a recipient that is no address
    // included) is the route's failure: it goes to the caller with the
    // route's name, and nothing counts as sent.
    struct FineRotta
    {
    };
    auto passo = [&](auto &&azione) {
        try {
            azione();
        } catch (const ErroreVB &e) {
            // The routines the step called may have named themselves.
            impostaRoutine(Form, nome);
            switch (e.numero()) {
            case Err::DestinatarioAmbiguo:
                return;
            case Err::MailAnnullata:
                if (rotta == Rotta::Duemila)
                    posta.SignOff();
                throw FineRotta{};
            default:
                if (rotta != Rotta::Express)
                    posta.SignOff();
                throw ErroreVB(e.numero(), e.descrizione() + suffisso).temporaneo(e.temporaneo());
            }
        }
    };

    try {
        passo([&] {
            posta.DownLoadMail = false;
            if (rotta != Rotta::Duemila)
                posta.LogonUI = true;
        });
        passo([&] {
            if (rotta != Rotta::Express || posta.SessionID() == 0)
                posta.SignOn();
        });
        passo([&] {
            posta.MsgSessionID = posta.SessionID();
            posta.Compose();
            posta.MsgIndex = -1;
        });
        if (!job.IndirizzoMail.isEmpty()) {
            if (rotta == Rotta::Generica)
                passo([&] {
                    posta.RecipIndex(0);
                    posta.RecipType(1);
                });
            if (rotta == Rotta::Express) {
                passo([&] { posta.RecipAddress(job.IndirizzoMail); });
            } else if (job.IndirizzoMail.contains(u';')) {
                const QStringList parti = job.IndirizzoMail.split(u';');
                for (int k = 0; k < parti.size(); ++k) {
                    // "a@b.it;" holds one address, not a blank one.
                    if (parti.at(k).trimmed().isEmpty())
                        continue;
                    passo([&] {
                        posta.RecipIndex(k);
                        posta.RecipType(1);
                        posta.RecipDisplayName(parti.at(k));
                        posta.RecipAddress(parti.at(k));
                        posta.AddressResolveUI = false;
                    });
                    passo([&] { posta.ResolveName(); });
                }
            } else if (!ini("POSTA", "FORMATO").isEmpty()) {
                passo([&] {
                    posta.RecipAddress(QStringLiteral("SMTP:") + job.IndirizzoMail);
                    posta.RecipDisplayName(job.IndirizzoMail);
                });
            } else {
                passo([&] { posta.RecipAddress(job.IndirizzoMail); });
                passo([&] { posta.ResolveName(); });
            }
        }
        passo([&] {
            if (rotta == Rotta::Generica)
                job.OggettoMail = job.OggettoMail.toUpper();
            posta.MsgSubject = job.OggettoMail;
            posta.MsgNoteText = job.TestoMail + CrLf + CrLf + job.ElencoTitoli;
        });
        passo([&] {
            if (rotta == Rotta::Generica)
                copia.percorso = GeneraNome();
            posta.AttachmentPathName(rotta == Rotta::Generica ? copia.percorso : pdfDelDocumento());
        });
        const QString prefissoAllegato = rotta == Rotta::Duemila ? QStringLiteral("File allegato: ") : QStringLiteral("File ");
        const QString prefissoBoa = rotta == Rotta::Duemila ? QStringLiteral("File TTF: ") : QStringLiteral("File ");
        auto allega = [&](const QString &f, const QString &prefisso) {
            passo([&] {
                if (QFileInfo(f).isFile()) {
                    posta.AttachmentIndex(posta.AttachmentIndex() + 1);
                    posta.AttachmentPosition(posta.AttachmentIndex());
                    posta.AttachmentPathName(f);
                } else {
                    posta.MsgNoteText += CrLf + prefisso + f + QStringLiteral("  NON trovato");
                }
            });
        };
        for (qsizetype i = 1; i < job.ElencoAllegati.size(); ++i)
            if (!job.ElencoAllegati.at(i).isEmpty())
                allega(job.ElencoAllegati.at(i), prefissoAllegato);
        if (!PercorsoFileBOA.isEmpty())
            allega(PercorsoFileBOA, prefissoBoa);
        const bool dialogo = job.IndirizzoMail.isEmpty() ? true : !Check1();
        passo([&] { posta.Send(dialogo); });
        copia.alClient = dialogo;
        passo([&] { posta.SignOff(); });
    } catch (const FineRotta &) {
    }
    return true;
}

} // namespace vorpla
