// Fuzz target: any bytes given as a print file must end in a rendered
// document or in the general error message (the program's end), never in a
// crash, a hang or memory growing with the file. The interpreter runs the
// whole reader and every marker on a counting surface.

#include "common/FineProgramma.h"
#include "common/Messaggi.h"
#include "common/StatoLavoro.h"
#include "interpreter/Interprete.h"
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
QString g_file;
MessaggiMuti g_messaggi;

void appuntiMuti(const QString &) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
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
    QDir::setCurrent(programma);
    g_file = g_cartella->path() + QStringLiteral("/stampa.txt");
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
    return 0;
}
