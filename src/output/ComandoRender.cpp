#include "ComandoRender.h"

#include "FRMCreaPDF.h"
#include "VorplaTolvek.h"
#include "FormPreview.h"
#include "FormVorpla.h"
#include "SceltaVorplante.h"
#include "common/CartellaProgramma.h"
#include "common/ErroreVB.h"
#include "common/FileRegolare.h"
#include "common/FineProgramma.h"
#include "common/Messaggi.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"
#include "interpreter/Interprete.h"
#include "interpreter/SuperficieInoltro.h"
#include "interpreter/SuperficiePittore.h"
#include "interpreter/SuperficieRegistrata.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

namespace vorpla {

namespace {

constexpr double RisoluzioneStampante = 600;

const QString Uso = QStringLiteral(
    "usage: vorpla --render printer --output OUT.pdf [--printer-name NAME] [--copies N] PRINTFILE\n"
    "       vorpla --render pdf --output OUT.pdf [--printer-name NAME] PRINTFILE\n"
    "  draws PRINTFILE once, as the printer would receive it, into the PDF file OUT.pdf\n"
    "  (A4 portrait, 600 dpi); NAME is the printer's device name (default \"Vorpla\").\n"
    "  --copies N runs the printer's copies loop with N in the copies box, every copy\n"
    "  starting on a new page of OUT.pdf; the box counts for print files with an\n"
    "  \"@COPI\" line, others come out once. Attachments are listed, not printed.\n"
    "  --render pdf makes the job's PDF as the PDF output form does, with the PDF\n"
    "  layout, against a runtime printer of A4 portrait named NAME.\n"
    "       vorpla --render preview --output OUT.png [--page N] PRINTFILE\n"
    "  draws page N (default 1) as the preview window draws it into its page\n"
    "  buffer, and writes the buffer as a PNG image (15 twips a pixel).\n"
    "       vorpla --render tolvek --kind KIND --output OUT.pdf [--printer-name NAME] [--copies N] DATAFILE\n"
    "  prints the customer-specific documents of DATAFILE (KIND \"Valigie\", \"Passaporti\"\n"
    "  or \"Nota Spese\") on their background pictures, N copies (default 1), as the\n"
    "  printer would receive them, into OUT.pdf.");

int usoErrato(const QString &motivo)
{
    scriviErrore(QStringLiteral("vorpla: ") + motivo);
    scriviErrore(Uso);
    return FineUsoErrato;
}

struct Richiesta
{
    QString uscita;
    QString stampante = QStringLiteral("Vorpla");
    QString fileStampa;
    bool pdf = false; // the PDF output form instead of the printer
    bool anteprima = false; // the preview window's page buffer
    bool tolvek = false;    // the customer-specific documents
    QString tipo;           // their kind
    QString pagina = QStringLiteral("1");
    bool conCopie = false;
    QString copie; // the text of the copies box
};

// The command line's parts; the reason when it is not the command.
QString leggiRichiesta(const QStringList &argomenti, Richiesta &r)
{
    if (argomenti.value(0) != QLatin1String("--render"))
        return QStringLiteral("the command starts with --render");
    if (argomenti.size() < 2)
        return QStringLiteral("--render needs a target");
    if (argomenti.at(1) != QLatin1String("printer") && argomenti.at(1) != QLatin1String("pdf")
        && argomenti.at(1) != QLatin1String("preview") && argomenti.at(1) != QLatin1String("tolvek"))
        return QStringLiteral("unknown render target \"%1\" (the targets are \"printer\", \"pdf\", \"preview\" and "
                              "\"tolvek\")")
            .arg(argomenti.at(1));
    r.tolvek = argomenti.at(1) == QLatin1String("tolvek");
    r.pdf = argomenti.at(1) == QLatin1String("pdf");
    r.anteprima = argomenti.at(1) == QLatin1String("preview");
    bool conPagina = false;
    bool conUscita = false, conFile = false;
    for (qsizetype i = 2; i < argomenti.size(); ++i) {
        const QString &a = argomenti.at(i);
        if (a == QLatin1String("--output") || a == QLatin1String("--printer-name") || a == QLatin1String("--copies")
            || a == QLatin1String("--page") || a == QLatin1String("--kind")) {
            if (i + 1 >= argomenti.size() || argomenti.at(i + 1).isEmpty())
                return a + QStringLiteral(" needs a value");
            const QString valore = argomenti.at(++i);
            if (a == QLatin1String("--output")) {
                if (conUscita)
                    return QStringLiteral("--output given twice");
                r.uscita = valore;
                conUscita = true;
            } else if (a == QLatin1String("--copies")) {
                r.copie = valore;
                r.conCopie = true;
            } else if (a == QLatin1String("--kind")) {
                r.tipo = valore;
            } else if (a == QLatin1String("--page")) {
                bool ok = false;
                if (valore.toLongLong(&ok) < 1 || !ok)
                    return QStringLiteral("--page needs a page number from 1 (\"%1\")").arg(valore);
                r.pagina = valore;
                conPagina = true;
            } else {
                r.stampante = valore;
            }
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return QStringLiteral("unknown option \"%1\"").arg(a);
        } else {
            if (conFile)
                return QStringLiteral("more than one print file (\"%1\", \"%2\")").arg(r.fileStampa, a);
            if (a.isEmpty())
                return QStringLiteral("the print file name is empty");
            r.fileStampa = a;
            conFile = true;
        }
    }
    if (!conUscita)
        return QStringLiteral("--output OUT.pdf is missing");
    if (!conFile)
        return QStringLiteral("the print file is missing");
    if (r.pdf && r.conCopie)
        return QStringLiteral("--copies is for the printer target (the PDF form draws once)");
    if (r.anteprima && r.conCopie)
        return QStringLiteral("--copies is for the printer target (the preview draws one page)");
    if (conPagina && !r.anteprima)
        return QStringLiteral("--page is for the preview target");
    if (r.tolvek != !r.tipo.isEmpty())
        return r.tolvek ? QStringLiteral("--kind KIND is missing (\"Valigie\", \"Passaporti\" or \"Nota Spese\")")
                        : QStringLiteral("--kind is for the tolvek target");
    return {};
}

void scriviUscita(const QString &testo)
{
    const QByteArray b = testo.toLocal8Bit() + '\n';
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
    std::fflush(stdout);
}

// The printer's copies loop drawn into one document: every copy is drawn as
// on a fresh print job (the device's first orientation, the interpreter's
// surface state from the start) from a new page. Attachments are listed on
// standard output; the user's default printer is never touched. The number
// of copies drawn is returned in `copie`; false when the loop stopped after
// an error message.
bool cicloCopie(FormVorpla &form, const Richiesta &r, SuperficiePittore &superficie, int &copie)
{
    if (!form.CopieDaFinestra && r.copie != QLatin1String("1"))
        scriviErrore(QStringLiteral("vorpla: %1 has no \"@COPI\" line: the copies box does not count, one copy is drawn")
                         .arg(r.fileStampa));
    if (form.CopieDaFinestra)
        form.valori.NumCopie = r.copie;
    lavoro().DispositivoRegistrato = r.stampante;
    const int orientamentoIniziale = superficie.orientamento();
    copie = 0;
    ServiziSceltaVorplante servizi;
    servizi.dispositivo = [&r] { return r.stampante; };
    servizi.nuovaCopia = [&]() -> std::unique_ptr<Superficie> {
        // A later copy begins its own page when it first draws, in the
        // orientation of a fresh job unless it turns the sheet first.
        if (copie > 0)
            superficie.impostaOrientamento(orientamentoIniziale);
        return std::make_unique<SuperficieInoltro>(superficie, copie++ > 0);
    };
    servizi.fineCopia = [](Superficie &copia) { static_cast<SuperficieInoltro &>(copia).iniziaPagina(); };
    servizi.impostaPredefinita = [] {};
    servizi.stampaFile = [&copie](const QString &stampante, const QString &file) {
        scriviUscita(QStringLiteral("attachment after copy %1 on %2: %3").arg(copie).arg(stampante, file));
    };
    return SCELTA_VORPLANTE(form, servizi);
}

// Draws the job into a temporary file beside the output and renames it over
// the output when the document is complete. FineProgramma (the interpreter's
// end after its error message) passes through; every way out but the last
// line discards the temporary file.
int disegna(FormVorpla &form, const Richiesta &r)
{
    FileDestinazione destinazione(r.uscita);
    if (!destinazione.apri()) {
        messaggi().mostra(QStringLiteral("Cannot write ") + destinazione.errore());
        return FineConErrore;
    }

    QPdfWriter writer(destinazione.dispositivo());
    writer.setCreator(QStringLiteral("Vorpla"));
    writer.setTitle(QFileInfo(r.fileStampa).fileName());
    writer.setResolution(int(RisoluzioneStampante));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                     QPageLayout::Millimeter));
    {
        SuperficiePittore superficie(&writer, r.stampante, RisoluzioneStampante);
        if (r.tolvek) {
            try {
                VorplaTolvek([&superficie]() -> Superficie & { return superficie; }, r.fileStampa, r.tipo,
                             r.conCopie ? r.copie : QStringLiteral("1"));
            } catch (const ErroreVB &e) {
                mostraErroreRoutine(e);
                return FineConErrore;
            }
        } else if (r.conCopie) {
            int copie = 0;
            if (!cicloCopie(form, r, superficie, copie))
                return FineConErrore;
            scriviUscita(QStringLiteral("copies drawn: %1").arg(copie));
            if (copie == 0) {
                scriviErrore(QStringLiteral("vorpla: no copy drawn, %1 not written").arg(r.uscita));
                return FineNormale;
            }
        } else {
            // A label job draws on the first format of its catalogue.
            form.prendiFormatoEtichette();
            Interprete interprete(superficie, form.valori, lavoro().FileIngresso);
            interprete.GRAFICA();
        }
        if (!superficie.FineDocumento()) {
            messaggi().mostra(QStringLiteral("Cannot write %1: the PDF document could not be completed").arg(r.uscita));
            return FineConErrore;
        }
    }
    if (!destinazione.conferma()) {
        messaggi().mostra(QStringLiteral("Cannot write ") + destinazione.errore());
        return FineConErrore;
    }
    return FineNormale;
}

// The job as the PDF output form makes it, against a stand-in runtime
// printer (A4 portrait, measuring as a 600 dpi printer). The form saves into
// a private folder (a fax batch saves half-way too); the finished PDF then
// replaces the output in one step.
int disegnaPdf(const Richiesta &r)
{
    QTemporaryDir cartella;
    if (!cartella.isValid()) {
        messaggi().mostra(QStringLiteral("Cannot write %1: no temporary folder").arg(r.uscita));
        return FineConErrore;
    }
    registraFontTrueType(cartellaProgramma());
    SuperficieRegistrata stampante(r.stampante);
    FRMCreaPDF form(stampante);
    form.valori.StampanteSelezionata = r.stampante;
    form.destinazione = cartella.filePath(QStringLiteral("lavoro.PDF"));
    const QString fatto = form.Form_Load();
    if (fatto.isEmpty())
        return FineConErrore;
    // Copied a piece at a time: a PDF of ten thousand pages is never held
    // in memory whole.
    QFile pdf(fatto);
    FileDestinazione destinazione(r.uscita);
    bool copiato = pdf.open(QIODevice::ReadOnly) && destinazione.apri();
    while (copiato && !pdf.atEnd()) {
        const QByteArray pezzo = pdf.read(qint64(1) << 20);
        copiato = !pezzo.isEmpty() && destinazione.dispositivo()->write(pezzo) == pezzo.size();
    }
    if (!copiato || !destinazione.conferma()) {
        messaggi().mostra(QStringLiteral("Cannot write ")
                          + (destinazione.errore().isEmpty() ? r.uscita : destinazione.errore()));
        return FineConErrore;
    }
    return FineNormale;
}

// Messages of the command go to standard error while it runs, whatever was
// installed before.
class MessaggiSuErroreStandard
{
public:
    MessaggiSuErroreStandard() : m_precedenti(impostaMessaggi(&m_erroreStandard)) {}
    ~MessaggiSuErroreStandard() { impostaMessaggi(m_precedenti); }
    MessaggiSuErroreStandard(const MessaggiSuErroreStandard &) = delete;
    MessaggiSuErroreStandard &operator=(const MessaggiSuErroreStandard &) = delete;

private:
    MessaggiErroreStandard m_erroreStandard;
    Messaggi *m_precedenti;
};

} // namespace

bool eComandoRender(const QStringList &argomenti)
{
    return argomenti.value(0) == QLatin1String("--render");
}

QList<FontRegistrato> registraFontTrueType(const QString &cartella)
{
    QList<FontRegistrato> registrati;
    const QFileInfoList voci = QDir(cartella).entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &voce : voci) {
        if (voce.suffix().compare(QLatin1String("ttf"), Qt::CaseInsensitive) != 0)
            continue;
        const std::optional<QByteArray> dati = leggiFileRegolare(voce.absoluteFilePath(), DimensioneMassimaFont);
        const int id = dati ? QFontDatabase::addApplicationFontFromData(*dati) : -1;
        if (id < 0) {
            scriviErrore(QStringLiteral("vorpla: %1 is not a usable TrueType font; left out").arg(voce.absoluteFilePath()));
            continue;
        }
        registrati.append({voce.fileName(), QFontDatabase::applicationFontFamilies(id)});
    }
    return registrati;
}

// Page N of the preview window's page buffer, written as a PNG that appears
// only complete.
static int disegnaAnteprima(const Richiesta &r)
{
    registraFontTrueType(cartellaProgramma());
    FormPreview anteprima(r.fileStampa);
    try {
        anteprima.Form_Load();
        if (r.pagina != QLatin1String("1"))
            anteprima.mostraPagina(r.pagina.toLongLong());
    } catch (const ErroreVB &e) {
        mostraErroreRoutine(e);
        return FineConErrore;
    }
    QSaveFile uscita(r.uscita);
    if (!uscita.open(QIODevice::WriteOnly) || !anteprima.picBuffer.save(&uscita, "PNG") || !uscita.commit()) {
        scriviErrore(QStringLiteral("vorpla: cannot write %1").arg(r.uscita));
        return FineConErrore;
    }
    return FineNormale;
}

int eseguiComandoRender(const QStringList &argomenti)
{
    Richiesta richiesta;
    const QString motivo = leggiRichiesta(argomenti, richiesta);
    if (!motivo.isEmpty())
        return usoErrato(motivo);

    MessaggiSuErroreStandard erroreStandard;
    lavoro().FileIngresso = richiesta.fileStampa;
    if (richiesta.anteprima) {
        try {
            return disegnaAnteprima(richiesta);
        } catch (const FineProgramma &f) {
            return f.codice();
        }
    }
    if (richiesta.pdf) {
        try {
            return disegnaPdf(richiesta);
        } catch (const FineProgramma &f) {
            return f.codice();
        }
    }
    if (richiesta.tolvek) {
        FormVorpla nessuna;
        try {
            return disegna(nessuna, richiesta);
        } catch (const FineProgramma &f) {
            return f.codice();
        }
    }
    FormVorpla form;
    // The printer the document goes to, as the main window's list names it.
    form.valori.StampanteSelezionata = richiesta.stampante;
    try {
        form.Form_Load();
    } catch (const ErroreVB &e) {
        mostraErroreRoutine(e);
        return FineConErrore;
    }

    registraFontTrueType(cartellaProgramma());

    try {
        return disegna(form, richiesta);
    } catch (const FineProgramma &f) {
        return f.codice();
    }
}

} // namespace vorpla
