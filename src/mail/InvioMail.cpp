#include "InvioMail.h"

#include "common/Avanzamento.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/LettoreRighe.h"
#include "common/ModPubblico.h"
#include "common/StatoLavoro.h"

#include <QFileInfo>
#include <QSaveFile>

namespace vorpla {

bool InvioMail::esegui(const Finestra &finestra)
{
    StatoLavoro &job = lavoro();
    const QString fileIngresso = job.FileIngresso;
    if (spostaFinestra)
        spostaFinestra();
    CorsaLunga corsa(finestra.indice == 1 ? QStringLiteral("Invio fax") : QStringLiteral("Invio e-mail"));
    if (job.ContaFax > 1) {
        lotto(finestra);
    } else if (!invioSingolo(finestra)) {
        return false;
    }
    job.FileIngresso = fileIngresso;
    if (cursoreOccupato)
        cursoreOccupato(false);
    if (!ElencoNonInviati.trimmed().isEmpty() && mostraReport)
        mostraReport(ElencoNonInviati);
    return true;
}

bool InvioMail::invioSingolo(const Finestra &f)
{
    StatoLavoro &job = lavoro();
    if (abilitaFinestra)
        abilitaFinestra(false);
    struct Riabilita
    {
        const std::function<void(bool)> &a;
        ~Riabilita()
        {
            if (a)
                a(true);
        }
    } riabilita{abilitaFinestra};
    if (f.anteprimaQualita)
        CreaPdf(job.FileIngresso);
    else
        pdfRapido();
    if (!QFileInfo::exists(KV_GetTempPath() + trovanome(job.FileIngresso) + QStringLiteral(".PDF")))
        return false;
    if (f.indice == 1)
        job.IndirizzoMail = f.NumeroFax;
    if (progresso)
        progresso(1, 1);
    segnalaAvanzamento(QStringLiteral("Documento 1 di 1"), 0, 1);
    Spedisci_Mail(f.allegato);
    return true;
}

void InvioMail::lotto(const Finestra &f)
{
    StatoLavoro &job = lavoro();
    if (cursoreOccupato)
        cursoreOccupato(true);
    const QString T = KV_GetTempPath();
    QByteArray testata, documento;
    qint16 k = -1, j = 0, righe = 0;
    QString nome;
    bool fineDocumento = false, ccli = false, senzaIndirizzo = false;

    LettoreRighe lettore(job.FileIngresso);
    QByteArrayView letta;
    bool altra = lettore.prossima(letta);
    while (altra) {
        const QByteArray riga = senzaSpaziFinali(letta).toByteArray();
        altra = lettore.prossima(letta);
        const bool ultima = !altra;
        ++righe;
        const QByteArrayView m = QByteArrayView(riga).first(qMin<qsizetype>(5, riga.size()));
        const QString valore = testoDaByte(QByteArrayView(riga).sliced(qMin<qsizetype>(6, riga.size())));
        const bool intestazione = m == "@COPI" || m == "@LARG";
        if (m == "@EMAI" && f.indice == 0)
            job.IndirizzoMail = SostituisciDominio(valore.trimmed());
        else if (m == "@EMA2" && f.indice == 0 && !valore.trimmed().isEmpty())
            job.IndirizzoMail += u';' + SostituisciDominio(valore.trimmed());
        else if (m == "@FAXN" && f.indice == 1)
            job.IndirizzoMail = SostituisciDominio(f.FaxPrima + senzaAlcunoSpazio(valore) + f.FaxDopo);
        else if (m == "@FAXD")
            nome = valore;
        else if (intestazione)
            testata += riga + "\r\n";
        else if (m == "@CCLI")
            ccli = true;
        else if (m == "@FAXS")
            fineDocumento = true;

        if (m != "@FAXS" && !ultima) {
            if (!intestazione)
                documento += riga + "\r\n";
            continue;
        }

        if (fineDocumento)
            k = 1;
        const QString file = T + QStringLiteral("Documento%1.stx").arg(int(k), 4, 10, QLatin1Char('0'));
        ++j;
        if (j <= job.ContaFax) {
            // Only a document of the batch is a customer without mail: the
            // text after the last "@FAXS" is none, and its customer (the
            // last document's, already mailed) is not listed again.
            if (job.IndirizzoMail.isEmpty() && job.ContaInt > 1 && righe > 1) {
                job.ClientiSenzaMail += nome + QStringLiteral("\r\n");
                senzaIndirizzo = true;
            }
            QSaveFile uscita(file);
            const QByteArray testo = testata + "\r\n" + documento + "\r\n";
            if (!uscita.open(QIODevice::WriteOnly) || uscita.write(testo) != testo.size() || !uscita.commit())
                throw ErroreVB(uscita.error() == QFileDevice::PermissionsError ? Err::PermessoNegato : Err::AccessoPercorso,
                               QStringLiteral("Path/File access error: %1").arg(file));
            job.FileIngresso = file;
            if (progresso)
                progresso(j, job.ContaFax);
            segnalaAvanzamento(QStringLiteral("Documento %1 di %2").arg(j).arg(job.ContaFax), j - 1, job.ContaFax);
            if (senzaIndirizzo || (job.IndirizzoMail.isEmpty() && f.inviaTutti)) {
                ElencoNonInviati += nome + QStringLiteral("\r\n");
                senzaIndirizzo = false;
            } else {
                if (f.anteprimaQualita && !ccli)
                    CreaPdf(job.FileIngresso);
                else
                    pdfRapido();
                Spedisci_Mail(f.allegato);
                job.IndirizzoMail.clear();
            }
        }
        documento = riga + "\r\n";
        fineDocumento = false;
        ++k;
    }
}

} // namespace vorpla
