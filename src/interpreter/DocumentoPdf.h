#pragma once
// The PDF document object the PDF output form draws on (the report
// component "PDFReportOCX.PDFReportObj"): its operations, in the order of
// its interface, with their arguments in call order.
//
// Units: positions and lengths in millimetres, x from the left edge and y
// downwards from the top edge of the page; page sizes in points; font sizes
// in whole points. A text's y is its baseline. Texts come decoded for the
// font they are drawn in, as the drawing surface decodes them.
//
// A new object holds one empty page; NewPage adds the next one.

#include <QString>

namespace vorpla {

class DocumentoPdf
{
public:
    virtual ~DocumentoPdf() = default;

    // Writes the document drawn so far to the file. `esito` is 0 when the
    // file was written, otherwise the error number of the failure.
    virtual void SaveDocument(const QString &file, qint32 &esito) = 0;
    virtual void SetInfoText(const QString &testo) = 0;
    virtual void NewPage() = 0;
    // The size of the current page and of those that follow, points.
    virtual void SetPageSize(qint32 larghezza, qint32 altezza) = 0;
    // Loads a JPEG file; `nome` receives the name DrawImage places it by,
    // empty when the file is no usable JPEG.
    virtual void AddImage(const QString &file, QString &nome) = 0;
    virtual void DrawImage(const QString &nome, qint32 larghezza, qint32 altezza, qint32 x, qint32 y) = 0;
    virtual void BeginDocument() = 0;
    virtual void SetOptionA(qint32 valore) = 0;
    virtual void DocFontName(const QString &nome) = 0;
    virtual qint32 DocFontSize() const = 0;
    virtual void DocFontSize(qint32 punti) = 0;
    virtual qint32 DocFontBold() const = 0;
    // -1 bold, 0 not.
    virtual void DocFontBold(qint32 grassetto) = 0;
    // Text for the software that reads the file (fax directives), in the
    // font named by DocFontName.
    virtual void PutText(const QString &testo, qint32 a, qint32 b) = 0;
    // The width of the text in the current font, millimetres.
    virtual void MeasureText(const QString &testo, double &larghezza) = 0;
    // A rectangle outline through two corners; a box of zero width or
    // height is a rule. The line width is in tenths of a millimetre.
    virtual void DrawBox(double spessore, qint32 a, qint32 b, double x1, double x2, double y1, double y2) = 0;
    // A line of text in the loaded font (`risorsa` "/F12"); style 1 draws
    // it bold.
    virtual void DrawText(const QString &testo, double x, double y, qint32 dimensione, qint32 a,
                          const QString &risorsa, qint32 stile) = 0;
    virtual void DrawLine(double x1, double x2, double y1, double y2) = 0;
    // The TrueType file the texts are drawn with.
    virtual void LoadFontFile(const QString &file) = 0;
    virtual void SetOptionB(qint32 valore) = 0;
};

// The font resource texts are drawn with.
inline constexpr const char *RisorsaFont = "/F12";

} // namespace vorpla
