#pragma once
// The PDF document object built into the program (it stands for the report
// component "PDFReportOCX.PDFReportObj"): a real PDF through Qt's PDF
// writer. Text stays text, in the TrueType font given by LoadFontFile
// (embedded once a file, as a subset) or, when that file is missing or is no
// font, in the fixed-pitch stand-in; frames and rules are vector lines; a
// JPEG added several times is one picture in the file.
//
// What is drawn is recorded, page by page, in a temporary file of the
// system's temporary folder, and written out as a PDF at each SaveDocument:
// the document may be saved half-way (a fax batch's "@FAXS") and again at
// the end, every save holding every page drawn so far, and a document of
// ten thousand pages costs no more memory than one of a thousand. A save
// writes beside the target and renames, so no reader sees half a PDF; a
// target that is not a regular file is left alone and the save fails.

#include "interpreter/DocumentoPdf.h"

#include <QDataStream>
#include <QHash>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QTemporaryFile>
#include <functional>
#include <memory>

namespace vorpla {

class PDFReportObj : public DocumentoPdf
{
public:
    PDFReportObj();
    ~PDFReportObj() override;

    void SaveDocument(const QString &file, qint32 &esito) override;
    void SetInfoText(const QString &testo) override { m_info = testo; }
    void NewPage() override;
    void SetPageSize(qint32 larghezza, qint32 altezza) override;
    void AddImage(const QString &file, QString &nome) override;
    void DrawImage(const QString &nome, qint32 larghezza, qint32 altezza, qint32 x, qint32 y) override;
    void BeginDocument() override;
    void SetOptionA(qint32) override {}
    void DocFontName(const QString &nome) override { m_nomeFont = nome; }
    qint32 DocFontSize() const override { return m_dimensione; }
    void DocFontSize(qint32 punti) override { m_dimensione = punti; }
    qint32 DocFontBold() const override { return m_grassetto; }
    void DocFontBold(qint32 grassetto) override { m_grassetto = grassetto; }
    void PutText(const QString &testo, qint32 a, qint32 b) override;
    void MeasureText(const QString &testo, double &larghezza) override;
    void DrawBox(double spessore, qint32 a, qint32 b, double x1, double x2, double y1, double y2) override;
    void DrawText(const QString &testo, double x, double y, qint32 dimensione, qint32 a, const QString &risorsa,
                  qint32 stile) override;
    void DrawLine(double x1, double x2, double y1, double y2) override;
    void LoadFontFile(const QString &file) override;
    void SetOptionB(qint32) override {}

    // The family the texts are drawn in (the stand-in until a font loads).
    const QString &famiglia() const { return m_famiglia; }
    // The last save's failure, naming the file; empty after a good save.
    const QString &erroreSalvataggio() const { return m_erroreSalvataggio; }
    // Called as a save writes each page (page, pages): writing a long
    // document takes seconds, and the caller shows how far it is and lets
    // the windows work. What it raises stops the save, the target left as
    // it was.
    std::function<void(int pagina, int pagine)> avanzamentoSalvataggio;

private:
    enum class Op : quint8 { Pagina, Testo, Riquadro, Linea, Immagine, Direttiva };
    QDataStream &registro(Op op);
    bool scrivi(QIODevice &dispositivo);

    std::unique_ptr<QTemporaryFile> m_file;
    QDataStream m_registro;
    QList<QSize> m_pagine{QSize(595, 842)}; // each page's size, points
    QSize m_dimensionePagina{595, 842};
    QHash<QString, QImage> m_immagini;        // by name
    QHash<QString, QString> m_nomiPerFile;    // file identity -> name
    QString m_info;
    QString m_nomeFont = QStringLiteral("arial");
    QString m_famiglia;
    qint32 m_dimensione = 10;
    qint32 m_grassetto = 0;
    QString m_erroreSalvataggio;
};

} // namespace vorpla
