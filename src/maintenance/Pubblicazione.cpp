#include "Pubblicazione.h"

#include "common/Avanzamento.h"
#include "common/CartellaProgramma.h"
#include "common/ErroreVB.h"
#include "common/FileIni.h"
#include "common/FineProgramma.h"
#include "common/LettoreRighe.h"
#include "common/ModPubblico.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"
#include "common/TabellaCaratteri.h"
#include "common/TurnoCartella.h"
#include "common/Messaggi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>
#include <utility>

namespace vorpla {

namespace {

void impostaRoutinePubblica()
{
    impostaRoutine(QStringLiteral("frmMain"), QStringLiteral("CmdPub_Click"));
}

// The routine message of a failed document, naming it.
void segnala(int numero, const QString &documento)
{
    impostaRoutinePubblica();
    mostraErroreRoutine(ErroreVB(numero, descrizioneErroreVB(numero) + QStringLiteral(": ") + documento));
}

// What the file names of a document add to its codes: the longest
// extension and the temporary name a whole-file write uses beside it.
constexpr int MargineNome = 16;

// The routine message of a document refused, naming it.
QString messaggioDocumento(int numero, const QString &testo)
{
    impostaRoutinePubblica();
    return messaggioRoutine(numero, descrizioneErroreVB(numero) + QStringLiteral(": ") + testo);
}

// A new file replacing `percorso` whole, or nothing changed.
bool scriviIntero(const QString &percorso, const QByteArray &contenuto)
{
    QSaveFile file(percorso);
    return file.open(QIODevice::WriteOnly) && file.write(contenuto) == contenuto.size() && file.commit();
}

} // namespace

QString parteDiNome(const QString &valore)
{
    QString parte = valore;
    for (QChar &c : parte)
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20)
            c = u'_';
    if (parte == QLatin1String(".") || parte == QLatin1String(".."))
        parte.fill(u'_');
    return parte;
}

int Pubblicazione::CmdPub_Click()
{
    impostaRoutinePubblica();
    const QString temp = KV_GetTempPath();
    const QString lavoroRF = temp + QStringLiteral("RF");
    // One publishing at a time on the machine: the work folder and the PDFs
    // in the temporary folder have fixed names.
    TurnoCartella turno(temp + QStringLiteral("RF.lock"));
    turno.prendi(m_s.attendi, [] { segnalaAvanzamento(QStringLiteral("In attesa di un'altra pubblicazione")); });
    // The work folder holds this run's documents only: what an earlier run
    // (or anyone) left there goes first.
    if (KV_DirExists(lavoroRF))
        QDir(lavoroRF).removeRecursively();
    if (!QDir().mkpath(lavoroRF))
        throw ErroreVB(QFileInfo(temp).isDir() ? Err::PermessoNegato : Err::PercorsoNonTrovato);
    const QString stampa = lavoro().FileIngresso;
    // However the run ends, the work folder goes and the job is the print
    // file again.
    struct Pulizia
    {
        QString cartella, stampa;
        ~Pulizia()
        {
            lavoro().FileIngresso = stampa;
            QDir(cartella).removeRecursively();
        }
    } pulizia{lavoroRF, stampa};

    // One file a document, named by the codes current at its "@FAXS" line.
    // A name another document of the run already has is that document's
    // only when the four codes are the same (the same document again: the
    // later one is published); otherwise the later document is refused,
    // never put in the other's place. A name the file system cannot hold is
    // its document's failure.
    struct Voce
    {
        QString nome;       // "<CCLI><MMRI><AARI><RFRI>.stx"
        QStringList codici; // the four values
        int numero = 0;     // of its first document
    };
    QList<Voce> voci;
    QStringList rifiutati; // messages of the documents refused here
    const long nomeMassimo = [&] {
        const long n = ::pathconf(QFile::encodeName(lavoroRF).constData(), _PC_NAME_MAX);
        return n > 0 ? n : 255;
    }();
    QString ccli, rfri;
    {
        LettoreRighe lettore(stampa);
        QByteArray documento;
        QByteArrayView riga;
        int numero = 0;
        while (lettore.prossima(riga)) {
            const QByteArrayView codice = riga.first(qMin<qsizetype>(5, riga.size()));
            // The four codes name the files as the page would print them.
            const QString valore = riga.size() > 6 ? testoDalHost(riga.sliced(6)).trimmed() : QString();
            if (codice == "@CCLI")
                ccli = valore;
            else if (codice == "@AARI")
                m_aari = valore;
            else if (codice == "@MMRI")
                m_mmri = valore;
            else if (codice == "@RFRI")
                rfri = valore;
            else {
                documento += riga.toByteArray() + "\r\n";
                if (codice == "@FAXS") {
                    ++numero;
                    const QStringList codici{ccli, m_mmri, m_aari, rfri};
                    const QString base = parteDiNome(ccli) + parteDiNome(m_mmri) + parteDiNome(m_aari) + parteDiNome(rfri);
                    const QString nome = base + QStringLiteral(".stx");
                    const QString descrizione = QStringLiteral("documento %1 (@CCLI \"%2\" @MMRI \"%3\" @AARI \"%4\" @RFRI \"%5\")")
                                                    .arg(numero)
                                                    .arg(ccli, m_mmri, m_aari, rfri);
                    const QByteArray testo = std::exchange(documento, QByteArray());
                    if (QFile::encodeName(base).size() + MargineNome > nomeMassimo) {
                        rifiutati << messaggioDocumento(Err::NomeFileErrato,
                                                        QStringLiteral("il nome del %1 è troppo lungo per il file system")
                                                            .arg(descrizione));
                        continue;
                    }
                    qsizetype uguale = -1;
                    for (qsizetype i = 0; i < voci.size(); ++i)
                        if (voci[i].nome.compare(nome, Qt::CaseInsensitive) == 0)
                            uguale = i;
                    if (uguale >= 0 && voci[uguale].codici != codici) {
                        rifiutati << messaggioDocumento(
                            Err::FileGiaEsistente, QStringLiteral("%1.PDF: il %2 avrebbe lo stesso nome del documento %3")
                                                       .arg(base, descrizione)
                                                       .arg(voci[uguale].numero));
                        continue;
                    }
                    if (!scriviIntero(lavoroRF + u'/' + (uguale >= 0 ? voci[uguale].nome : nome), testo))
                        throw ErroreVB(Err::PermessoNegato, descrizioneErroreVB(Err::PermessoNegato) + QStringLiteral(": ") + nome);
                    if (uguale < 0)
                        voci << Voce{nome, codici, numero};
                }
            }
        }
    }

    const QString radice = separatoriLinux(LeggiIni(QStringLiteral("PUBBLICA"), QStringLiteral("PERCORSO"), fileIni()));
    if (radice.trimmed().isEmpty()) {
        // Without a root the year folder would land at the file system's.
        throw ErroreVB(Err::PercorsoNonTrovato, descrizioneErroreVB(Err::PercorsoNonTrovato)
                                                    + QStringLiteral(": [PUBBLICA] PERCORSO"));
    }
    const bool mese = LeggiIni(QStringLiteral("PUBBLICA"), QStringLiteral("TIPO"), fileIni()).toLower()
                      == QLatin1String("mese");
    QString cartella = radice + u'/' + parteDiNome(m_aari);
    if (mese)
        cartella += u'/' + parteDiNome(m_mmri);

    int falliti = 0;
    for (const QString &m : std::as_const(rifiutati)) {
        impostaRoutinePubblica();
        messaggi().mostra(m);
        ++falliti;
    }
    CorsaLunga corsa(QStringLiteral("Pubblicazione"));
    for (int k = 0; k < voci.size(); ++k) {
        if (m_s.progresso)
            m_s.progresso(k + 1, int(voci.size()));
        segnalaAvanzamento(QStringLiteral("Documento %1 di %2").arg(k + 1).arg(voci.size()), k, int(voci.size()));
        if (!pubblicaDocumento(voci.at(k).nome, cartella, mese))
            ++falliti;
    }
    impostaRoutinePubblica();
    return falliti;
}

bool Pubblicazione::pubblicaDocumento(const QString &nome, const QString &cartella, bool mese)
{
    const QString temp = KV_GetTempPath();
    const QString documento = temp + QStringLiteral("RF/") + nome;
    const QString pdfAtteso = temp + nome.left(nome.size() - 3) + QStringLiteral("PDF");
    try {
        // Nothing made before passes for this document's PDF.
        for (QString vecchio = trovaIgnorandoMaiuscole(pdfAtteso); QFileInfo::exists(vecchio) || QFileInfo(vecchio).isSymLink();
             vecchio = trovaIgnorandoMaiuscole(pdfAtteso))
            if (!QFile::remove(vecchio))
                throw ErroreVB(Err::PermessoNegato);
        if (mese) {
            lavoro().FileIngresso = documento;
            const QString fatto = m_s.pdfMese(documento);
            m_s.eventi();
            m_s.attendi(200);
            if (fatto.isEmpty()) {
                // The PDF output form has shown why.
                segnala(Err::FileNonTrovato, nome);
                return false;
            }
        } else {
            m_s.CreaPdf(documento);
        }
    } catch (const ErroreVB &e) {
        segnala(e.numero(), nome);
        return false;
    } catch (const FineProgramma &f) {
        // The quality route ends a PDF-only job after its message; here it
        // is one document that failed. A user's end goes on up.
        if (f.codice() != FineConErrore)
            throw;
        segnala(Err::FileNonTrovato, nome);
        return false;
    }
    const QString pdf = trovaIgnorandoMaiuscole(temp + nome.left(nome.size() - 3) + QStringLiteral("PDF"));
    QFile origine(pdf);
    if (!origine.open(QIODevice::ReadOnly)) {
        segnala(Err::FileNonTrovato, nome);
        return false;
    }
    const QByteArray contenuto = origine.readAll();
    origine.close();
    if (!QDir().mkpath(cartella)) {
        segnala(QFileInfo(QFileInfo(cartella).absolutePath()).isDir() ? Err::PermessoNegato : Err::PercorsoNonTrovato,
                nome);
        return false;
    }
    if (!scriviIntero(cartella + u'/' + QFileInfo(pdf).fileName(), contenuto)) {
        segnala(Err::PermessoNegato, nome);
        return false;
    }
    QFile::remove(pdf);
    return true;
}

} // namespace vorpla
