#include "FormPreview.h"

#include "common/LettoreRighe.h"
#include "common/ModPubblico.h"
#include "common/Numeri.h"
#include "common/Routine.h"
#include "common/TabellaCaratteri.h"
#include "interpreter/InterpreteAnteprima.h"
#include "interpreter/LettoreStampa.h"
#include "interpreter/SuperficiePittore.h"

#include <algorithm>
#include <limits>

namespace vorpla {

namespace {

// Text mode's character cell, as the platform's character scale: 120 twips
// wide, 240 high.
constexpr double CellaLarghezzaTwip = 120;
constexpr double CellaAltezzaTwip = 240;

QByteArrayView rifilata(QByteArrayView riga)
{
    while (!riga.isEmpty() && riga.front() == ' ')
        riga = riga.sliced(1);
    while (!riga.isEmpty() && riga.back() == ' ')
        riga.chop(1);
    return riga;
}

// The page number typed in txtPag as a whole number; `corrente` when it is
// not a number.
qint64 paginaScritta(const QString &testo, qint64 corrente)
{
    if (!IsNumeric(testo))
        return corrente;
    const double valore = Val(testo);
    if (valore > 1e9)
        return qint64(1e9);
    if (valore < -1e9)
        return qint64(-1e9);
    return CLng(valore);
}

bool marcatore(QByteArrayView riga, const char *nome)
{
    return riga.size() >= 5 && riga.first(5) == QByteArrayView(nome);
}

} // namespace

FormPreview::FormPreview(QString file) : m_file(std::move(file)) {}

void FormPreview::Form_Load()
{
    impostaRoutine(QStringLiteral("frmPreview"), QStringLiteral("Form_Load"));
    CARATTERI_WINPC();
    conta_pagine();
    Zoom = 1.0;
    txtPag = QStringLiteral("1");
    m_pagina = 1;
    anteprima(1);
}

void FormPreview::conta_pagine()
{
    ModoGrafico = false;
    NumPagine = 0;
    InizioPagina = {0};
    LettoreRighe righe(m_file);
    QByteArrayView letta;
    for (qint64 n = 1; righe.prossima(letta); ++n) {
        const QByteArrayView riga = rifilata(letta);
        if (marcatore(riga, "@PAGE") || marcatore(riga, "@PAGV")) {
            ++NumPagine;
            InizioPagina.append(n);
        } else if (marcatore(riga, "@LARG") && RigaStampa(riga).colonne(7, 3) == QByteArrayView("PRO")) {
            ModoGrafico = true;
        }
    }
    lblPagTot = QStringLiteral("di %1").arg(NumPagine);
    txtPag = QStringLiteral("1");
}

qint64 FormPreview::inizioPagina(qint64 p) const
{
    const qint64 indice = p - 1;
    return indice >= 0 && indice < InizioPagina.size() ? InizioPagina.at(indice) + 1 : 1;
}

void FormPreview::preparaBuffer(int larghezzaTwip, int altezzaTwip)
{
    const QSize dimensione(qRound(double(larghezzaTwip) / TwipPerPixel), qRound(double(altezzaTwip) / TwipPerPixel));
    if (picBuffer.size() == dimensione)
        return;
    picBuffer = QImage(dimensione, QImage::Format_RGB32);
    // 15 twips a pixel: 96 pixels an inch.
    picBuffer.setDotsPerMeterX(qRound(96 / 0.0254));
    picBuffer.setDotsPerMeterY(qRound(96 / 0.0254));
}

void FormPreview::anteprima(qint64 riga)
{
    if (ModoGrafico)
        DISEGNA(riga);
    else
        testo(riga);
}

void FormPreview::testo(qint64 riga)
{
    preparaBuffer(LatoBufferTwip, LatoBufferTwip);
    SuperficiePittore buffer(&picBuffer, QStringLiteral("frmPreview"));
    buffer.FontName(QStringLiteral("NetTerm OEM"));
    buffer.FontSize(m_dimensioneFont);
    buffer.FontBold(m_grassetto);
    buffer.FontUnderline(m_sottolineato);
    // One unit a character cell.
    buffer.ScaleWidth(LatoBufferTwip / CellaLarghezzaTwip);
    buffer.ScaleHeight(LatoBufferTwip / CellaAltezzaTwip);
    ColonneTesto = 0;
    qint16 r = 0;
    LettoreRighe righe(m_file);
    QByteArrayView letta;
    for (qint64 n = 1; righe.prossima(letta); ++n) {
        if (n < riga)
            continue;
        const QByteArray convertita = convertiHostWin(QByteArray(letta.data(), letta.size()));
        const QByteArrayView linea = rifilata(convertita);
        if (marcatore(linea, "@RIGA")) {
            QByteArrayView testo = RigaStampa(linea).argomento();
            while (!testo.isEmpty() && testo.back() == ' ')
                testo.chop(1);
            qint16 c = 1;
            for (const char carattere : testo) {
                buffer.CurrentY = r + 2;
                switch (carattere) {
                case 2: buffer.FontBold(true); break;
                case 3: buffer.FontUnderline(true); break;
                case 4:
                    buffer.FontBold(true);
                    buffer.FontUnderline(true);
                    break;
                case 1:
                    buffer.FontBold(false);
                    buffer.FontUnderline(false);
                    break;
                default:
                    ++c;
                    ColonneTesto = std::max(ColonneTesto, c);
                    buffer.CurrentX = c;
                    buffer.Print(QByteArrayView(&carattere, 1));
                }
            }
            ++r;
        } else if (marcatore(linea, "@LARG")) {
            // Its scale lasts to the next line only; its font stays.
            const RigaStampa larg(linea);
            const QByteArrayView larghezza = larg.colonne(7, 3), verso = larg.colonne(10, 3);
            if (larghezza == QByteArrayView("132") && (verso == QByteArrayView("VER") || verso == QByteArrayView("ORI"))) {
                buffer.FontName(QStringLiteral("NetTerm OEM"));
                buffer.FontSize(8);
                buffer.FontBold(false);
            } else if (larghezza == QByteArrayView("080")) {
                buffer.FontName(QStringLiteral("NetTerm OEM"));
                buffer.FontSize(12);
            }
        } else if (marcatore(linea, "@PAGE")) {
            break;
        }
    }
    buffer.FineDocumento();
    m_dimensioneFont = buffer.FontSize();
    m_grassetto = buffer.FontBold();
    m_sottolineato = buffer.FontUnderline();
    RigheTesto = r;
    HScroll1.Max = CInt(ColonneTesto / 3.0);
    VScroll1.Max = CInt(RigheTesto / 2.0);
    HScroll1.Value = std::min(HScroll1.Value, HScroll1.Max);
    VScroll1.Value = std::min(VScroll1.Value, VScroll1.Max);
}

void FormPreview::DISEGNA(qint64 riga)
{
    preparaBuffer(LarghezzaPaginaTwip, AltezzaPaginaTwip);
    {
        SuperficiePittore buffer(&picBuffer, QStringLiteral("frmPreview"));
        InterpreteAnteprima interprete(buffer, m_file);
        interprete.DISEGNA(riga);
        buffer.FineDocumento();
    }
    ColonneTesto = 21;
    RigheTesto = 27;
    HScroll1.Max = std::max(0, int(CInt(ColonneTesto / 2.0 - 10)));
    VScroll1.Max = CInt(RigheTesto / 2.0);
    VScroll1.LargeChange = VScroll1.Max / 4;
    HScroll1.Value = std::min(HScroll1.Value, HScroll1.Max);
    VScroll1.Value = std::min(VScroll1.Value, VScroll1.Max);
}

void FormPreview::mostraPagina(qint64 pagina)
{
    pagina = std::max<qint64>(1, pagina);
    txtPag = QString::number(pagina);
    m_pagina = int(std::min<qint64>(pagina, std::numeric_limits<int>::max()));
    anteprima(inizioPagina(pagina));
    VScroll1.Value = 0;
}

void FormPreview::cmdNext_Click()
{
    // A number typed in the box counts; anything else keeps the page shown.
    qint64 p = paginaScritta(txtPag, m_pagina);
    if (p < NumPagine)
        ++p;
    mostraPagina(p);
}

void FormPreview::cmdPrev_Click()
{
    qint64 p = paginaScritta(txtPag, m_pagina);
    if (p > 1)
        --p;
    mostraPagina(p);
}

void FormPreview::Form_KeyUp(int codice)
{
    if (codice == 34) {
        VScroll1.Value = std::min(VScroll1.Value + VScroll1.LargeChange, VScroll1.Max);
    } else if (codice == 33) {
        const int valore = VScroll1.Value - VScroll1.LargeChange;
        VScroll1.Value = valore < 1 ? 0 : valore;
    }
}

QRect FormPreview::areaDaCopiare(QSize visibile) const
{
    if (ModoGrafico) {
        // The scroll values are centimetres.
        const double pixelCm = 567.0 / TwipPerPixel;
        return QRect(qRound(HScroll1.Value * pixelCm), qRound(VScroll1.Value * pixelCm),
                     qRound(visibile.width() * Zoom), qRound(visibile.height() * Zoom));
    }
    return QRect(HScroll1.Value * 9, VScroll1.Value * 19, visibile.width(), visibile.height());
}

} // namespace vorpla
