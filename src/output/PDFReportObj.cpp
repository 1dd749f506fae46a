#include "PDFReportObj.h"

#include "common/ErroreVB.h"
#include "common/FileRegolare.h"
#include "interpreter/Superficie.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace vorpla {

namespace {

// Device dots a millimetre in the written PDF (the writer's resolution).
constexpr int Risoluzione = 600;
constexpr double PuntiMm = Risoluzione / 25.4;

QFont fontDi(const QString &famiglia, double punti, bool grassetto)
{
    QFont f(famiglia);
    f.setPointSizeF(qBound(1.0, punti, 2000.0));
    f.setBold(grassetto);
    f.setKerning(false);
    f.setStyleStrategy(QFont::PreferOutline);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// A JPEG whole from its start to its end marker: a truncated file would
// otherwise show as a picture of grey.
bool jpegIntero(const QByteArray &dati)
{
    if (!dati.startsWith("\xFF\xD8"))
        return false;
    qsizetype fine = dati.size();
    while (fine > 2 && dati[fine - 1] == '\0')
        --fine;
    return fine >= 4 && dati.at(fine - 2) == '\xFF' && dati.at(fine - 1) == '\xD9';
}

// The family a font name stands for (Windows' "arial" is the metric twin).
QString famigliaPerNome(const QString &nome)
{
    if (nome.compare(QLatin1String("arial"), Qt::CaseInsensitive) == 0 && !QFontDatabase::hasFamily(nome))
        return QStringLiteral("Liberation Sans");
    return nome;
}

} // namespace

PDFReportObj::PDFReportObj() : m_famiglia(QString::fromLatin1(FontOemSostitutivo))
{
    BeginDocument();
}

PDFReportObj::~PDFReportObj() = default;

void PDFReportObj::BeginDocument()
{
    m_file = std::make_unique<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("vorpla-pdf-XXXXXX")));
    m_registro.setDevice(nullptr);
    m_pagine = {m_dimensionePagina};
    m_immagini.clear();
    m_nomiPerFile.clear();
}

QDataStream &PDFReportObj::registro(Op op)
{
    if (!m_registro.device()) {
        if (!m_file->open())
            throw ErroreVB(Err::AccessoPercorso);
        m_registro.setDevice(m_file.get());
        m_registro.setVersion(QDataStream::Qt_6_0);
    }
    m_registro << quint8(op);
    if (m_registro.status() != QDataStream::Ok)
        throw ErroreVB(Err::AccessoPercorso);
    return m_registro;
}

void PDFReportObj::NewPage()
{
    registro(Op::Pagina);
    m_pagine.append(m_dimensionePagina);
}

void PDFReportObj::SetPageSize(qint32 larghezza, qint32 altezza)
{
    // Sizes a PDF page can have (1 to 14400 points a side).
    m_dimensionePagina = QSize(qBound(1, larghezza, 14400), qBound(1, altezza, 14400));
    m_pagine.last() = m_dimensionePagina;
}

void PDFReportObj::AddImage(const QString &file, QString &nome)
{
    nome.clear();
    const QFileInfo info(file);
    const QString chiave = info.absoluteFilePath() + u'\n' + QString::number(info.size()) + u'\n'
                           + QString::number(info.lastModified().toMSecsSinceEpoch());
    if (const auto trovato = m_nomiPerFile.constFind(chiave); trovato != m_nomiPerFile.constEnd()) {
        nome = *trovato;
        return;
    }
    const std::optional<QByteArray> dati = leggiFileRegolare(file, qint64(256) << 20);
    if (!dati || !jpegIntero(*dati))
        return;
    QBuffer buffer;
    buffer.setData(*dati);
    QImageReader lettore(&buffer, "jpeg");
    QImage immagine;
    if (!lettore.read(&immagine) || immagine.isNull())
        return;
    nome = QStringLiteral("Img%1").arg(m_immagini.size() + 1);
    m_immagini.insert(nome, immagine);
    m_nomiPerFile.insert(chiave, nome);
}

void PDFReportObj::DrawImage(const QString &nome, qint32 larghezza, qint32 altezza, qint32 x, qint32 y)
{
    if (!m_immagini.contains(nome) || larghezza == 0 || altezza == 0)
        return;
    registro(Op::Immagine) << nome << larghezza << altezza << x << y;
}

void PDFReportObj::PutText(const QString &testo, qint32, qint32)
{
    registro(Op::Direttiva) << testo << famigliaPerNome(m_nomeFont);
}

void PDFReportObj::MeasureText(const QString &testo, double &larghezza)
{
    const QFontMetricsF metriche(fontDi(m_famiglia, m_dimensione, m_grassetto != 0));
    // Metrics of the screen's resolution, converted to millimetres.
    larghezza = metriche.horizontalAdvance(testo) / metriche.fontDpi() * 25.4;
}

void PDFReportObj::DrawBox(double spessore, qint32, qint32, double x1, double x2, double y1, double y2)
{
    registro(Op::Riquadro) << spessore << x1 << x2 << y1 << y2;
}

void PDFReportObj::DrawText(const QString &testo, double x, double y, qint32 dimensione, qint32, const QString &,
                            qint32 stile)
{
    if (testo.isEmpty())
        return;
    registro(Op::Testo) << testo << x << y << dimensione << bool(stile == 1 || m_grassetto != 0);
}

void PDFReportObj::DrawLine(double x1, double x2, double y1, double y2)
{
    registro(Op::Linea) << x1 << x2 << y1 << y2;
}

void PDFReportObj::LoadFontFile(const QString &file)
{
    // A font file is registered once a process, however many documents
    // load it (a mail batch makes one a document).
    static QHash<QString, QString> registrati;
    m_famiglia = QString::fromLatin1(FontOemSostitutivo);
    const QFileInfo info(file);
    const QString chiave = info.absoluteFilePath() + u'\n' + QString::number(info.size()) + u'\n'
                           + QString::number(info.lastModified().toMSecsSinceEpoch());
    if (const auto trovato = registrati.constFind(chiave); trovato != registrati.constEnd()) {
        if (!trovato->isEmpty())
            m_famiglia = *trovato;
        return;
    }
    const std::optional<QByteArray> dati = leggiFileRegolare(file, DimensioneMassimaFont);
    const int id = dati ? QFontDatabase::addApplicationFontFromData(*dati) : -1;
    const QStringList famiglie = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    if (!famiglie.isEmpty())
        m_famiglia = famiglie.first();
    if (dati)
        registrati.insert(chiave, famiglie.value(0));
}

void PDFReportObj::SaveDocument(const QString &file, qint32 &esito)
{
    esito = Err::AccessoPercorso;
    m_erroreSalvataggio.clear();
    FileDestinazione destinazione(file);
    if (!destinazione.apri()) {
        m_erroreSalvataggio = destinazione.errore();
        return;
    }
    if (!scrivi(*destinazione.dispositivo())) {
        destinazione.annulla();
        m_erroreSalvataggio = QStringLiteral("Cannot write %1").arg(file);
        return;
    }
    if (!destinazione.conferma()) {
        m_erroreSalvataggio = destinazione.errore();
        return;
    }
    esito = 0;
}

// The recorded pages as a PDF.
bool PDFReportObj::scrivi(QIODevice &dispositivo)
{
    QPdfWriter pdf(&dispositivo);
    pdf.setResolution(Risoluzione);
    pdf.setCreator(m_info);
    pdf.setTitle(m_info);
    QSize impaginata;
    auto impaginaCome = [&](QSize punti) {
        if (punti == impaginata)
            return;
        impaginata = punti;
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(punti), QPageSize::Point, QString(), QPageSize::ExactMatch),
                                      QPageLayout::Portrait, QMarginsF()));
    };
    impaginaCome(m_pagine.first());
    QPainter pittore;
    if (!pittore.begin(&pdf))
        return false;
    pittore.setRenderHint(QPainter::Antialiasing, true);
    // The painter's font and pen change only when what is drawn needs
    // another: a state change costs the PDF engine more than the drawing.
    QHash<qint64, QFont> fonts;
    qint64 fontImpostato = -1;
    auto impostaFont = [&](const QString &famiglia, double punti, bool grassetto) {
        const qint64 chiave = (qint64(qHash(famiglia)) << 24) ^ (qint64(punti * 16) << 1) ^ qint64(grassetto);
        if (chiave == fontImpostato)
            return;
        auto f = fonts.find(chiave);
        if (f == fonts.end())
            f = fonts.insert(chiave, fontDi(famiglia, punti, grassetto));
        pittore.setFont(*f);
        fontImpostato = chiave;
    };
    double pennaImpostata = -2; // tenths of a millimetre; -1 the text pen
    auto penna = [&](double decimiMm) {
        if (decimiMm == pennaImpostata)
            return;
        pennaImpostata = decimiMm;
        if (decimiMm < 0) {
            pittore.setPen(QPen(Qt::black, 0));
            return;
        }
        QPen p(Qt::black);
        p.setWidthF(decimiMm * 0.1 * PuntiMm);
        p.setCapStyle(Qt::SquareCap);
        p.setJoinStyle(Qt::MiterJoin);
        pittore.setPen(p);
    };
    pittore.setBrush(Qt::NoBrush);

    if (m_registro.device()) {
        // Reading back from the start; the record goes on at its end
        // whatever the outcome.
        QIODevice &registro = *m_registro.device();
        struct AllaFine
        {
            QIODevice &d;
            ~AllaFine() { d.seek(d.size()); }
        } allaFine{registro};
        registro.seek(0);
        QDataStream in(m_registro.device());
        in.setVersion(QDataStream::Qt_6_0);
        qsizetype pagina = 0;
        while (!in.atEnd()) {
            quint8 codice = 0;
            in >> codice;
            switch (Op(codice)) {
            case Op::Pagina:
                ++pagina;
                if (avanzamentoSalvataggio)
                    avanzamentoSalvataggio(int(pagina) + 1, int(m_pagine.size()));
                impaginaCome(m_pagine.value(pagina, m_pagine.last()));
                pdf.newPage();
                break;
            case Op::Testo: {
                QString t;
                double x, y;
                qint32 dimensione;
                bool grassetto;
                in >> t >> x >> y >> dimensione >> grassetto;
                impostaFont(m_famiglia, dimensione, grassetto);
                penna(-1);
                pittore.drawText(QPointF(x * PuntiMm, y * PuntiMm), t);
                break;
            }
            case Op::Direttiva: {
                QString t, famiglia;
                in >> t >> famiglia;
                // In 1-point text at the top of the page, read by the fax
                // software and practically invisible.
                impostaFont(famiglia, 1, false);
                penna(-1);
                pittore.drawText(QPointF(0, 0.353 * PuntiMm), t);
                break;
            }
            case Op::Riquadro: {
                double spessore, x1, x2, y1, y2;
                in >> spessore >> x1 >> x2 >> y1 >> y2;
                penna(qMax(0.0, spessore));
                const QPointF a(x1 * PuntiMm, y1 * PuntiMm), b(x2 * PuntiMm, y2 * PuntiMm);
                if (x1 == x2 || y1 == y2)
                    pittore.drawLine(a, b);
                else
                    pittore.drawRect(QRectF(a, b).normalized());
                break;
            }
            case Op::Linea: {
                double x1, x2, y1, y2;
                in >> x1 >> x2 >> y1 >> y2;
                penna(1.0);
                pittore.drawLine(QPointF(x1 * PuntiMm, y1 * PuntiMm), QPointF(x2 * PuntiMm, y2 * PuntiMm));
                break;
            }
            case Op::Immagine: {
                QString nome;
                qint32 larghezza, altezza, x, y;
                in >> nome >> larghezza >> altezza >> x >> y;
                // The same QImage each time: the writer stores it once.
                const auto immagine = m_immagini.constFind(nome);
                if (immagine != m_immagini.constEnd())
                    pittore.drawImage(QRectF(x * PuntiMm, y * PuntiMm, larghezza * PuntiMm, altezza * PuntiMm),
                                      *immagine);
                break;
            }
            default:
                pittore.end();
                return false;
            }
            if (in.status() != QDataStream::Ok) {
                pittore.end();
                return false;
            }
        }
    }
    return pittore.end();
}

} // namespace vorpla
