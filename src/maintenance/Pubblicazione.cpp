#include "Pubblicazione.h"

#include "common/Avanzamento.h"
#include "common/CartellaProgramma.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/FileIni.h"
#include "common/FineProgramma.h"
#include "common/LettoreRighe.h"
#include "common/ModPubblico.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    if (!KV_DirExists(lavoroRF) && !QDir().mkpath(lavoroRF))
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
    QString ccli, rfri;
    {
        LettoreRighe lettore(stampa);
        QByteArray documento;
        QByteArrayView riga;
        while (lettore.prossima(riga)) {
            const QByteArrayView codice = riga.first(qMin<qsizetype>(5, riga.size()));
            const QString valore = riga.size() > 6 ? testoDaByte(riga.sliced(6)).trimmed() : QString();
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
                    const QString nome = parteDiNome(ccli) + parteDiNome(m_mmri) + parteDiNome(m_aari)
                                         + parteDiNome(rfri) + QStringLiteral(".stx");
                    if (!scriviIntero(lavoroRF + u'/' + nome, documento))
                        throw ErroreVB(Err::PermessoNegato, descrizioneErroreVB(Err::PermessoNegato) + QStringLiteral(": ") + nome);
                    documento.clear();
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

    const QStringList nomi = QDir(lavoroRF).entryList({QStringLiteral("*.STX")}, QDir::Files | QDir::Hidden, QDir::Unsorted);
    int falliti = 0;
    CorsaLunga corsa(QStringLiteral("Pubblicazione"));
    for (int k = 0; k < nomi.size(); ++k) {
        if (m_s.progresso)
            m_s.progresso(k + 1, int(nomi.size()));
        segnalaAvanzamento(QStringLiteral("Documento %1 di %2").arg(k + 1).arg(nomi.size()), k, int(nomi.size()));
        if (!pubblicaDocumento(nomi.at(k), cartella, mese))
            ++falliti;
    }
    impostaRoutinePubblica();
    return falliti;
}

bool Pubblicazione::pubblicaDocumento(const QString &nome, const QString &cartella, bool mese)
{
    const QString temp = KV_GetTempPath();
    const QString documento = temp + QStringLiteral("RF/") + nome;
    try {
        if (mese) {
            lavoro().FileIngresso = documento;
            m_s.pdfMese(documento);
            m_s.eventi();
            m_s.attendi(200);
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
