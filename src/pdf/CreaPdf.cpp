#include "CreaPdf.h"

#include "MarcatoreSpool.h"
#include "ModGhostScript.h"
#include "PercorsiCreaPdf.h"
#include "VerificaPdf.h"

#include "common/Avanzamento.h"
#include "common/CartellaProgramma.h"
#include "common/ErroreVB.h"
#include "common/FileIni.h"
#include "common/FineProgramma.h"
#include "common/Messaggi.h"
#include "common/ModPubblico.h"
#include "common/Stampanti.h"
#include "common/StatoLavoro.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorpla {

namespace {

// Polls of the wait for the printer: (1000 / 10) × 120. Polls are counted,
// not time, as they always were.
constexpr int PassoAttesaMs = 10;
constexpr int PassiAttesa = (1000 / PassoAttesaMs) * 120;
// A dead holder is looked for once every this many polls.
constexpr int PassiControlloTitolare = 100;
constexpr int PassoSpoolMs = 100;
constexpr int PassoTrattenutoMs = 200;
// How much of the spool file is searched for its title.
constexpr qint64 TestaSpool = 64 * 1024;

// Renames a file, copying it when the two paths are on different file
// systems (a spool folder on a share, the temporary folder on a local disk).
void sposta(const QString &da, const QString &a)
{
    if (::rename(da.toLocal8Bit().constData(), a.toLocal8Bit().constData()) == 0)
        return;
    if (errno != EXDEV)
        throw ErroreVB(erroreFileDaErrno(errno));
    const QString parziale = a + QStringLiteral(".part");
    QFile::remove(parziale);
    if (!QFile::copy(da, parziale) || ::rename(parziale.toLocal8Bit().constData(), a.toLocal8Bit().constData()) != 0) {
        QFile::remove(parziale);
        throw ErroreVB(Err::AccessoPercorso);
    }
    QFile::remove(da);
}

QString chiave(const char *nome)
{
    return LeggiIni(QStringLiteral("PDF"), QString::fromLatin1(nome), fileIni());
}

// The pages of a PostScript print stream by its structuring comments (one
// "%%Page:" a page), and whether it is whole: it ends with "%%EOF" and
// holds as many pages as its "%%Pages:" says. A stream without comments
// has no page count (0) and is taken as whole.
struct PagineSpool
{
    int pagine = 0;
    bool completo = true;
};

PagineSpool pagineSpool(const QString &ps)
{
    PagineSpool r;
    QFile file(ps);
    if (!file.open(QIODevice::ReadOnly))
        return r;
    int dichiarate = -1;
    bool commentato = false;
    QByteArray ultima;
    while (!file.atEnd()) {
        const QByteArray riga = file.readLine(64 * 1024);
        if (riga.startsWith("%%")) {
            commentato = true;
            if (riga.startsWith("%%Page:"))
                ++r.pagine;
            else if (riga.startsWith("%%Pages:") && dichiarate < 0) {
                bool ok = false;
                const int n = riga.mid(8).trimmed().toInt(&ok);
                if (ok)
                    dichiarate = n;
            }
        }
        // Printer drivers may end a job with a control character (^D).
        QByteArray t = riga;
        while (!t.isEmpty() && (uchar(t.back()) < 0x20 || t.back() == ' '))
            t.chop(1);
        if (!t.trimmed().isEmpty())
            ultima = t.trimmed();
    }
    if (!commentato)
        return r;
    r.completo = ultima == "%%EOF" && (dichiarate < 0 || dichiarate == r.pagine);
    return r;
}

// The record of a failure in Logging.smr.
QString recordRegistroPdf(const QString &data, int numero, const QString &descrizione, const QString &traguardo,
                          const QString &fileIngresso)
{
    return data + QStringLiteral("\r\n") + QStringLiteral("NUMBER=%1\r\n").arg(numero) + QStringLiteral("DESCRIPTION=")
           + descrizione + QStringLiteral("\r\n") + QStringLiteral("RIGA=") + traguardo + QStringLiteral("\r\n")
           + QStringLiteral("FILE=") + fileIngresso + QStringLiteral("\r\n") + QString(55, u'-')
           + QStringLiteral("\r\n");
}

class Lavoro
{
public:
    Lavoro(const QString &nomeFile, AmbienteCreaPdf &a) : m_a(a), m_nomeFile(nomeFile) {}

    QString esegui();

private:
    bool attendiStampante(MarcatoreSpool &marcatore);
    bool prendiMarcatore(MarcatoreSpool &marcatore);
    void attendiFileSpool(const QString &spool);
    void attendiLibero(const QString &percorso);
    bool spoolDelLavoro(const QString &ps) const;
    [[noreturn]] void fallito(const ErroreVB &errore);

    AmbienteCreaPdf &m_a;
    QString m_nomeFile;
    QString m_spool;       // the spool folder, ending in "/"
    QString m_traguardo;   // the last milestone passed
    QString m_gettone;     // in the title of this job's print jobs
};

QString Lavoro::esegui()
{
    StatoLavoro &stato = lavoro();
    stato.FileIngresso = m_nomeFile;
    CorsaLunga corsa(QStringLiteral("Creazione PDF"));
    ImpostazioniPdf ini;
    ini.forzaPorta = chiave("FORZAPORTA");
    if (!ini.forzaPorta.isEmpty() || stato.ModoPdf)
        ini.porta = chiave("PORTA");
    const QString temp = KV_GetTempPath();
    m_spool = cartellaSpool(ini, stato.ModoPdf, temp);

    try {
        // Without the PostScript printer the job would go to the paper
        // printer and no spool file would ever come.
        if (!m_a.stampanti || !m_a.stampanti->selezionaIgnorandoMaiuscole(QStringLiteral("PDFCREATOR")))
            throw ErroreVB(Err::ErroreStampante, QStringLiteral("La stampante PDFCreator non è installata"));

        MarcatoreSpool marcatore(m_spool);
        if (!attendiStampante(marcatore))
            return QString();
        m_traguardo = QStringLiteral("2025");

        const QString spool = m_spool + QStringLiteral("spool.ps");
        // A spool file of an earlier job that was never taken is not this one.
        ::unlink(spool.toLocal8Bit().constData());
        m_gettone = gettoneDelProcesso() + QString::number(QDateTime::currentMSecsSinceEpoch());
        m_a.attendi(500);
        // The token first: a title cut short by the filters keeps it.
        if (!m_a.stampaDocumento(u'[' + m_gettone + QStringLiteral("] ") + QFileInfo(stato.FileIngresso).fileName()))
            throw ErroreVB(Err::ErroreStampante, QStringLiteral("La stampa su PDFCreator non è riuscita"));

        const QString nome = trovanome(stato.FileIngresso);
        const QString ps = m_spool + nome + QStringLiteral(".ps");
        segnalaAvanzamento(QStringLiteral("In attesa del file di stampa"));
        for (;;) {
            attendiFileSpool(spool);
            attendiLibero(spool);
            if (::rename(spool.toLocal8Bit().constData(), ps.toLocal8Bit().constData()) != 0)
                throw ErroreVB(erroreFileDaErrno(errno));
            if (spoolDelLavoro(ps))
                break;
            // Another job's, printed late: it goes, and this job's is waited for.
            ::unlink(ps.toLocal8Bit().constData());
        }

        ini.cartella = (!ini.forzaPorta.isEmpty() || stato.ModoPdf) ? chiave("CARTELLA") : QString();
        const QString pdf = percorsoPdf(ini, stato.ModoPdf, m_spool, temp, nome, m_a.PercorsoDestinazione);
        // A PDF of an earlier run at the same path must not pass for this one
        // when the conversion writes nothing.
        if (QFileInfo::exists(pdf) || QFileInfo(pdf).isSymLink()) {
            attendiLibero(pdf);
            if (::unlink(pdf.toLocal8Bit().constData()) != 0)
                throw ErroreVB(erroreFileDaErrno(errno));
        }
        // The print stream must be whole: a spool file cut short would
        // convert into a PDF of its first pages.
        const PagineSpool spoolLetto = pagineSpool(ps);
        if (!spoolLetto.completo)
            throw ErroreVB(Err::ErroreIO, QStringLiteral("Device I/O error: il file di stampa %1 è incompleto").arg(ps));

        // Ghostscript writes beside the PDF, under a hidden name of this
        // process; the PDF takes its place only once it is whole, so a PDF
        // half written (a full disk, a conversion killed) is never where a
        // user or the mail looks.
        const QString parziale = QFileInfo(pdf).absolutePath() + QStringLiteral("/.vorpla-%1.pdf.part")
                                                                      .arg(QCoreApplication::applicationPid());
        ::unlink(parziale.toLocal8Bit().constData());
        struct Parziale
        {
            QString percorso;
            ~Parziale() { ::unlink(percorso.toLocal8Bit().constData()); }
        } rimuoviParziale{parziale};
        // The PDF's title is the document's (its subject), else the print
        // file's name; never the print job's, which holds the token.
        const QString titolo = stato.OggettoMail.trimmed().isEmpty() ? QFileInfo(stato.FileIngresso).fileName()
                                                                    : stato.OggettoMail.trimmed();
        segnalaAvanzamento(QStringLiteral("Conversione in PDF"));
        const bool convertito = m_a.converti ? m_a.converti(ps, parziale) : ConvertiPsInPdf(ps, parziale, titolo);

        if (QFileInfo::exists(ps)) {
            attendiLibero(ps);
            ::unlink(ps.toLocal8Bit().constData());
        }
        if (!convertito || !QFileInfo::exists(parziale)) {
            const QString cartella = QFileInfo(pdf).absolutePath();
            throw ErroreVB(Err::FileNonTrovato,
                           QFileInfo(cartella).isDir()
                               ? QStringLiteral("File not found: Ghostscript non ha scritto %1").arg(pdf)
                               : QStringLiteral("File not found: la cartella %1 del PDF non esiste").arg(cartella));
        }
        attendiLibero(parziale);
        const EsitoVerificaPdf verifica = verificaPdf(parziale);
        if (!verifica.intero)
            throw ErroreVB(Err::ErroreIO, QStringLiteral("Device I/O error: il PDF %1 scritto da Ghostscript è danneggiato "
                                                         "(%2)")
                                              .arg(pdf, verifica.problema));
        if (spoolLetto.pagine > 0 && verifica.pagine != spoolLetto.pagine)
            throw ErroreVB(Err::ErroreIO, QStringLiteral("Device I/O error: il PDF %1 ha %2 pagine invece di %3")
                                              .arg(pdf)
                                              .arg(verifica.pagine)
                                              .arg(spoolLetto.pagine));
        if (::rename(parziale.toLocal8Bit().constData(), pdf.toLocal8Bit().constData()) != 0)
            throw ErroreVB(erroreFileDaErrno(errno), descrizioneErroreVB(erroreFileDaErrno(errno)) + QStringLiteral(": ") + pdf);
        m_a.attendi(200);

        QString risultato = pdf;
        if (!ini.forzaPorta.isEmpty()) {
            risultato = temp + trovanome(pdf) + QStringLiteral(".PDF");
            sposta(pdf, risultato);
        }
        marcatore.rilascia();
        // (The busy pointer was the printer form's copies loop's, which put
        // it back itself.)
        m_a.eventi();
        return risultato;
    } catch (const ErroreVB &errore) {
        fallito(errore);
    }
}

// Until the printer is free and this job holds it; false when an interactive
// job gave up after the whole wait.
bool Lavoro::attendiStampante(MarcatoreSpool &marcatore)
{
    for (;;) {
        int passi = 0;
        marcatore.rimuoviSeAbbandonato();
        m_traguardo = QStringLiteral("2008");
        if (marcatore.esiste())
            segnalaAvanzamento(QStringLiteral("In attesa della stampante PDFCreator"));
        while (marcatore.esiste() && passi < PassiAttesa) {
            ++passi;
            m_a.attendi(PassoAttesaMs);
            if (passi % PassiControlloTitolare == 0)
                marcatore.rimuoviSeAbbandonato();
        }
        m_traguardo = QStringLiteral("2017");
        if (passi >= PassiAttesa) {
            if (!lavoro().ModoPdf) {
                messaggi().mostra(QStringLiteral("Errore di timeout!"));
                return false;
            }
            // A PDF-only job has no one to tell: it waits again.
            continue;
        }
        if (prendiMarcatore(marcatore))
            return true;
        // Another instance took it between the test and the take.
    }
}

// Takes the marker, retrying every 200 ms while the folder refuses it,
// within the bound of held files.
bool Lavoro::prendiMarcatore(MarcatoreSpool &marcatore)
{
    for (int atteso = 0;; atteso += PassoTrattenutoMs) {
        try {
            return marcatore.prendi(lavoro().FileIngresso);
        } catch (const ErroreVB &) {
            if (atteso >= m_a.attesaFileTrattenutoMs)
                throw;
        }
        m_a.attendi(PassoTrattenutoMs);
    }
}

void Lavoro::attendiFileSpool(const QString &spool)
{
    for (int atteso = 0; !QFileInfo::exists(spool); atteso += PassoSpoolMs) {
        if (atteso >= m_a.attesaSpoolMs)
            throw ErroreVB(Err::ErroreStampante,
                           QStringLiteral("La stampante PDFCreator non ha scritto %1 entro %2 secondi")
                               .arg(spool)
                               .arg(m_a.attesaSpoolMs / 1000));
        m_a.attendi(PassoSpoolMs);
    }
}

// Opens the file alone (no other process holding its lock: the printer's
// backend keeps one while it writes), retrying every 200 ms within the bound.
void Lavoro::attendiLibero(const QString &percorso)
{
    const QByteArray nome = percorso.toLocal8Bit();
    for (int atteso = 0;; atteso += PassoTrattenutoMs) {
        const int fd = ::open(nome.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        const int erroreApertura = errno;
        if (fd >= 0) {
            const bool libero = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
            ::close(fd);
            if (libero)
                return;
        } else if (erroreApertura == ENOENT) {
            throw ErroreVB(Err::FileNonTrovato);
        }
        if (atteso >= m_a.attesaFileTrattenutoMs) {
            if (fd < 0)
                throw ErroreVB(Err::PermessoNegato,
                               QStringLiteral("Permission denied: %1 non si può leggere (la stampante PDFCreator deve "
                                              "scrivere file leggibili dall'utente)")
                                   .arg(percorso));
            throw ErroreVB(Err::PermessoNegato,
                           QStringLiteral("Permission denied: %1 è ancora in uso dopo %2 secondi")
                               .arg(percorso)
                               .arg(m_a.attesaFileTrattenutoMs / 1000));
        }
        m_a.attendi(PassoTrattenutoMs);
    }
}

// Whether the spool file taken is this job's: its PostScript title holds the
// job's token. A file without a title is nobody's job (the printer's
// PostScript always has one).
bool Lavoro::spoolDelLavoro(const QString &ps) const
{
    QFile file(ps);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray testa = file.read(TestaSpool);
    const qsizetype titolo = testa.indexOf("\n%%Title:");
    if (titolo < 0)
        return false;
    const qsizetype fine = testa.indexOf('\n', titolo + 1);
    const QByteArray riga = testa.mid(titolo + 1, fine < 0 ? -1 : fine - titolo - 1);
    return riga.contains(m_gettone.toLatin1());
}

void Lavoro::fallito(const ErroreVB &errore)
{
    const StatoLavoro &stato = lavoro();
    const QString testo = QStringLiteral("ERRORE N° %1  %2").arg(errore.numero()).arg(errore.descrizione());
    if (stato.ModoPdf) {
        const QByteArray riga = (QStringLiteral("vorpla: CreaPdf: ") + testo + u'\n').toLocal8Bit();
        std::fwrite(riga.constData(), 1, size_t(riga.size()), stderr);
    } else {
        messaggi().mostra(testo);
    }
    const QByteArray record = recordRegistroPdf(QDateTime::currentDateTime().toString(), errore.numero(),
                                                errore.descrizione(), m_traguardo, stato.FileIngresso)
                                  .toLocal8Bit();
    // One write in append mode: records of instances failing together never
    // interleave.
    // Never through a link or into a device someone put in the shared folder.
    const int fd = ::open((m_spool + QStringLiteral("Logging.smr")).toLocal8Bit().constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    struct stat info {};
    if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        // Shared by every user's instances.
        if (info.st_uid == ::geteuid() && (info.st_mode & 0666) != 0666)
            ::fchmod(fd, 0666);
        [[maybe_unused]] const ssize_t scritti = ::write(fd, record.constData(), size_t(record.size()));
    }
    if (fd >= 0)
        ::close(fd);
    fine(FineConErrore);
}

} // namespace

QString gettoneDelProcesso()
{
    return QStringLiteral("vorpla %1-").arg(QCoreApplication::applicationPid());
}


QString CreaPdf(const QString &NomeFile, AmbienteCreaPdf &ambiente)
{
    Lavoro lavoro(NomeFile, ambiente);
    return lavoro.esegui();
}

} // namespace vorpla
