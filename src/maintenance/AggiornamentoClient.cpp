#include "AggiornamentoClient.h"

#include "ProcessSession.h"
#include "VBUnzBas.h"

#include "common/Attesa.h"
#include "common/AvviaProgramma.h"
#include "common/CartellaProgramma.h"
#include "common/ErroreVB.h"
#include "common/FileIni.h"
#include "common/FineProgramma.h"
#include "common/Messaggi.h"
#include "common/ModPubblico.h"
#include "common/Routine.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vorpla {

namespace {

constexpr char CartellaRemota[] = "ULKA/KELVORIA/AGG/";

QString fileTemp()
{
    return trovaIgnorandoMaiuscole(KV_GetTempPath() + QStringLiteral("TEMP.EXE"));
}

QString inCartella(const char *nome)
{
    return trovaIgnorandoMaiuscole(inCartellaProgramma(QLatin1String(nome)));
}

void eliminaSeEsiste(const QString &percorso)
{
    if (QFileInfo::exists(percorso) && !QFile::remove(percorso))
        throw ErroreVB(Err::PermessoNegato);
}

void creaMarcatore(const char *nome)
{
    QFile marcatore(inCartellaProgramma(QLatin1String(nome)));
    if (!marcatore.open(QIODevice::WriteOnly))
        throw ErroreVB(erroreFileDaErrno(errno));
}

} // namespace

ServiziAggiornamento serviziAggiornamentoProgramma()
{
    ServiziAggiornamento s;
    s.eventi = eventiInSospeso;
    s.attendi = attendiConEventi;
    s.avviaProgramma = [](const QString &percorso, StileFinestra) { avviaDallaCartella(percorso); };
    s.CercaProcesso = CercaProcesso;
    s.EstraiInCartella = [](const QString &archivio) { EstraiInCartella(archivio); };
    s.fileInUso = FileInUso;
    s.archivioValido = ArchivioZipValido;
    s.Timer1 = [](bool) {};
    return s;
}

void AggiornamentoClient::scriviImpostazioni(const QString &remoto)
{
    const QString impostazioni = cartellaProgramma() + QStringLiteral("/kdTorvamilSond.ini");
    if (!ScriviIni(QStringLiteral("FTP"), QStringLiteral("PercorsoFileEXE"), QLatin1String(CartellaRemota), impostazioni)
        || !ScriviIni(QStringLiteral("FTP"), QStringLiteral("NomeFileExe"), remoto, impostazioni))
        throw ErroreVB(Err::PermessoNegato);
}

// The file is the download program's until it lets it go; false when it
// never does within the bound.
bool AggiornamentoClient::attendiRilascio(const QString &file)
{
    const qint64 inizio = m_s.adesso();
    while (m_s.fileInUso(file)) {
        if (m_s.adesso() - inizio >= m_s.attesaMassimaMs)
            return false;
        m_s.attendi(200);
    }
    return true;
}

// One fetch by the download program: whether a good file arrived.
bool AggiornamentoClient::scarica(const QString &remoto, StileFinestra stile)
{
    eliminaSeEsiste(fileTemp());
    scriviImpostazioni(remoto);
    m_s.eventi();
    m_s.avviaProgramma(inCartellaProgramma(QStringLiteral("ZOL.EXE")), stile);
    const qint64 inizio = m_s.adesso();
    while (!QFileInfo::exists(fileTemp())) {
        if (m_s.adesso() - inizio >= m_s.attesaMassimaMs)
            return false;
        m_s.attendi(100);
    }
    if (!attendiRilascio(fileTemp()))
        return false;
    if (QFileInfo(fileTemp()).size() < DimensioneMinima)
        return false;
    // The new download program may be written after TEMP.EXE.
    if (remoto == QLatin1String("zol1.exe")) {
        while (!QFileInfo::exists(inCartella("zol1.exe"))) {
            if (m_s.adesso() - inizio >= m_s.attesaMassimaMs)
                return false;
            m_s.attendi(100);
        }
        return attendiRilascio(inCartella("zol1.exe"));
    }
    return true;
}

// The new download program replaces the old one: written beside it and
// renamed over it, so a running copy keeps its file and a failed copy
// leaves the old one whole.
void AggiornamentoClient::sostituisciDownload()
{
    const QString nuovo = inCartella("zol1.exe");
    QFile origine(nuovo);
    if (!origine.open(QIODevice::ReadOnly))
        throw ErroreVB(origine.exists() ? Err::PermessoNegato : Err::FileNonTrovato);
    const QString vecchio = inCartella("zol.exe");
    // The program keeps the rights the old one had (it could be run).
    const QFileDevice::Permissions diritti =
        QFileInfo::exists(vecchio) ? QFile::permissions(vecchio) : origine.permissions();
    QSaveFile destinazione(vecchio);
    if (!destinazione.open(QIODevice::WriteOnly) || destinazione.write(origine.readAll()) < 0)
        throw ErroreVB(Err::PermessoNegato);
    destinazione.setPermissions(diritti);
    if (!destinazione.commit())
        throw ErroreVB(Err::AccessoPercorso);
}

// A step that meets a held file (permission denied, path/file access
// error) waits 200 ms and runs again, for ten seconds: then the update is
// given up (false), as after a failed fetch. Another error is reported and
// ends the program.
template<typename F> bool AggiornamentoClient::conRitenti(F &&passo)
{
    const qint64 inizio = m_s.adesso();
    for (;;) {
        try {
            passo();
            return true;
        } catch (const ErroreVB &e) {
            if (e.numero() == Err::PermessoNegato || e.numero() == Err::AccessoPercorso) {
                if (m_s.adesso() - inizio >= RitentiMassimiMs)
                    return false;
                m_s.attendi(200);
                m_s.eventi();
                continue;
            }
            messaggi().mostra(QStringLiteral("ERRORE N° %1  %2").arg(e.numero()).arg(e.descrizione()));
            QFile::remove(inCartella("agg.tst"));
            fine(FineConErrore);
        }
    }
}

void AggiornamentoClient::spegni()
{
    FaseDownload = false;
    m_s.Timer1(false);
}

// The new download program fetched and put in place of the old one, then
// the marker, if one is given; false (the update off) when a step failed.
bool AggiornamentoClient::rinnovaDownload(const char *marcatore)
{
    bool scaricato = false;
    if (!conRitenti([&] { scaricato = scarica(QStringLiteral("zol1.exe"), StileFinestra::Normale); }) || !scaricato) {
        spegni();
        return false;
    }
    m_s.attendi(200);
    m_s.eventi();
    if (!conRitenti([&] {
            sostituisciDownload();
            if (marcatore)
                creaMarcatore(marcatore);
        })) {
        spegni();
        return false;
    }
    return true;
}

void AggiornamentoClient::AggiornaClient()
{
    impostaRoutine(QStringLiteral("frmMain"), QStringLiteral("AggiornaClient"));
    if (!esisteIgnorandoMaiuscole(inCartellaProgramma(QStringLiteral("agg3.tst"))) && !rinnovaDownload("agg3.tst"))
        return;
    // The client archive is installed: nothing is left to do. (agg3.tst is
    // always there by now, so the client's own replacement of an installed
    // archive without a new download program has no state to run in.)
    if (esisteIgnorandoMaiuscole(inCartellaProgramma(QStringLiteral("agg1.tst"))))
        return;
    if (!rinnovaDownload(nullptr))
        return;
    m_tick = 0;
    m_s.Timer1(true);
}

void AggiornamentoClient::Timer1_Timer()
{
    impostaRoutine(QStringLiteral("frmMain"), QStringLiteral("Timer1_Timer"));
    try {
        if (!FaseDownload) {
            eliminaSeEsiste(inCartella("zol1.exe"));
            eliminaSeEsiste(fileTemp());
            scriviImpostazioni(QStringLiteral("CLI_AGG.zip"));
            m_s.eventi();
            m_s.avviaProgramma(inCartellaProgramma(QStringLiteral("ZOL.EXE")), StileFinestra::Nascosta);
            FaseDownload = true;
            m_tick = 0;
            return;
        }
        if (!QFileInfo::exists(fileTemp())) {
            // The archive never came: given up, tried again at the next start.
            if (++m_tick * IntervalloTimer >= m_s.attesaMassimaMs)
                spegni();
            return;
        }
        if (!attendiRilascio(fileTemp())) {
            spegni();
            return;
        }
        m_s.attendi(200);
        m_s.eventi();
        if (QFileInfo(fileTemp()).size() < DimensioneMinima || !m_s.archivioValido(fileTemp())) {
            // An error page or no archive: no marker, the next start tries
            // again, and the terminal client goes on running.
            spegni();
            return;
        }
        m_s.CercaProcesso(QStringLiteral("Kelvoria.exe"), true);
        // Stopped, the terminal client is started again whatever happens.
        const QString client = inCartellaProgramma(QStringLiteral("kelvoria.exe"));
        try {
            m_s.attendi(200);
            m_s.eventi();
            m_s.EstraiInCartella(fileTemp());
            m_s.attendi(200);
            m_s.eventi();
        } catch (...) {
            try {
                m_s.avviaProgramma(client, StileFinestra::RidottaConFuoco);
            } catch (const ErroreVB &) {
            }
            throw;
        }
        m_s.avviaProgramma(client, StileFinestra::RidottaConFuoco);
        spegni();
        creaMarcatore("agg1.tst");
    } catch (const ErroreVB &e) {
        // The job in the window is not the update's: the update stops, the
        // job stays.
        spegni();
        mostraErroreRoutine(e);
    }
}

} // namespace vorpla
