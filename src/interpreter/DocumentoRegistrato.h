#pragma once
// A document object that records every call made to it, with its values, in
// order: for tests of what the PDF form asks of the document, and for the
// fuzz target. It keeps the font state the getters read back and measures
// text as the stand-in fixed-pitch font at the document's size.

#include "DocumentoPdf.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace vorpla {

struct ChiamataDocumento
{
    QString operazione;     // "DrawText", "SetPageSize" ...
    QVariantList argomenti; // in call order
    int pagina = 0;         // the page current at the call, from 0
};

class DocumentoRegistrato : public DocumentoPdf
{
public:
    const QList<ChiamataDocumento> &chiamate() const { return m_chiamate; }
    // The calls of one operation, in order.
    QList<ChiamataDocumento> chiamate(const QString &operazione) const;
    int pagine() const { return m_pagina + 1; }
    // Keeps nothing but the page count (the fuzz target's long runs).
    void soloConteggio(bool s) { m_soloConteggio = s; }
    // What SaveDocument answers.
    qint32 esitoSalvataggio = 0;

    void SaveDocument(const QString &file, qint32 &esito) override;
    void SetInfoText(const QString &testo) override;
    void NewPage() override;
    void SetPageSize(qint32 larghezza, qint32 altezza) override;
    void AddImage(const QString &file, QString &nome) override;
    void DrawImage(const QString &nome, qint32 larghezza, qint32 altezza, qint32 x, qint32 y) override;
    void BeginDocument() override;
    void SetOptionA(qint32 valore) override;
    void DocFontName(const QString &nome) override;
    qint32 DocFontSize() const override { return m_dimensione; }
    void DocFontSize(qint32 punti) override;
    qint32 DocFontBold() const override { return m_grassetto; }
    void DocFontBold(qint32 grassetto) override;
    void PutText(const QString &testo, qint32 a, qint32 b) override;
    void MeasureText(const QString &testo, double &larghezza) override;
    void DrawBox(double spessore, qint32 a, qint32 b, double x1, double x2, double y1, double y2) override;
    void DrawText(const QString &testo, double x, double y, qint32 dimensione, qint32 a, const QString &risorsa,
                  qint32 stile) override;
    void DrawLine(double x1, double x2, double y1, double y2) override;
    void LoadFontFile(const QString &file) override;
    void SetOptionB(qint32 valore) override;

private:
    void registra(const char *operazione, QVariantList argomenti);

    QList<ChiamataDocumento> m_chiamate;
    int m_pagina = 0;
    int m_immagini = 0;
    qint32 m_dimensione = 10;
    qint32 m_grassetto = 0;
    bool m_soloConteggio = false;
};

} // namespace vorpla
