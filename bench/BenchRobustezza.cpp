// What hostile or unlucky input costs `vorpla --render printer`:
// - a 1 MB label line and a 1 MB address line (target: under 1 s each);
// - a job placing 32 different 5000 x 5000 photos 2 cm wide (targets: peak
//   memory under 300 MB, PDF under 20 MB);
// - 200,000 lines ended by CR alone beside the same lines ended by CR LF
//   (target: about the same time);
// - a 1 MB vorpla.ini of 2,000 sections, each named by an "@FORM" line of the
//   job (target: about the time of the same job without the file).
//
// Usage: vorpla_bench_robustezza [--quick]

#include "Mediana.h"
#include "Misura.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

QString scrivi(const QString &percorso, const QByteArray &contenuto)
{
    QFile f(percorso);
    f.open(QIODevice::WriteOnly);
    f.write(contenuto);
    return percorso;
}

QByteArray testoLungo(qsizetype lunghezza)
{
    static const QByteArray frase = "Agenzia Viaggi Esempio, Via Roma 1 - Bologna. ";
    QByteArray t;
    t.reserve(lunghezza);
    while (t.size() < lunghezza)
        t += frase;
    t.truncate(lunghezza);
    return t;
}

// A photo-like picture: a gradient of its own colours with fine detail, as
// a JPEG (a few hundred kilobytes on disk, 100 MB once decoded).
QString fotografia(const QString &percorso, int indice)
{
    QImage img(5000, 5000, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto *riga = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            riga[x] = qRgb((x / 20 + indice * 37) & 255, (y / 20 + indice * 11) & 255, ((x ^ y) + indice) & 255);
    }
    img.save(percorso, "JPEG", 85);
    return percorso;
}

struct Risultato
{
    double secondi = 0;
    long picco_kb = 0;
    bool riuscito = true;
};

Risultato render(const QString &vorpla, const QString &stampa, const QString &uscita, int ripetizioni)
{
    std::vector<double> tempi;
    Risultato r;
    for (int i = 0; i < ripetizioni; ++i) {
        const Misura m = esegui({vorpla, QStringLiteral("--render"), QStringLiteral("printer"), QStringLiteral("--output"),
                                 uscita, stampa});
        r.riuscito = r.riuscito && m.stato == 0;
        tempi.push_back(m.secondi);
        r.picco_kb = std::max(r.picco_kb, m.picco_kb);
    }
    r.secondi = mediana(tempi);
    return r;
}

const char *esito(const Risultato &r)
{
    return r.riuscito ? "" : " [the render failed]";
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const bool rapido = app.arguments().contains(QStringLiteral("--quick"));
    const int ripetizioni = rapido ? 1 : 3;
    const QString vorpla = QStringLiteral(VORPLA_EXE);

    QTemporaryDir dir;
    const QString programma = dir.path() + QStringLiteral("/vorpla");
    QDir().mkpath(programma);
    qputenv("VORPLA_HOME", programma.toLocal8Bit());
    const QString uscita = dir.path() + QStringLiteral("/out.pdf");

    // The longest line a print file keeps is 1 MB, marker included.
    const QByteArray mega = testoLungo((1 << 20) - 16);
    const Risultato etichetta = render(
        vorpla, scrivi(dir.path() + QStringLiteral("/etichetta.txt"), "@ETTI N\r\n@ETRI " + mega + "\r\n@ETRB " + mega
                                                                          + "\r\n@ETFI\r\n@PAGE\r\n"),
        uscita, ripetizioni);
    std::printf("label line:    %.2f s for two 1 MB label lines (median of %d; target < 1 s)%s\n", etichetta.secondi,
                ripetizioni, esito(etichetta));
    const Risultato indirizzo = render(
        vorpla, scrivi(dir.path() + QStringLiteral("/indirizzo.txt"), "@INDI\r\n@INDb " + mega + "\r\n@PAGE\r\n"),
        uscita, ripetizioni);
    std::printf("address line:  %.2f s for a 1 MB address line (median of %d; target < 1 s)%s\n", indirizzo.secondi,
                ripetizioni, esito(indirizzo));

    QByteArray foto = "@TEXT\r\n";
    for (int i = 0; i < 32; ++i) {
        const QString f = fotografia(dir.path() + QStringLiteral("/foto%1.jpg").arg(i), i);
        const int x = 10 + 25 * (i % 8), y = 20 + 25 * (i / 8);
        foto += "@TXTn <<IMG=" + f.toLocal8Bit() + ";" + QByteArray::number(x) + ";" + QByteArray::number(y)
                + ";20;20>>\r\n";
    }
    const Risultato fotografie =
        render(vorpla, scrivi(dir.path() + QStringLiteral("/foto.txt"), foto), uscita, 1);
    std::printf("pictures:      peak %.0f MB (target < 300), PDF %.1f MB (target < 20), %.2f s for 32 photos of "
                "5000 x 5000 placed 2 cm wide%s\n",
                double(fotografie.picco_kb) / 1024, double(QFileInfo(uscita).size()) / (1 << 20), fotografie.secondi,
                esito(fotografie));

    QByteArray soloCr, crLf;
    for (int i = 0; i < 200000; ++i) {
        const QByteArray riga = "@TXTn riga " + QByteArray::number(i);
        soloCr += riga + '\r';
        crLf += riga + "\r\n";
    }
    const Risultato cr = render(vorpla, scrivi(dir.path() + QStringLiteral("/cr.txt"), "@TEXT\r" + soloCr), uscita,
                                ripetizioni);
    const Risultato lf = render(vorpla, scrivi(dir.path() + QStringLiteral("/crlf.txt"), "@TEXT\r\n" + crLf), uscita,
                                ripetizioni);
    std::printf("line ends:     %.2f s with CR alone, %.2f s with CR LF, 200,000 lines (ratio %.2f; target about 1)%s%s\n",
                cr.secondi, lf.secondi, cr.secondi / lf.secondi, esito(cr), esito(lf));

    QByteArray ini, forme;
    for (int i = 0; ini.size() < (1 << 20); ++i) {
        ini += "[MODULO" + QByteArray::number(i) + "]\r\nNCARY=60\r\nNOTA=" + testoLungo(450) + "\r\n";
        if (i < 2000)
            forme += "@FORM MODULO" + QByteArray::number(i) + "\r\n@TXTn riga\r\n";
    }
    const QString lavoroForme = scrivi(dir.path() + QStringLiteral("/forme.txt"), "@TEXT\r\n" + forme);
    const Risultato senzaIni = render(vorpla, lavoroForme, uscita, ripetizioni);
    scrivi(programma + QStringLiteral("/vorpla.ini"), ini);
    const Risultato conIni = render(vorpla, lavoroForme, uscita, ripetizioni);
    std::printf("vorpla.ini:    %.2f s with a %.1f MB file of %d sections, %.2f s without it (2,000 \"@FORM\" "
                "lines)%s%s\n",
                conIni.secondi, double(ini.size()) / (1 << 20), int(ini.count("[MODULO")), senzaIni.secondi,
                esito(conIni), esito(senzaIni));
    return 0;
}
