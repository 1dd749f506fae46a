#pragma once
// GRAFICA of the PDF output form: the print-stream reader with the PDF
// page layout, drawing on a PDF document object in millimetres.
//
// It is the printer's interpreter with another layout: the markers its
// column of the marker table marks S (boxed tables, label lines, document
// sections) are drawn by the printer's own renderers, in millimetres,
// through a SuperficieDocumento; the markers marked P have the renderers
// below; the others are not in its dispatch. The running position lives in
// YCorrente alone; a text line is drawn with its baseline at YCorrente and
// moves it one line down (the size in points times 0.353 mm). Every x drawn
// gets the layout's 1 mm offset unless a rule says otherwise.
//
// Around the line loop: no deferred page change (a page end starts the next
// page itself; fax printers may defer it or leave it out), no footer, no
// fold mark, and a page overflow test only while two-column text is
// buffered. At the end of the file the document is saved as the job's PDF.
// An error ends the run: silently for a printing error on a "pdf" printer,
// otherwise with the standard routine message; the program goes on.

#include "DocumentoPdf.h"
#include "Interprete.h"
#include "SuperficieDocumento.h"

#include <QPair>
#include <QSizeF>
#include <functional>

namespace vorpla {

namespace dettaglio {
// The document's surface, made before the interpreter that draws on it.
struct PaginaDelDocumento
{
    PaginaDelDocumento(DocumentoPdf &documento, Superficie &stampante) : m_pagina(documento, stampante) {}
    SuperficieDocumento m_pagina;
};
} // namespace dettaglio

class InterpretePdf : private dettaglio::PaginaDelDocumento, public Interprete
{
public:
    // `stampante` is the runtime printer (device name, page size, text
    // measures); nothing is drawn on it.
    InterpretePdf(DocumentoPdf &documento, Superficie &stampante, ValoriForm &form, QString file);

    // One run over the whole file. False when it ended on an error.
    bool GRAFICA();

    // The PDF file of the job, written at the end and at "@FAXS" on fax
    // printers.
    QString filePdf;
    // The label sheet of the printer output form, millimetres (txtPX by
    // txtPY), for "@ETTI".
    std::function<QSizeF()> foglioEtichette;
    // Starts the bar-code converter with its argument, not waiting for it.
    // Unset, the converter of the program folder is started.
    std::function<void(const QString &programma, const QString &argomento)> avviaConvertitore;
    // Waits, letting events run (the converter's 500 ms); unset, the run
    // waits itself.
    std::function<void(int ms)> attendi;

protected:
    void inizioCorsa() override;
    void primaDellaRiga(QByteArrayView letta) override;
    void disegnaRiga(const RigaStampa &riga) override;
    void fineFile() override;

    // What differs in the shared rules: pictures by file, label lines on
    // their baseline, no fold mark, vouchers of one rendering.
    QSizeF dimensioneImmagine(const QString &percorso) override;
    void disegnaImmagine(const QString &percorso, double x, double y, double larghezza, double altezza) override;
    QString fileImmagineInLinea(const QString &nome) const override;
    void rigaEtichetta(QByteArrayView linea, double x, double y) override;
    void Trattino() override;
    bool unaCopia() const override;
    bool voucherSenzaNuovaPagina() const override;
    void inizioVoucher() override;
    double posizioneTesto() const override;
    void posizionaTesto(double y) override;
    void rigaDiTesto(QByteArrayView testo, double x, int stile) override;

    // The run ends on an error: no logo falls back to the letterhead.
    bool recupera(const ErroreVB &errore) override;
    void errore(int numero, const QString &descrizione) override;

private:
    // Texts, at the current size of the document.
    void scrivi(QByteArrayView testo, double x, double y, int stile = 0);
    void scriviSenzaScostamento(QByteArrayView testo, double x, double y, int stile = 0);
    void riga(QByteArrayView testo, double x, int stile = 0);
    void avanza() { m_s.YCorrente += m_doc.DocFontSize() * 0.353; }
    double dimensione() const { return m_doc.DocFontSize(); }
    void riquadro(double x1, double y1, double x2, double y2, double spessore = 1.0);
    double centrato(QByteArrayView testo) const;
    void titoloIncorniciato(QByteArrayView titolo, double punti, double sopra, double oltre, double sotto,
                            double spessore = 1.0, bool unaRigaSotto = false);
    void testoConAttributiPdf(QByteArrayView testo, bool grassetto, bool sottolineato, bool centrato,
                              bool rigaIntera = false);
    void titoloCentrato(QByteArrayView titolo);
    void titoloAstoi(QByteArrayView titolo);
    void avviaPaginaPendente();
    void salva();
    void logoPdf(const RigaStampa &riga, bool voucher);
    void testoLibero(QByteArrayView testo, double x);
    void stampaDueColonnePdf();
    void direttiva(const QString &testo);
    void CodiceABarrePdf(QByteArray &testo);
    QString nomeImmagine(const QString &percorso);
    bool testoADestra() const;

#define VORPLA_DICHIARA_PDF(testo, nome, s, p, a) VORPLA_PDF_DICHIARA_##p(nome)
#define VORPLA_PDF_DICHIARA_P(nome) void p_##nome(const RigaStampa &riga);
#define VORPLA_PDF_DICHIARA_S(nome)
#define VORPLA_PDF_DICHIARA__(nome)
    VORPLA_MARCATORI(VORPLA_DICHIARA_PDF)
#undef VORPLA_DICHIARA_PDF

    DocumentoPdf &m_doc;
    Superficie &m_stampante;
    double m_scostamentoRiga = 0;     // "@RIGA" rows, whole millimetres
    bool m_paginaSeContinua = false;  // fax page end: a page only if lines follow
    bool m_errore = false;
    QPair<QString, QString> m_ultimaImmagine; // file, document name
};

} // namespace vorpla
