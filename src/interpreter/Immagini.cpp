// Pictures and marks: the fold mark, inline pictures and bar codes in text
// lines, the company logo of documents and vouchers, the footer picture.
//
// A loaded picture's size counts in HIMETRIC units (hundredths of a
// millimetre at the picture's own resolution), and the layout rules use
// those numbers as they always did: divided by 567, or as a ratio.

#include "Interprete.h"
#include "Superficie.h"
#include "common/CartellaProgramma.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/Numeri.h"
#include "common/StatoLavoro.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QImageReader>
#include <QSet>
#include <cmath>
#include <cstdio>

namespace vorpla {

namespace {

// The fields of a construct "<<TAG" fields ">>": the 1-based position of
// the tag, the position of its ">>", and the fields split at ";".
struct Costrutto
{
    qsizetype inizio = 0; // 0-based position of "<<"
    qsizetype fine = 0;   // 0-based position just after ">>"
    QList<QByteArray> campi;
};

std::optional<Costrutto> trovaCostrutto(const QByteArray &testo, const char *etichetta)
{
    const qsizetype p = testo.indexOf(etichetta);
    if (p < 0)
        return std::nullopt;
    const qsizetype lunghezzaEtichetta = qsizetype(std::strlen(etichetta));
    const qsizetype q = testo.indexOf(">>", p);
    if (q < 0)
        throw ErroreVB(Err::TipoNonCorrispondente); // a construct without its ">>"
    Costrutto c;
    c.inizio = p;
    c.fine = q + 2;
    const QByteArray campi = testo.mid(p + lunghezzaEtichetta, q - p - lunghezzaEtichetta);
    c.campi = campi.split(';');
    return c;
}

QString testo(QByteArrayView byte)
{
    return daWindows1252(byte);
}

bool vuoto(const QByteArray &campo)
{
    return campo.trimmed().isEmpty();
}

// A measure in millimetres: its integer part, in centimetres.
double millimetri(const QByteArray &campo)
{
    return std::floor(CDbl(testo(campo))) / 10;
}

} // namespace

// A picture file, loaded once a run: the same logo on every page is then
// one picture for the printer or PDF, not one copy a page.
QSizeF Interprete::dimensioneImmagine(const QString &percorso)
{
    return m_immagini.himetric(percorso);
}

void Interprete::disegnaImmagine(const QString &percorso, double x, double y, double larghezza, double altezza)
{
    m_sup.PaintPicture(m_immagini.perDispositivo(percorso, m_sup.puntiImmagine(larghezza, altezza)), x, y,
                       larghezza, altezza);
}

QString Interprete::fileImmagineInLinea(const QString &nome) const
{
    return trovaIgnorandoMaiuscole(separatoriLinux(nome));
}

// Prints a text line at (x, y) laid out in cells of the width of "A", with
// one inline picture "<<IMG=file;x;y;width;height>>" (millimetres from the
// page corner) drawn in place of its construct.
void Interprete::LogoAggiuntivo(QByteArray riga, double x, double y)
{
    const std::optional<Costrutto> c = trovaCostrutto(riga, "<<IMG=");
    if (!c) {
        m_sup.CurrentX = x;
        m_sup.CurrentY = y;
        m_sup.Print(riga);
        return;
    }
    // The construct gives way to blanks, so what follows keeps its columns.
    riga.replace(c->inizio, c->fine - c->inizio, QByteArray(c->fine - c->inizio, ' '));
    const QList<QByteArray> &f = c->campi;
    const QString file = fileImmagineInLinea(testo(f.value(0).trimmed()));
    const qsizetype posizione = c->inizio + 6; // where the picture goes (0-based index of the first field)
    const double cella = m_sup.TextWidth("A");
    const double altezzaRiga = m_sup.TextHeight("A");
    for (qsizetype i = 0; i < riga.size(); ++i) {
        m_sup.CurrentY = y;
        if (i == posizione) {
            if (!file.isEmpty() && QFileInfo(file).isFile()) {
                const QSizeF dimensione = dimensioneImmagine(file);
                double px, py, larghezza, altezza;
                if (f.size() < 2 || vuoto(f.at(1)))
                    px = lung(f.size() >= 4 ? millimetri(f.at(3)) : 0) + cella * double(posizione + 1);
                else
                    px = lung(millimetri(f.at(1)));
                if (f.size() < 3 || vuoto(f.at(2))) {
                    py = y;
                } else {
                    py = lung(millimetri(f.at(2)));
                    if (m_form.PassoVoucher != 0)
                        py += (m_form.NumeroVoucher - 1) * double(m_form.PassoVoucher);
                }
                larghezza = lung(f.size() < 4 ? dimensione.width() / 567 : millimetri(f.at(3)));
                altezza = lung(f.size() < 5 ? dimensione.height() / 567 : millimetri(f.at(4)));
                disegnaImmagine(file, px, py, larghezza, altezza);
            }
        } else {
            m_sup.CurrentX = x;
            m_sup.CurrentY = y;
            m_sup.Print(QByteArrayView(riga).sliced(i, 1));
        }
        x += cella;
    }
    m_sup.CurrentX = 0;
    m_sup.CurrentY = y + altezzaRiga;
}

// Prints the bar code of a text "<<CB=text;font;size;x;y;...>>" (the font
// draws the code) and empties the text: the rest of that line is not printed.
void Interprete::CodiceABarre(QByteArray &riga, double x, double y)
{
    const std::optional<Costrutto> c = trovaCostrutto(riga, "<<CB=");
    if (!c)
        return;
    const QList<QByteArray> &f = c->campi;
    auto centimetri = [&](int i) {
        if (f.size() <= i)
            return 0.0;
        return std::floor(CDbl(testo(f.at(i)))); // a blank or non-numeric X or Y is an error
    };
    const QString font = testo(f.value(1)).trimmed();
    const qint16 dimensione = CInt(testo(f.value(2)));
    const double bx = centimetri(3), by = centimetri(4);
    for (int i = 5; i < 7 && i < f.size(); ++i)
        CLng(testo(f.at(i))); // read, and never used
    static QSet<QString> avvisati;
    if (!font.isEmpty() && !QFontDatabase::hasFamily(font) && !avvisati.contains(font)) {
        avvisati.insert(font);
        const QByteArray avviso = "vorpla: the bar-code font \"" + font.toUtf8()
                                  + "\" is not installed; its text is drawn in another font";
        std::fprintf(stderr, "%s\n", avviso.constData());
        if (lavoro().ModoDebug)
            scrivilog(avviso);
    }
    m_sup.FontBold(false);
    m_sup.FontName(font);
    m_sup.FontSize(dimensione);
    m_sup.CurrentX = bx;
    m_sup.CurrentY = by;
    m_sup.Print(f.value(0));
    m_sup.FontName(QLatin1String(FontOem));
    riga.clear();
    m_sup.CurrentX = x;
    m_sup.CurrentY = y;
}

void Interprete::stampaConOggetti(QByteArrayView testo)
{
    QByteArray riga = testo.toByteArray();
    const double x = m_sup.CurrentX, y = m_sup.CurrentY;
    CodiceABarre(riga, x, y);
    LogoAggiuntivo(riga, x, y);
}

// The company logo: a picture of the program folder named by the line
// (without its last four characters) + ".bmp"; it replaces the text
// letterhead.
void Interprete::logo(const RigaStampa &riga, bool voucher)
{
    const QByteArrayView argomento = riga.argomento();
    if (argomento.size() < 4)
        throw ErroreVB(Err::ChiamataNonValida);
    const QString nome = testo(argomento.first(argomento.size() - 4));
    const QString file = trovaIgnorandoMaiuscole(inCartellaProgramma(nome + QStringLiteral(".bmp")));
    const bool esiste = QFileInfo(file).isFile();
    const bool attiva = m_s.IntestazioneAttiva == QStringLiteral("SI");
    const double T = m_s.MargineAlto;
    const QString sezione = voucher ? QStringLiteral("LOGV") : QStringLiteral("LOGO");

    // The size from vorpla.ini, or a given height and the picture's proportions.
    auto disegna = [&](double x, double y, double altezzaPredefinita) {
        const QSizeF h = dimensioneImmagine(file);
        const QString larghezza = Leggi(sezione, QStringLiteral("Larghezza"));
        const QString altezza = Leggi(sezione, QStringLiteral("Altezza"));
        double l, a;
        if (!larghezza.isEmpty() && !altezza.isEmpty()) {
            l = CDbl(larghezza);
            a = CDbl(altezza);
        } else if (voucher) {
            a = 3.5;
            l = (h.width() / 567) / (h.height() / 1984.5);
        } else {
            a = altezzaPredefinita;
            l = altezzaPredefinita * h.width() / h.height();
        }
        disegnaImmagine(file, x, y, l, a);
    };

    if (voucher) {
        m_form.ConINTV = true;
        if ((attiva || m_s.dispositivo.contains(QStringLiteral("FAX"))) && esiste) {
            m_s.IntestazioneAttiva = QStringLiteral("NO");
            disegna(m_s.MargineSinistro, m_form.ScostamentoVoucher, 3.5);
        }
        return;
    }
    if (attiva) {
        if (!esiste)
            return;
        m_s.IntestazioneAttiva = QStringLiteral("NO");
        const QString &tipo = m_form.TipoDocumento;
        double x = 0, y = 0;
        if (tipo == QStringLiteral("FATTURA") || tipo == QStringLiteral("ASTOI") || tipo == QStringLiteral("ESTRATTO CONTO")) {
            const bool margine = !Leggi(QStringLiteral("FATTURE"), QStringLiteral("MARGINESUP")).isEmpty()
                                 || !Leggi(QStringLiteral("ASTOI"), QStringLiteral("MARGINESUP")).isEmpty()
                                 || !Leggi(QStringLiteral("ESTRATTO CONTO"), QStringLiteral("MARGINESUP")).isEmpty();
            y = margine ? T : 0;
            const QString posX = Leggi(QStringLiteral("LOGO"), QStringLiteral("pos_x"));
            x = posX.isEmpty() ? 0 : CDbl(posX);
        }
        disegna(x, y, 7);
        m_s.LogoPresente = true;
    } else if (m_s.dispositivo.contains(QStringLiteral("FAX")) || m_s.dispositivo.contains(QStringLiteral("ACROBAT"))) {
        // On fax and PDF devices no pre-printed paper carries the logo.
        m_s.IntestazioneAttiva = QStringLiteral("NO");
        if (!esiste)
            return;
        disegna(0, T, 7);
        m_s.LogoPresente = true;
    }
}

void Interprete::m_LOGO(const RigaStampa &riga)
{
    logo(riga, false);
}

void Interprete::m_LOGV(const RigaStampa &riga)
{
    logo(riga, true);
}

// At a page end outside vouchers: the footer picture, then the page number.
void Interprete::pieDiPagina()
{
    if (m_s.PiedeAttivo) {
        const QString nome = Leggi(QStringLiteral("FOOTER"), QStringLiteral("FOOTER"));
        if (!nome.isEmpty()) {
            auto misura = [&](const char *chiave) { return CDbl(Leggi(QStringLiteral("FOOTER"), QLatin1String(chiave))); };
            disegnaImmagine(trovaIgnorandoMaiuscole(inCartellaProgramma(nome)), misura("X"), misura("Y"),
                            misura("WIDTH"), misura("HEIGHT"));
        }
    }
    numeroPagina();
}

} // namespace vorpla
