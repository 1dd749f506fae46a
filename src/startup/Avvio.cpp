#include "Avvio.h"

#include "common/FileRegolare.h"

#include "FormMain.h"
#include "ScansioneIntestazione.h"
#include "common/CartellaProgramma.h"
#include "common/ErroreVB.h"
#include "common/FileIni.h"
#include "common/FineProgramma.h"
#include "common/Messaggi.h"
#include "common/ModPubblico.h"
#include "common/Routine.h"
#include "common/Stampanti.h"
#include "common/StatoLavoro.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace vorpla {

namespace {

// Attempts at creating the PDF report component before giving up.
constexpr int TentativiPdfReport = 11;

QString chiaveIni(const char *sezione, const char *chiave)
{
    return LeggiIni(QString::fromLatin1(sezione), QString::fromLatin1(chiave), fileIni());
}

// Left(testo, Len(testo) - n), failing as the platform does when the text is
// shorter than n.
QString senzaUltimi(const QString &testo, int n)
{
    if (testo.size() < n)
        throw ErroreVB(Err::ChiamataNonValida);
    return testo.left(testo.size() - n);
}

} // namespace

Avvio::Avvio(FormMain &form, ServiziAvvio servizi)
    : m_form(form), m_s(std::move(servizi))
{
}

QStringList Avvio::dividi(const QString &rigaComando)
{
    if (rigaComando.isEmpty())
        return {};
    return rigaComando.split(u' ', Qt::KeepEmptyParts);
}

void Avvio::esegui(const QString &rigaComando)
{
    m_riga = rigaComando;
    using Passo = void (Avvio::*)();
    static constexpr Passo passi[] = {
        &Avvio::passo1,  &Avvio::passo2,  &Avvio::passo3,  &Avvio::passo4,  &Avvio::passo5,  &Avvio::passo6,
        &Avvio::passo7,  &Avvio::passo8,  &Avvio::passo9,  &Avvio::passo10, &Avvio::passo11, &Avvio::passo12,
        &Avvio::passo13, &Avvio::passo14, &Avvio::passo15, &Avvio::passo16, &Avvio::passo17, &Avvio::passo18,
        &Avvio::passo19, &Avvio::passo20, &Avvio::passo21, &Avvio::passo22,
    };
    for (const Passo passo : passi) {
        try {
            (this->*passo)();
        } catch (const ErroreVB &errore) {
            // A folder that does not exist only costs its own step.
            if (errore.numero() == Err::PercorsoNonTrovato)
                continue;
            mostraErroreRoutine(errore);
            mostraFinestra();
            return;
        }
    }
    m_completato = true;
    mostraFinestra();
}

void Avvio::mostraFinestra()
{
    m_form.visibile = !m_nascosta;
    m_form.aggiorna();
}

// 1. Routine name; the program folder becomes the current folder.
void Avvio::passo1()
{
    impostaRoutine(QStringLiteral("frmMain"), QStringLiteral("Form_Load"));
    if (!QDir::setCurrent(cartellaProgramma()))
        throw ErroreVB(Err::PercorsoNonTrovato);
}

// 2. "DEBUG" anywhere in the command line (letter case counts) turns the
// interpreter's log on.
void Avvio::passo2()
{
    lavoro().ModoDebug = m_riga.contains(QStringLiteral("DEBUG"));
}

// 3. The terminal client runs here: bring it up to date.
void Avvio::passo3()
{
    if (m_s.CercaProcesso(QStringLiteral("kelvoria.exe"), false))
        m_s.AggiornaClient();
}

// 4. Whether the quality preview can be offered, installing the PDF printer
// when its archive has been placed in the program folder.
void Avvio::passo4()
{
    Controllo &check2 = m_form.controllo(QStringLiteral("Check2"));
    if (FamigliaWindows().startsWith(u'1')) {
        check2.visibile = false;
        return;
    }
    if (KV_DirExists(trovaIgnorandoMaiuscole(inCartellaProgramma(QStringLiteral("DRIVERS"))))) {
        check2.visibile = true;
        return;
    }
    const QString archivio = trovaIgnorandoMaiuscole(inCartellaProgramma(QStringLiteral("PDFPrinter.ZIp")));
    if (!QFileInfo(archivio).isFile())
        return;
    m_form.visibile = true;
    m_form.aggiorna();
    m_s.cursoreOccupato(true);
    m_s.eventi();
    m_s.EstraiInCartella(archivio, cartellaProgramma());
    m_s.eventi();
    m_s.attendi(500);
    m_s.avviaProgramma(inCartellaProgramma(QStringLiteral("ZORV_PRADELK.EXE")));
    m_s.eventi();
    m_s.attendi(500);
    m_s.cursoreOccupato(false);
    m_s.eventi();
    // Check2 stays hidden: after an installation it shows from the next start.
}

// 5. The user's printer is the current (default) one.
void Avvio::passo5()
{
    lavoro().DispositivoRegistrato = m_s.stampanti->corrente();
    lavoro().PdfReportDisponibile = true;
}

// 6. The PDF report component can be created (it is registered).
void Avvio::passo6()
{
    int tentativi = 0;
    for (;;) {
        try {
            m_s.creaPdfReport();
            return;
        } catch (const ErroreVB &errore) {
            if (errore.numero() != Err::ComponenteNonCreabile)
                throw;
        }
        const QString dll = trovaIgnorandoMaiuscole(inCartellaProgramma(QStringLiteral("PDFReportOCX.dll")));
        if (!QFileInfo(dll).isFile()) {
            // No component: the PDF-making mail and fax commands are off.
            m_form.controllo(QStringLiteral("cmdEmail(0)")).abilitato = false;
            m_form.controllo(QStringLiteral("cmdEmail(1)")).abilitato = false;
            lavoro().PdfReportDisponibile = false;
            return;
        }
        if (++tentativi >= TentativiPdfReport) {
            messaggi().mostra(QStringLiteral("Impossibile registrare PDFREPORTOCX.DLL!"));
            fine(FineConErrore);
        }
        m_s.registraPdfReport(dll);
        QDir temp(KV_GetTempPath());
        for (const QString &nome : temp.entryList(QDir::Files)) {
            if (nome.endsWith(QStringLiteral(".PDF"), Qt::CaseInsensitive))
                temp.remove(nome);
        }
        m_s.eventi();
    }
}

// 7. Always on top, in the top-left corner of the screen.
void Avvio::passo7()
{
    m_form.inPrimoPiano = true;
    m_form.posizione = QPoint(0, 0);
}

// 8. Caption with the program's version.
void Avvio::passo8()
{
    m_form.caption = QStringLiteral("Vorpla Ulka v. %1.%2.%3")
                         .arg(VORPLA_VERSION_MAJOR)
                         .arg(VORPLA_VERSION_MINOR)
                         .arg(VORPLA_VERSION_PATCH);
}

// 9. The installed printers, the current one selected, and its port.
void Avvio::passo9()
{
    Controllo &elenco = m_form.controllo(QStringLiteral("cmbPrinter"));
    elenco.voci = m_s.stampanti->elenco();
    const QString corrente = m_s.stampanti->corrente();
    elenco.testo = corrente;
    elenco.indice = elenco.voci.indexOf(corrente);
    m_form.controllo(QStringLiteral("lblPorta")).testo = u' ' + m_s.stampanti->porta(corrente);
}

// 10. The quality preview starts ticked when vorpla.ini asks for it.
void Avvio::passo10()
{
    Controllo &check2 = m_form.controllo(QStringLiteral("Check2"));
    if (!FamigliaWindows().startsWith(u'1') && !chiaveIni("PDF", "QUALITA").isEmpty())
        check2.spuntato = true;
    m_form.AnteprimaQualita = check2.spuntato;
}

// 11. The command line.
void Avvio::passo11()
{
    if (m_riga.isEmpty())
        return;
    m_form.Parametri = dividi(m_riga);
    const QString primo = m_form.Parametri.at(0);
    if (primo == QStringLiteral("PDF")) {
        formaPdf();
    } else if (primo == QStringLiteral("NO")) {
        formaNo();
    } else {
        lavoro().FileIngresso = primo;
        // A PDF left by an earlier run of the same document goes.
        const QString vecchio = senzaUltimi(primo, 3) + QStringLiteral("PDF");
        if (esisteIgnorandoMaiuscole(vecchio))
            eliminaFileAperto(vecchio);
    }
}

void Avvio::formaPdf()
{
    StatoLavoro &stato = lavoro();
    stato.ModoPdf = true;
    if (m_form.Parametri.size() < 2)
        throw ErroreVB(Err::IndiceFuoriIntervallo);
    stato.FileIngresso = m_form.Parametri.at(1);
    m_s.CreaPdf(stato.FileIngresso);
    if (stato.AnteprimaRichiesta) {
        stato.AnteprimaRichiesta = false;
        fine(FineNormale);
    }
    if (QFileInfo::exists(stato.FileIngresso))
        QFile::remove(stato.FileIngresso);
    fine(FineNormale);
}

void Avvio::formaNo()
{
    StatoLavoro &stato = lavoro();
    stato.ModoPdf = true;
    if (m_form.Parametri.size() < 3)
        throw ErroreVB(Err::IndiceFuoriIntervallo);
    stato.FileIngresso = m_form.Parametri.at(1);
    m_form.PercorsoDestinazione = m_form.Parametri.at(2);
    if (m_form.PercorsoDestinazione.isEmpty()) {
        messaggi().mostra(QStringLiteral("Errore, il parametro 'percorso di destinazione del PDF è vuoto'"));
        fine(FineConErrore);
    }
    m_form.NomeDestinazione = trovanome(m_form.PercorsoDestinazione);
    if (m_form.NomeDestinazione.isEmpty()) {
        messaggi().mostra(QStringLiteral("Errore, il parametro 'nome del file di destinazione del PDF è vuoto'"));
        fine(FineConErrore);
    }
    creaCartelleDestinazione(m_form.PercorsoDestinazione);
    if (esisteIgnorandoMaiuscole(m_form.PercorsoDestinazione))
        eliminaFileAperto(m_form.PercorsoDestinazione);
    m_s.CreaPdf(stato.FileIngresso);
    if (stato.AnteprimaRichiesta) {
        stato.AnteprimaRichiesta = false;
        fine(FineNormale);
    }
    if (QFileInfo::exists(stato.FileIngresso))
        QFile::remove(stato.FileIngresso);
    fine(FineNormale);
}

// The folders of a PDF destination, in the order they are tested and created.
// The first part of the path is its root and is never created: the drive of
// "C:\pdf\doc.pdf", the first folder of an absolute Linux path ("/srv" of
// "/srv/pdf/a/doc.pdf": /srv/pdf and /srv/pdf/a are tested), the server of a
// network path. A network path "\\server\share\a\doc.pdf" is kept as
// "//server/share/a/doc.pdf", which Linux resolves as /server/share/a/doc.pdf:
// the share is reached where the site has mounted it. The last part is the
// file name.
QStringList cartelleDestinazione(const QString &destinazione)
{
    static const QRegularExpression separatori(QStringLiteral("[\\\\/]"));
    QString percorso;
    QStringList parti;
    if (destinazione.startsWith(QStringLiteral("\\\\")) || destinazione.startsWith(QStringLiteral("//"))) {
        parti = destinazione.mid(2).split(separatori);
        percorso = QStringLiteral("//") + parti.at(0);
    } else if (destinazione.startsWith(u'/') || destinazione.startsWith(u'\\')) {
        parti = destinazione.mid(1).split(separatori);
        percorso = u'/' + parti.at(0);
    } else {
        parti = destinazione.split(separatori);
        percorso = parti.at(0);
    }
    QStringList cartelle;
    for (qsizetype i = 1; i + 1 < parti.size(); ++i) {
        percorso += u'/' + parti.at(i);
        cartelle << percorso;
    }
    return cartelle;
}

void Avvio::creaCartelleDestinazione(const QString &destinazione)
{
    for (const QString &cartella : cartelleDestinazione(destinazione)) {
        if (KV_DirExists(cartella))
            continue;
        if (!QDir().mkdir(cartella)) {
            const QString madre = QFileInfo(cartella).absolutePath();
            throw ErroreVB(QFileInfo(madre).isDir() ? Err::PermessoNegato : Err::PercorsoNonTrovato);
        }
    }
}

// Deletes a PDF the job is about to make again; one held open (or protected)
// stops the job with a message, so an old document is never taken for a new one.
void Avvio::eliminaFileAperto(const QString &percorso)
{
    const QString trovato = trovaIgnorandoMaiuscole(percorso);
    if (QFile::remove(trovato))
        return;
    messaggi().mostra(QStringLiteral("Il file ") + senzaUltimi(percorso, 3)
                      + QStringLiteral("PDF risulta aperto in un'altra applicazione.") + QStringLiteral("\r\n")
                      + QStringLiteral("Chiudere l'applicazione e riprovare a vorplare."));
    fine(FineConErrore);
}

// 12. The terminal-server check: hand the job to the client, or refuse an
// empty print file.
void Avvio::passo12()
{
    const int esito = m_s.KV_CheckSendTerm(lavoro().FileIngresso);
    if (esito == 1)
        fine(FineNormale);
    if (esito == -1) {
        messaggi().mostra(QStringLiteral("Impossibile vorplare!") + u'\r'
                          + QStringLiteral("Il file in vorpla non contiene alcuna informazione!"));
        fine(FineConErrore);
    }
}

// 13. The fax button and the text around fax numbers.
void Avvio::passo13()
{
    Controllo &fax = m_form.controllo(QStringLiteral("cmdEmail(1)"));
    if (!chiaveIni("MYFAX", "ABILITA").isEmpty())
        fax.abilitato = true;
    const QString nome = chiaveIni("MYFAX", "NOME");
    if (!nome.isEmpty())
        fax.testo = nome;
    m_form.FaxPrima = chiaveIni("MYFAX", "PRIMA");
    m_form.FaxDopo = chiaveIni("MYFAX", "DOPO");
}

// 14. Publishing.
void Avvio::passo14()
{
    lavoro().LavoroEtichette = false;
    if (chiaveIni("PUBBLICA", "ABILITATO") == QStringLiteral("SI")) {
        m_form.PubblicaAbilitata = true;
        m_form.controllo(QStringLiteral("CmdPub")).visibile = true;
        m_form.PercorsoPubblica = chiaveIni("PUBBLICA", "PERCORSO");
    }
}

// 15. The print file's header markers.
void Avvio::passo15()
{
    const RisultatoScansione esito = ScansionaIntestazione(lavoro().FileIngresso, m_form, lavoro(), m_s.eventi);
    m_modoNascosto = esito.ModoNascosto;
}

// 16. One mail text cannot serve several letterheads.
void Avvio::passo16()
{
    if (lavoro().ContaInt > 1)
        m_form.controllo(QStringLiteral("cmdEditEmail(2)")).abilitato = false;
}

// 17. The job order: preview-only or print-only.
void Avvio::passo17()
{
    if (m_form.Esegui == QStringLiteral("ANT")) {
        for (const char *nome : {"cmdEmail(0)", "cmdEmail(1)", "cmdEditEmail(2)", "cmdVorpla"})
            m_form.controllo(QString::fromLatin1(nome)).visibile = false;
    } else if (m_form.Esegui == QStringLiteral("STA")) {
        for (const char *nome : {"cmdEsci", "cmdPreview", "Check2"})
            m_form.controllo(QString::fromLatin1(nome)).visibile = false;
    }
}

// 18. The TrueType fonts of the program folder go into the user's font
// folder, once; a font already there is neither copied nor registered again.
void Avvio::passo18()
{
    const QDir programma(cartellaProgramma());
    QStringList fonts;
    for (const QString &nome : programma.entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Unsorted)) {
        if (nome.endsWith(QStringLiteral(".TTF"), Qt::CaseInsensitive))
            fonts << nome;
    }
    if (fonts.isEmpty())
        return;
    QDir().mkpath(m_s.cartellaFont);
    for (const QString &nome : fonts) {
        const QString destinazione = m_s.cartellaFont + u'/' + nome;
        if (esisteIgnorandoMaiuscole(destinazione))
            continue;
        const QString sorgente = programma.filePath(nome);
        if (!QFileInfo::exists(sorgente)) {
            messaggi().mostra(QStringLiteral("Impossibile trovare il font ") + nome + u'\r'
                              + QStringLiteral(" Contattare Korvenal srl."));
            fine(FineConErrore);
        }
        // A font that cannot be copied is skipped; so is a name that is no
        // regular file (a device or FIFO would never be read to its end).
        if (!eFileRegolare(sorgente) || !QFile::copy(sorgente, destinazione))
            continue;
        m_s.registraFont(destinazione);
    }
}

// 19. A label job shows the label output form instead of the main window.
void Avvio::passo19()
{
    if (!lavoro().LavoroEtichette)
        return;
    m_s.mostraFormEtichette();
    m_nascosta = true;
    m_form.visibile = false;
}

// 20. A hidden job prints at once (or previews, on the PDF printer).
void Avvio::passo20()
{
    if (!m_modoNascosto)
        return;
    const QString vpl = chiaveIni("VplHide", "vpl");
    if (!vpl.isEmpty())
        m_s.stampanti->selezionaIgnorandoMaiuscole(vpl);
    m_nascosta = true;
    m_form.visibile = false;
    if (m_s.stampanti->corrente() == QLatin1String(StampantePdf)) {
        m_s.CliccoAnteprima();
        m_anteprimaNascosta = true;
    } else {
        m_s.CliccoVorpla();
    }
}

// 21. The customer-specific document mode offers its label types.
void Avvio::passo21()
{
    if (m_form.Parametri.size() > 1 && m_form.Parametri.at(1).toUpper() == QStringLiteral("TOLVEK")) {
        Controllo &tipi = m_form.controllo(QStringLiteral("CmbEtich"));
        tipi.voci = {QStringLiteral("Valigie"), QStringLiteral("Passaporti"), QStringLiteral("Nota Spese")};
        tipi.indice = 0;
        tipi.testo = tipi.voci.at(0);
        tipi.abilitato = true;
        tipi.visibile = true;
        m_form.controllo(QStringLiteral("LblEtich")).visibile = true;
    }
}

// 22. A preview-only job previews and ends. A hidden job that previewed on
// the PDF printer ends too: with every window hidden nothing else could end it.
void Avvio::passo22()
{
    if (m_form.Esegui == QStringLiteral("ANT")) {
        m_s.CliccoAnteprima();
        fine(FineNormale);
    }
    if (m_anteprimaNascosta)
        fine(FineNormale);
}

} // namespace vorpla
