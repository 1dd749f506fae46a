#include "DocumentoRegistrato.h"

#include "Superficie.h"
#include "SuperficieRegistrata.h"

#include <QFont>

namespace vorpla {

QList<ChiamataDocumento> DocumentoRegistrato::chiamate(const QString &operazione) const
{
    QList<ChiamataDocumento> trovate;
    for (const ChiamataDocumento &c : m_chiamate)
        if (c.operazione == operazione)
            trovate.append(c);
    return trovate;
}

void DocumentoRegistrato::registra(const char *operazione, QVariantList argomenti)
{
    if (!m_soloConteggio)
        m_chiamate.append({QLatin1String(operazione), std::move(argomenti), m_pagina});
}

void DocumentoRegistrato::SaveDocument(const QString &file, qint32 &esito)
{
    esito = esitoSalvataggio;
    registra("SaveDocument", {file});
}

void DocumentoRegistrato::SetInfoText(const QString &testo) { registra("SetInfoText", {testo}); }

void DocumentoRegistrato::NewPage()
{
    ++m_pagina;
    registra("NewPage", {});
}

void DocumentoRegistrato::SetPageSize(qint32 larghezza, qint32 altezza)
{
    registra("SetPageSize", {larghezza, altezza});
}

void DocumentoRegistrato::AddImage(const QString &file, QString &nome)
{
    nome = QStringLiteral("I%1").arg(++m_immagini);
    registra("AddImage", {file, nome});
}

void DocumentoRegistrato::DrawImage(const QString &nome, qint32 larghezza, qint32 altezza, qint32 x, qint32 y)
{
    registra("DrawImage", {nome, larghezza, altezza, x, y});
}

void DocumentoRegistrato::BeginDocument() { registra("BeginDocument", {}); }
void DocumentoRegistrato::SetOptionA(qint32 valore) { registra("SetOptionA", {valore}); }
void DocumentoRegistrato::DocFontName(const QString &nome) { registra("DocFontName", {nome}); }

void DocumentoRegistrato::DocFontSize(qint32 punti)
{
    m_dimensione = punti;
    registra("DocFontSize", {punti});
}

void DocumentoRegistrato::DocFontBold(qint32 grassetto)
{
    m_grassetto = grassetto;
    registra("DocFontBold", {grassetto});
}

void DocumentoRegistrato::PutText(const QString &testo, qint32 a, qint32 b) { registra("PutText", {testo, a, b}); }

void DocumentoRegistrato::MeasureText(const QString &testo, double &larghezza)
{
    QFont font{QString::fromLatin1(FontOemSostitutivo)};
    font.setPointSize(qMax(1, m_dimensione));
    font.setBold(m_grassetto != 0);
    font.setKerning(false);
    larghezza = misuraTestoCm(testo, font, 600).width() * 10;
    registra("MeasureText", {testo, larghezza});
}

void DocumentoRegistrato::DrawBox(double spessore, qint32 a, qint32 b, double x1, double x2, double y1, double y2)
{
    registra("DrawBox", {spessore, a, b, x1, x2, y1, y2});
}

void DocumentoRegistrato::DrawText(const QString &testo, double x, double y, qint32 dimensione, qint32 a,
                                   const QString &risorsa, qint32 stile)
{
    registra("DrawText", {testo, x, y, dimensione, a, risorsa, stile});
}

void DocumentoRegistrato::DrawLine(double x1, double x2, double y1, double y2)
{
    registra("DrawLine", {x1, x2, y1, y2});
}

void DocumentoRegistrato::LoadFontFile(const QString &file) { registra("LoadFontFile", {file}); }
void DocumentoRegistrato::SetOptionB(qint32 valore) { registra("SetOptionB", {valore}); }

} // namespace vorpla
