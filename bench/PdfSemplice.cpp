// The yardstick of the render benchmark: a plain QPdfWriter program that
// draws the same strings at the same positions, in the same fonts, as the
// interpreter did (read from the dump the benchmark wrote), with none of the
// interpreter's work. A line of the dump: page, x and y in cm, family, size,
// bold, italic, pitch of a run of grid characters (0 for plain text), text;
// or "IMG", page, and the corners in cm of a picture (drawn with PICTURE);
// or "LIN" / "RET", page, the ends or corners in cm and the pen width in cm;
// or "TXB", page, x and the baseline's y in cm, family, size, bold, text.
// Usage: pdf_semplice DUMP OUT.pdf PICTURE

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QMarginsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextStream>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const QImage figura(QString::fromLocal8Bit(argv[3]));
    QFile dump(QString::fromLocal8Bit(argv[1]));
    if (!dump.open(QIODevice::ReadOnly))
        return 1;
    QPdfWriter writer(QString::fromLocal8Bit(argv[2]));
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter p(&writer);
    int pagina = 0;
    QTextStream in(&dump);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        const QStringList c = in.readLine().split(u'\t');
        const bool immagine = c.value(0) == QLatin1String("IMG");
        const bool linea = c.value(0) == QLatin1String("LIN"), rettangolo = c.value(0) == QLatin1String("RET");
        const bool base = c.value(0) == QLatin1String("TXB");
        const int pag = c.value(immagine || linea || rettangolo || base ? 1 : 0).toInt();
        while (pagina < pag) {
            writer.newPage();
            ++pagina;
        }
        const auto punti = [](const QString &cm) { return cm.toDouble() / 2.54 * 600; };
        if ((linea || rettangolo) && c.size() >= 7) {
            QPen penna(Qt::black);
            penna.setWidthF(punti(c[6]));
            penna.setCapStyle(Qt::RoundCap);
            p.setPen(penna);
            const QPointF a(punti(c[2]), punti(c[3])), b(punti(c[4]), punti(c[5]));
            if (linea)
                p.drawLine(a, b);
            else
                p.drawRect(QRectF(a, b));
            continue;
        }
        if (c.value(0) == QLatin1String("TXB") && c.size() >= 8) {
            QFont f(c[4]);
            f.setPointSizeF(c[5].toDouble());
            f.setBold(c[6] == QLatin1String("1"));
            f.setKerning(false);
            f.setHintingPreference(QFont::PreferNoHinting);
            p.setFont(f);
            p.setPen(Qt::black);
            p.drawText(QPointF(punti(c[2]), punti(c[3])), c.mid(7).join(u'\t'));
            continue;
        }
        if (immagine && c.size() >= 6) {
            p.drawImage(QRectF(QPointF(punti(c[2]), punti(c[3])), QPointF(punti(c[4]), punti(c[5]))), figura);
            continue;
        }
        if (c.size() < 8)
            continue;
        QFont f(c[3]);
        f.setPointSizeF(c[4].toDouble());
        f.setBold(c[5] == QLatin1String("1"));
        f.setItalic(c[6] == QLatin1String("1"));
        f.setHintingPreference(QFont::PreferNoHinting);
        const double passo = c[7].toDouble() / 2.54 * 600;
        if (passo > 0)
            f.setLetterSpacing(QFont::PercentageSpacing,
                               passo / QFontMetricsF(f, &writer).horizontalAdvance(QLatin1Char('M')) * 100);
        p.setFont(f);
        p.setPen(Qt::black);
        const double x = c[1].toDouble() / 2.54 * 600, y = c[2].toDouble() / 2.54 * 600;
        p.drawText(QPointF(x, y + p.fontMetrics().ascent()), c.mid(7).join(u'\t'));
    }
    return p.end() ? 0 : 1;
}
