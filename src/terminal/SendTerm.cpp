#include "SendTerm.h"

#include "Appunti.h"
#include "StatoTerminale.h"
#include "Versione.h"

#include "common/Attesa.h"
#include "common/CartellaProgramma.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/LettoreRighe.h"
#include "common/Messaggi.h"
#include "common/ModPubblico.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"
#include "maintenance/VBZipBas.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <functional>
#include <new>

namespace vorpla {

namespace {

constexpr char FormatoZip[] = "KV_ZIP";
// The application-defined error base, and the clipboard module's errors.
constexpr int ErroreAppunti = int(0x80040000u);
const QString DescrizioneAllocazione = QStringLiteral("modClipBoard::SetClipboardData() - Failed to allocate ")
                                       + QStringLiteral("memory in the clipboard");
const QString DescrizioneApertura = QStringLiteral("modClipBoard::SetClipboardData() - Failed to open ")
                                    + QStringLiteral("the clipboard");

QString ora()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

// The file of a caller code. This program's folder may be set apart from its
// executable (VORPLA_HOME): without a "vorpla" there, its own executable is
// the caller's program.
QString fileDelChiamante(const QString &codice)
{
    const QString percorso = trovaIgnorandoMaiuscole(inCartellaProgramma(KV_GetChiamante(codice)));
    if (codice == QLatin1String("VORPLA") && !QFileInfo(percorso).isFile())
        return QCoreApplication::applicationFilePath();
    return percorso;
}

// The copy of the print file the client receives: its first line replaced by
// the two header lines, every other line without its trailing blanks.
void scriviCopiaTrasferimento(const QString &stampa, const QString &copia, const QString &strChiamante,
                              const QString &strVersione, const std::function<void()> &traLeTestate)
{
    QSaveFile file(copia);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw ErroreVB(Err::AccessoPercorso);
    const QByteArray prima = aWindows1252(QStringLiteral("@ULKA=") + strChiamante);
    file.write(senzaSpaziFinali(prima).toByteArray() + "\r\n");
    traLeTestate();
    file.write(aWindows1252(QStringLiteral("@VERSIONE=") + strVersione) + "\r\n");
    LettoreRighe lettore(stampa);
    QByteArrayView riga;
    bool primaRiga = true;
    while (lettore.prossima(riga)) {
        if (primaRiga) {
            primaRiga = false;
            continue;
        }
        file.write(senzaSpaziFinali(riga).toByteArray() + "\r\n");
    }
    if (!file.commit())
        throw ErroreVB(Err::ErroreIO);
}

} // namespace

// The log of one call: a line at a time, flushed, so it tells how far a call
// that ended the program got. A log that cannot be written is no failure of
// the transfer.
class SendTerm::Registro
{
public:
    explicit Registro(const QString &percorso) : m_file(percorso)
    {
        m_aperto = m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    void riga(const QString &testo)
    {
        if (!m_aperto)
            return;
        m_file.write(testo.toUtf8() + "\r\n");
        m_file.flush();
    }
    void chiudi() { m_file.close(); m_aperto = false; }

private:
    QFile m_file;
    bool m_aperto = false;
};

QByteArray bloccoAppunti(const QByteArray &archivio)
{
    const quint32 lunghezza = quint32(archivio.size()) + 2;
    QByteArray blocco(qsizetype(lunghezza) + 6, '\0');
    qToLittleEndian<quint16>(17, blocco.data());
    qToLittleEndian<quint32>(lunghezza, blocco.data() + 2);
    std::copy(archivio.cbegin(), archivio.cend(), blocco.begin() + 7);
    return blocco;
}

QString KV_GetChiamante(const QString &codice)
{
    if (codice == QLatin1String("VORPLA"))
        return QStringLiteral("vorpla");
    return {};
}

QString SendTerm::FormatID(const QString &nomeFormato)
{
    auto trovato = m_formati.constFind(nomeFormato);
    if (trovato != m_formati.constEnd())
        return *trovato;
    return *m_formati.insert(nomeFormato, m_appunti.registraFormato(nomeFormato));
}

void SendTerm::mettiInAppunti(const QString &archivio, Registro &log, bool copiaPayload)
{
    const QString id = FormatID(QLatin1String(FormatoZip));
    QByteArray contenuto;
    QFile file(archivio);
    if (file.open(QIODevice::ReadOnly))
        contenuto = file.readAll();
    const qsizetype lunghezza = contenuto.size() + 2;
    log.riga(QStringLiteral("Creato file compresso:----------------------"));
    log.riga(QStringLiteral("UBound(bytClipB)=%1").arg(lunghezza - 1));
    log.riga(QStringLiteral("LBound(bytClipB)=0"));
    log.riga(QStringLiteral("lunghezza vettore=%1").arg(lunghezza));

    QByteArray blocco;
    try {
        blocco = bloccoAppunti(contenuto);
    } catch (const std::bad_alloc &) {
        throw ErroreVB(ErroreAppunti, DescrizioneAllocazione);
    }
    const quintptr indirizzo = quintptr(blocco.constData());
    log.riga(QStringLiteral("ID per <KV_ZIP>= ") + id);
    log.riga(QStringLiteral("Indirizzo Memoria Allocata (lngGlobalHandle)=%1").arg(indirizzo));
    log.riga(QStringLiteral("Memoria Lockata (lngGlobalPtr)=%1").arg(indirizzo));
    log.riga(QStringLiteral("primo valore vettore ( byteClipB(LBound(bytClipB)) )=%1").arg(int(blocco.at(6))));
    if (copiaPayload) {
        // What went on the clipboard after its leading 0, for the help desk
        // to compare with what the client received; replaced whole, so an
        // older, longer dump leaves nothing behind.
        QSaveFile dump(QDir::current().filePath(QStringLiteral("pivlo.zzz")));
        dump.setDirectWriteFallback(true);
        if (dump.open(QIODevice::WriteOnly)) {
            dump.write(blocco.constData() + 7, blocco.size() - 7);
            dump.commit();
        }
    }
    if (!m_appunti.apri()) {
        log.riga(QStringLiteral("ERRORE -4: non è riuscito ad aprire la clipboard"));
        log.riga(QStringLiteral("risultato di GlobalFree=0"));
        throw ErroreVB(ErroreAppunti, DescrizioneApertura);
    }
    log.riga(QStringLiteral("Risultato di GlobalUnLock (lngRet)=0"));
    m_appunti.impostaDati(id, blocco);
    log.riga(QStringLiteral("ClipBoard chiusa----------------------"));
    log.riga(QStringLiteral("Risultato di Close Clipboard=1"));
    log.riga(QStringLiteral("Risultato di SetClipboardData (lngGlobalHandle)=%1").arg(indirizzo));
    log.chiudi();
}

qint16 SendTerm::StartST(const QString &strNomeFile, const QString &strTmpPath, const QString &strChiamante,
                         const QString &strVersione, bool Comprimere)
{
    impostaRoutine(QStringLiteral("sendterm"), QStringLiteral("StartST"));
    Registro log(strTmpPath + QStringLiteral("SendTerm.log"));
    try {
        m_appunti.svuota();
        const QString nome = trovanome(lavoro().FileIngresso);
        impostaRoutine(QStringLiteral("sendterm"), QStringLiteral("StartST"));
        const QString strTmpFile = strTmpPath + nome + QStringLiteral(".tmp");
        const QString strCmpFile = strTmpPath + nome + QStringLiteral(".cmp");
        log.riga(ora());
        log.riga(QStringLiteral("strTmpPath=") + strTmpPath);
        log.riga(QStringLiteral("strTmpFile=") + strTmpFile);
        log.riga(QStringLiteral("strCmpFile=") + strCmpFile);
        if (strNomeFile.isEmpty() || !QFileInfo(strNomeFile).isFile()) {
            messaggi().mostra(QStringLiteral("[SendTerm.dll]: Parametro errato; richiesto nome file esistente!"));
            return -1;
        }
        scriviCopiaTrasferimento(strNomeFile, strTmpFile, strChiamante, strVersione, [&] {
            const QString programma = fileDelChiamante(strChiamante);
            KV_GetVersion(programma);
            log.riga(QStringLiteral("Versione di: ") + programma + QStringLiteral(" = ") + strVersione);
        });
        if (Comprimere) {
            TabellaNomiZip nomi;
            nomi[0] = strTmpFile;
            nomi[1] = strTmpFile;
            eseguiSenzaBloccare([&] { VBZip(2, strCmpFile, nomi, 0, 0, 0, 0, QStringLiteral("c:\\")); }, m_attendi);
        }
        mettiInAppunti(strCmpFile, log, false);
        return 1;
    } catch (const ErroreVB &e) {
        log.riga(lavoro().NomeRoutine);
        log.riga(QStringLiteral("Errore -2: errore da VB(StartST)") + e.descrizione() + QStringLiteral(" nR.")
                 + QString::number(e.numero()) + QStringLiteral(" Nome:") + strNomeFile);
        return -2;
    } catch (const std::bad_alloc &) {
        log.riga(lavoro().NomeRoutine);
        log.riga(QStringLiteral("Errore -2: errore da VB(StartST)Out of memory nR.7 Nome:") + strNomeFile);
        return -2;
    }
}

qint16 SendTerm::SendFile(const QString &strNomeFile, const QString &strTmpPath, bool Comprimere)
{
    impostaRoutine(QStringLiteral("sendterm"), QStringLiteral("SendFile"));
    Registro log(strTmpPath + QStringLiteral("SendFile.log"));
    const QString strCmpFile = strTmpPath + QStringLiteral("kvSend.cmp");
    try {
        m_appunti.svuota();
        log.riga(ora());
        log.riga(QStringLiteral("strTmpPath=") + strTmpPath);
        log.riga(QStringLiteral("strNomeFile=") + strNomeFile);
        log.riga(QStringLiteral("strCmpFile=") + strCmpFile);
        if (strNomeFile.isEmpty() || !QFileInfo(strNomeFile).isFile()) {
            messaggi().mostra(QStringLiteral("[SendTerm.dll]: Parametro errato; richiesto nome file esistente!"));
            return -1;
        }
        if (Comprimere) {
            TabellaNomiZip nomi;
            int conta = 0;
            nomi[conta++] = strNomeFile;
            if (statoTerminale().ConFont) {
                const QDir cartella(cartellaProgramma());
                const QStringList font = cartella.entryList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Unsorted);
                for (const QString &f : font) {
                    if (conta >= int(nomi.size()))
                        throw ErroreVB(Err::IndiceFuoriIntervallo);
                    nomi[conta++] = inCartellaProgramma(f);
                }
            } else {
                nomi[conta++] = strNomeFile;
            }
            // The program and its fonts: megabytes to deflate.
            eseguiSenzaBloccare([&] { VBZip(qint16(conta), strCmpFile, nomi, 0, 0, 0, 0, QStringLiteral("c:\\")); },
                                m_attendi);
        }
        mettiInAppunti(strCmpFile, log, true);
        return 1;
    } catch (const ErroreVB &e) {
        log.riga(QStringLiteral("Errore -2(send file): errore da VB") + QString::number(e.numero()) + u' '
                 + e.descrizione());
        return -2;
    } catch (const std::bad_alloc &) {
        log.riga(QStringLiteral("Errore -2(send file): errore da VB7 Out of memory"));
        return -2;
    }
}

} // namespace vorpla
