// Fuzz target: any bytes given as a print file must end in a rendered
// document or in the general error message, never in a crash, a hang or
// memory growing with the file. Each input runs through the three layouts:
// the printer's interpreter on a counting surface, the PDF form's
// interpreter on the built-in document object, which writes the PDF, and
// the preview's on its page buffer, from the first line and from the
// middle of the file.

#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/Messaggi.h"
#include "common/StatoLavoro.h"
#include "interpreter/Interprete.h"
#include "interpreter/InterpreteAnteprima.h"
#include "interpreter/InterpretePdf.h"
#include "interpreter/SuperficiePittore.h"
#include "output/PDFReportObj.h"
#include "interpreter/SuperficieRegistrata.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

using namespace vorpla;

namespace {

class MessaggiMuti : public Messaggi
{
public:
    Risposta mostra(const QString &, Pulsanti p) override { return p == Pulsanti::SiNo ? Risposta::No : Risposta::Ok; }
};

QTemporaryDir *g_cartella = nullptr;
QString g_file, g_pdf;
MessaggiMuti g_messaggi;

void appuntiMuti(const QString &) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: libFuzzer ends the process from its own exit path,
    // after Qt's thread storage is gone.
    new QGuiApplication(*argc, *argv);
    g_cartella = new QTemporaryDir;
    const QString programma = g_cartella->path() + QStringLiteral("/vorpla");
    QDir().mkpath(programma);
    qputenv("VORPLA_HOME", programma.toLocal8Bit());
    // Pictures the seeds name, found in the program folder (the current
    // folder, as the program's own start-up makes it).
    QImage figura(8, 4, QImage::Format_RGB32);
    figura.fill(Qt::red);
    figura.save(programma + QStringLiteral("/logo.bmp"), "BMP");
    figura.save(programma + QStringLiteral("/pic.png"), "PNG");
    // For the PDF layout: a JPEG logo, a truncated one, a PNG named as a
    // JPEG, and a font file that is no font.
    figura.save(programma + QStringLiteral("/logo.jpg"), "JPEG");
    figura.save(programma + QStringLiteral("/pic.jpg"), "PNG");
    {
        QFile intero(programma + QStringLiteral("/logo.jpg")), tronco(programma + QStringLiteral("/tronco.jpg")),
            font(programma + QStringLiteral("/ntoem.ttf"));
        if (intero.open(QIODevice::ReadOnly) && tronco.open(QIODevice::WriteOnly))
            tronco.write(intero.read(intero.size() / 2));
        if (font.open(QIODevice::WriteOnly))
            font.write(QByteArray(512, 'x'));
    }
    QDir::setCurrent(programma);
    g_file = g_cartella->path() + QStringLiteral("/stampa.txt");
    g_pdf = g_cartella->path() + QStringLiteral("/stampa.PDF");
    impostaMessaggi(&g_messaggi);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t dimensione)
{
    {
        QFile f(g_file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char *>(dati), qint64(dimensione));
    }
    azzeraLavoro();
    lavoro().FileIngresso = g_file;
    ValoriForm form;
    SuperficieRegistrata superficie;
    superficie.soloConteggio(true);
    Interprete interprete(superficie, form, g_file);
    interprete.appunti = appuntiMuti;
    try {
        interprete.GRAFICA();
    } catch (const FineProgramma &) {
        // The general error message ended the program: a valid outcome.
    }

    // The PDF form's run: a PDF, or the routine message and no PDF.
    azzeraLavoro();
    lavoro().FileIngresso = g_file;
    ValoriForm formPdf;
    // A fax printer for half the inputs: its deferred pages and "@FAXS" saves.
    SuperficieRegistrata stampante(dimensione % 2 ? QStringLiteral("ZETAFAX") : QStringLiteral("Vorpla"));
    PDFReportObj documento;
    InterpretePdf pdf(documento, stampante, formPdf, g_file);
    pdf.filePdf = g_pdf;
    pdf.foglioEtichette = [] { return QSizeF(210, 297); };
    pdf.avviaConvertitore = [](const QString &, const QString &) {};
    pdf.GRAFICA();

    // The preview's page: drawn, or an error raised to its window.
    static QImage buffer(718, 1021, QImage::Format_RGB32);
    for (const qint64 primaRiga : {qint64(1), qint64(dimensione % 97)}) {
        SuperficiePittore pagina(&buffer, QStringLiteral("frmPreview"));
        InterpreteAnteprima anteprima(pagina, g_file);
        try {
            anteprima.DISEGNA(primaRiga);
        } catch (const ErroreVB &) {
        }
        pagina.FineDocumento();
    }
    return 0;
}
