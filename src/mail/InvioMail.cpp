#include "InvioMail.h"

#include "RegistroInvii.h"

#include "common/Avanzamento.h"
#include "common/CartellaProgramma.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/LettoreRighe.h"
#include "common/Messaggi.h"
#include "common/ModPubblico.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"
#include "common/TabellaCaratteri.h"
#include "common/TurnoCartella.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace vorpla {

namespace {

const QString CrLf = QStringLiteral("\r\n");
// The batch's document file, without its extension.
const QString DocumentoLotto = QStringLiteral("Documento0001");
// The copies handed to a mail client's compose window live this long.
constexpr qint64 DurataCopieSecondi = 24 * 60 * 60;

// The messages shown while one document is made and sent, kept as the
// reason it failed; shown as well when `inoltra` (a single send), else only
// kept (a batch reports them at its end instead of stopping at each one).
class MessaggiRaccolti : public Messaggi
{
public:
    explicit MessaggiRaccolti(bool inoltra) : m_inoltra(inoltra), m_precedente(impostaMessaggi(this)) {}
    ~MessaggiRaccolti() override { impostaMessaggi(m_precedente); }
    MessaggiRaccolti(const MessaggiRaccolti &) = delete;
    MessaggiRaccolti &operator=(const MessaggiRaccolti &) = delete;

    Risposta mostra(const QString &testo, Pulsanti pulsanti, const QString &titolo) override
    {
        testi << testo;
        if (m_inoltra)
            return m_precedente->mostra(testo, pulsanti, titolo);
        // Nobody to answer: the choice that keeps things where they are.
        return pulsanti == Pulsanti::Ok ? Risposta::Ok : pulsanti == Pulsanti::SiNo ? Risposta::No : Risposta::Annulla;
    }
    QStringList testi;

private:
    bool m_inoltra;
    Messaggi *m_precedente;
};

// A text on one line, for the report and the lines of the mail command.
QString suUnaRiga(QString testo)
{
    testo.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
    return testo.simplified();
}

// The document's name in the lists: its customer, else its number.
QString nomeDi(const InvioMail::Documento &d)
{
    return d.cliente.isEmpty() ? QStringLiteral("Documento %1").arg(d.numero) : d.cliente;
}

// The last "@FAXD" of a single document, its customer.
QString clienteDelFile(const QString &file)
{
    LettoreRighe lettore(file);
    QByteArrayView riga;
    QString cliente;
    while (lettore.prossima(riga))
        if (riga.size() >= 5 && riga.first(5) == "@FAXD")
            cliente = testoDalHost(riga.sliced(qMin<qsizetype>(6, riga.size()))).trimmed();
    return cliente;
}

// Removes what stands at the document's PDF path (any letter case), so that
// nothing made before passes for this document's PDF.
void rimuoviPdf(const QString &pdf)
{
    for (;;) {
        const QString trovato = trovaIgnorandoMaiuscole(pdf);
        const QFileInfo info(trovato);
        if (!info.exists() && !info.isSymLink())
            return;
        if (!QFile::remove(trovato))
            throw ErroreVB(Err::PermessoNegato, descrizioneErroreVB(Err::PermessoNegato) + QStringLiteral(": ") + trovato);
    }
}

// The PDF copies handed to a mail client's compose window (NAME_n.pdf)
// older than a day: the client has long read them.
void rimuoviCopieVecchie(const QString &T)
{
    static const QRegularExpression copia(QStringLiteral("^.+_\\d{1,10}\\.pdf$"));
    const QDateTime limite = QDateTime::currentDateTime().addSecs(-DurataCopieSecondi);
    const QFileInfoList file = QDir(T).entryInfoList({QStringLiteral("*_*.pdf")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo &f : file)
        if (copia.match(f.fileName()).hasMatch() && f.lastModified() < limite)
            QFile::remove(f.filePath());
}

} // namespace

bool numeroFaxValido(const QString &numero)
{
    static const QRegularExpression forma(QStringLiteral("^[0-9 +\\-/()]*[0-9][0-9 +\\-/()]*$"));
    return forma.match(numero).hasMatch();
}

QString InvioMail::testoErrore(const ErroreVB &errore)
{
    const QString &d = errore.descrizione();
    const qsizetype separatore = d.indexOf(QStringLiteral("\r\n\r\n"));
    if (separatore < 0)
        return messaggioRoutine(errore);
    return d.left(separatore) + QStringLiteral("\r\n\r\n") + messaggioRoutine(errore.numero(), d.mid(separatore + 4));
}

int InvioMail::statoUscita() const
{
    bool temporaneo = false, mancato = false;
    for (const Documento &d : documenti) {
        if (d.esito == Esito::NonInviato)
            (d.temporaneo ? temporaneo : mancato) = true;
        else if (d.esito == Esito::SenzaIndirizzo)
            mancato = true;
    }
    return temporaneo ? 75 : mancato ? 1 : 0;
}

bool InvioMail::esegui(const Finestra &finestra)
{
    StatoLavoro &job = lavoro();
    rimuoviCopieVecchie(KV_GetTempPath());
    if (spostaFinestra)
        spostaFinestra();
    {
        // However the command ends, the job is its print file again.
        struct Ripristino
        {
            StatoLavoro &job;
            QString file;
            const std::function<void(bool)> &cursore;
            ~Ripristino()
            {
                job.FileIngresso = file;
                if (cursore)
                    cursore(false);
            }
        } ripristino{job, job.FileIngresso, cursoreOccupato};
        CorsaLunga corsa(finestra.indice == 1 ? QStringLiteral("Invio fax") : QStringLiteral("Invio e-mail"));
        if (job.ContaFax > 1)
            lotto(finestra);
        else
            invioSingolo(finestra);
    }
    if ((!ElencoNonInviati.trimmed().isEmpty() || !ElencoFalliti.isEmpty()) && mostraReport)
        mostraReport(ElencoNonInviati, ElencoFalliti);
    for (const Documento &d : documenti)
        if (d.esito == Esito::NonInviato)
            return false;
    return true;
}

void InvioMail::concluso(const Documento &d)
{
    if (d.esito == Esito::SenzaIndirizzo)
        ElencoNonInviati += nomeDi(d) + CrLf;
    else if (d.esito == Esito::NonInviato)
        ElencoFalliti += nomeDi(d) + QStringLiteral(": ") + d.motivo + CrLf;
    documenti << d;
    if (documentoConcluso)
        documentoConcluso(d);
}

void InvioMail::inviaDocumento(Documento &d, const Finestra &f, bool qualita, bool mostra)
{
    StatoLavoro &job = lavoro();
    d.destinatari = job.IndirizzoMail;
    if (f.smtp && !job.DestinatariModificati.trimmed().isEmpty())
        d.destinatari += (d.destinatari.isEmpty() ? QString() : QStringLiteral("; ")) + job.DestinatariModificati.trimmed();
    const QString pdf = KV_GetTempPath() + trovanome(job.FileIngresso) + QStringLiteral(".PDF");
    const auto nonFatto = [&](const QString &perche) {
        d.esito = Esito::NonInviato;
        d.motivo = QStringLiteral("il PDF del documento non è stato creato");
        if (!perche.isEmpty())
            d.motivo += QStringLiteral(" (") + suUnaRiga(perche) + u')';
    };
    // A failure the user has not seen yet, shown once the messages are the
    // window's again.
    QString daMostrare;
    {
        MessaggiRaccolti raccolti(mostra);
        const auto ultimo = [&] { return raccolti.testi.isEmpty() ? QString() : raccolti.testi.last(); };
        bool pdfFatto = false;
        try {
            rimuoviPdf(pdf);
            // What the interpreter fills while it draws this document.
            job.OggettoMail.clear();
            job.ElencoTitoli.clear();
            job.ElencoAllegati = QStringList{QString()};
            if (qualita)
                CreaPdf(job.FileIngresso);
            else
                pdfRapido();
            if (!esisteIgnorandoMaiuscole(pdf)) {
                // The route said why, if it could.
                nonFatto(ultimo());
                return;
            }
            pdfFatto = true;
            Spedisci_Mail(f.allegato);
            d.esito = Esito::Inviato;
        } catch (const ErroreVB &e) {
            daMostrare = testoErrore(e);
            if (!pdfFatto) {
                nonFatto(daMostrare);
            } else {
                d.esito = Esito::NonInviato;
                d.motivo = suUnaRiga(daMostrare);
                d.temporaneo = e.temporaneo();
                if (e.numero() == Err::SmtpConnessione)
                    m_serverIrraggiungibile = true;
            }
        } catch (const FineProgramma &fine) {
            // The quality route ends its job after its own message when the
            // PDF cannot be made; here that is this document's failure. A
            // user's end goes on up.
            if (fine.codice() != FineConErrore)
                throw;
            nonFatto(ultimo());
        }
    }
    if (mostra && !daMostrare.isEmpty())
        messaggi().mostra(daMostrare);
}

void InvioMail::invioSingolo(const Finestra &f)
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

    Documento d;
    d.numero = 1;
    d.cliente = clienteDelFile(job.FileIngresso);
    if (d.cliente.isEmpty())
        d.cliente = QFileInfo(job.FileIngresso).fileName();
    if (progresso)
        progresso(1, 1);
    segnalaAvanzamento(QStringLiteral("Documento 1 di 1"), 0, 1);
    if (f.indice == 1) {
        for (const QString &numero : f.numeriFax) {
            if (!numeroFaxValido(numero)) {
                const ErroreVB errore(Err::DestinatarioSconosciuto,
                                      QStringLiteral("Numero di fax non valido: \"%1\"").arg(suUnaRiga(numero)));
                d.motivo = suUnaRiga(testoErrore(errore));
                messaggi().mostra(testoErrore(errore));
                concluso(d);
                return;
            }
        }
        job.IndirizzoMail = f.NumeroFax;
    }
    // SMTP to nobody is no send: a document without an address. (The mail
    // client's compose window lets the user give one.)
    if (f.smtp && job.IndirizzoMail.trimmed().isEmpty() && job.DestinatariModificati.trimmed().isEmpty()) {
        d.esito = Esito::SenzaIndirizzo;
        concluso(d);
        return;
    }
    inviaDocumento(d, f, f.anteprimaQualita, true);
    concluso(d);
}

void InvioMail::lotto(const Finestra &f)
{
    StatoLavoro &job = lavoro();
    if (cursoreOccupato)
        cursoreOccupato(true);
    const QString T = KV_GetTempPath();
    const QString stampa = job.FileIngresso;

    // One batch at a time on the machine: the work files' names are fixed.
    TurnoCartella turno(T + QStringLiteral("InvioLotto.lock"));
    turno.prendi(attendi, [] { segnalaAvanzamento(QStringLiteral("In attesa di un altro invio di documenti")); });
    // They go when the batch ends, however it ends.
    struct Pulizia
    {
        QString base;
        ~Pulizia()
        {
            for (const char *estensione : {".stx", ".PDF", ".TTF"}) {
                const QString f = trovaIgnorandoMaiuscole(base + QLatin1String(estensione));
                if (QFileInfo(f).isFile())
                    QFile::remove(f);
            }
        }
    } pulizia{T + DocumentoLotto};

    RegistroInvii registro(stampa);
    registro.apri(f.inviaDiNuovo);

    QByteArray testata, documento;
    int k = -1, j = 0;
    qint64 righe = 0;
    QString nome, faxErrato;
    bool fineDocumento = false, ccli = false, senzaIndirizzo = false;
    // Nothing read elsewhere (start-up took the file's last "@EMAI") is a
    // document's address.
    job.IndirizzoMail.clear();

    LettoreRighe lettore(stampa);
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
        if (m == "@EMAI" && f.indice == 0) {
            job.IndirizzoMail = SostituisciDominio(valore.trimmed());
        } else if (m == "@EMA2" && f.indice == 0 && !valore.trimmed().isEmpty()) {
            job.IndirizzoMail += u';' + SostituisciDominio(valore.trimmed());
        } else if (m == "@FAXN" && f.indice == 1) {
            if (numeroFaxValido(valore)) {
                faxErrato.clear();
                job.IndirizzoMail = SostituisciDominio(f.FaxPrima + senzaAlcunoSpazio(valore) + f.FaxDopo);
            } else {
                faxErrato = valore.trimmed();
                job.IndirizzoMail.clear();
            }
        } else if (m == "@FAXD") {
            // The customer's name as the page prints it.
            nome = testoDalHost(QByteArrayView(riga).sliced(qMin<qsizetype>(6, riga.size())));
        } else if (intestazione) {
            testata += riga + "\r\n";
        } else if (m == "@CCLI") {
            ccli = true;
        } else if (m == "@FAXS") {
            fineDocumento = true;
        }

        if (m != "@FAXS" && !ultima) {
            if (!intestazione)
                documento += riga + "\r\n";
            continue;
        }

        if (fineDocumento)
            k = 1;
        const QString file = T + QStringLiteral("Documento%1.stx").arg(k, 4, 10, QLatin1Char('0'));
        ++j;
        if (j <= job.ContaFax) {
            Documento d;
            d.numero = j;
            d.cliente = nome.trimmed();
            // Only a document of the batch is a customer without mail: the
            // text after the last "@FAXS" is none.
            if (job.IndirizzoMail.isEmpty() && job.ContaInt > 1 && righe > 1 && faxErrato.isEmpty()) {
                job.ClientiSenzaMail += nome + QStringLiteral("\r\n");
                senzaIndirizzo = true;
            }
            // A work file of this batch alone (its turn held): written in
            // place, without the flush to disk a file that must survive needs.
            QFile uscita(file);
            const QByteArray testo = testata + "\r\n" + documento + "\r\n";
            if (!uscita.open(QIODevice::WriteOnly | QIODevice::Truncate) || uscita.write(testo) != testo.size()
                || !uscita.flush())
                throw ErroreVB(uscita.error() == QFileDevice::PermissionsError ? Err::PermessoNegato : Err::AccessoPercorso,
                               QStringLiteral("Path/File access error: %1").arg(file));
            uscita.close();
            job.FileIngresso = file;
            if (progresso)
                progresso(j, job.ContaFax);
            segnalaAvanzamento(QStringLiteral("Documento %1 di %2").arg(j).arg(job.ContaFax), j - 1, job.ContaFax);
            const bool nessuno = job.IndirizzoMail.isEmpty()
                                 && (f.inviaTutti || (f.smtp && job.DestinatariModificati.trimmed().isEmpty()));
            if (!faxErrato.isEmpty()) {
                d.motivo = suUnaRiga(testoErrore(ErroreVB(
                    Err::DestinatarioSconosciuto, QStringLiteral("Numero di fax non valido: \"%1\"").arg(suUnaRiga(faxErrato)))));
            } else if (senzaIndirizzo || nessuno) {
                d.esito = Esito::SenzaIndirizzo;
                senzaIndirizzo = false;
            } else if (!f.inviaDiNuovo && registro.inviato(j, testo)) {
                d.esito = Esito::GiaInviato;
                d.destinatari = job.IndirizzoMail;
                scriviErrore(QStringLiteral("vorpla: document %1 (%2) was sent by an earlier run of this print file, "
                                            "not sent again (--invia-di-nuovo sends it)")
                                 .arg(j)
                                 .arg(nomeDi(d)));
            } else if (m_serverIrraggiungibile && f.smtp) {
                d.destinatari = job.IndirizzoMail;
                d.motivo = QStringLiteral("non tentato: il server di posta non era raggiungibile");
                d.temporaneo = true;
            } else {
                inviaDocumento(d, f, f.anteprimaQualita && !ccli, false);
                if (d.esito == Esito::Inviato)
                    registro.registra(j, testo, d.destinatari);
            }
            concluso(d);
        }
        // The next document starts from nothing.
        job.IndirizzoMail.clear();
        nome.clear();
        faxErrato.clear();
        documento = riga + "\r\n";
        fineDocumento = false;
        ++k;
    }
    job.FileIngresso = stampa;
    bool tutti = true;
    for (const Documento &d : documenti)
        tutti = tutti && (d.esito == Esito::Inviato || d.esito == Esito::GiaInviato);
    // Kept only while it remembers a document that went and one that did not.
    if (tutti || registro.vuoto())
        registro.elimina();
}

} // namespace vorpla
