#pragma once
// DISEGNA, the preview window's print-stream interpreter: the printer's
// interpreter drawing one page of the job into the window's page buffer,
// a page of 19 by 27 centimetres.
//
// It is the printer's layout with the preview's numbers (NumeriAnteprima:
// margins and inner gap 0.2 cm, no top margin, its own sizes), and reads
// nothing around the print file: no vorpla.ini key (every key reads as
// empty), no device name, no document type (a fresh set of form values, so
// the output form's values are never touched and the ASTOI rules never
// apply). The markers its column of the marker table marks S are drawn by
// the printer's renderers; those marked A have the renderers below, where
// the preview puts things elsewhere: the address window at 10 to 7 cm, the
// titles and dates on the line at 9 cm, the voucher offset growing by 1 cm.
// "@TXT2" lines are collected until "@TXTf", which draws them in two
// columns (the second at 10.5 cm, a rule at 9.6 cm); "@DAT3" puts its text
// against the right margin 10.5 cm from the top.
//
// The page runs from its first line to the first "@PAGE" or "@PAGV" line
// (leading blanks ignored, as the page count reads them) or the end of the
// file; no new page is ever started, no footer, page number or fold mark is
// drawn, and inline pictures leave their place blank. An error of a line
// ends the page and is raised to the window, naming the line.

#include "Interprete.h"
#include "ValoriForm.h"

namespace vorpla {

namespace dettaglio {
// The preview's own form values, made before the interpreter that uses them.
struct ValoriDellAnteprima
{
    ValoriForm m_valoriAnteprima;
};
} // namespace dettaglio

class InterpreteAnteprima : private dettaglio::ValoriDellAnteprima, public Interprete
{
public:
    // Draws on `pagina` (the page buffer), reading `file`.
    InterpreteAnteprima(Superficie &pagina, QString file);

    // Draws the page that starts at line `primaRiga` (from 1); the lines
    // before it are read and skipped. An error is raised as ErroreVB.
    void DISEGNA(qint64 primaRiga);

    // The page, centimetres.
    static constexpr double LarghezzaPagina = 19;
    static constexpr double AltezzaPagina = 27;

protected:
    void inizioCorsa() override;
    void primaDellaRiga(QByteArrayView letta) override;
    void disegnaRiga(const RigaStampa &riga) override;
    bool recupera(const ErroreVB &errore) override;
    void fineFile() override;
    void errore(int numero, const QString &descrizione) override;

    QString Leggi(const QString &sezione, const QString &chiave) const override;
    double baseIndirizzo() const override;
    QString fileImmagineInLinea(const QString &nome) const override;

private:
#define VORPLA_DICHIARA_ANTEPRIMA(testo, nome, s, p, a) VORPLA_ANTEPRIMA_DICHIARA_##a(nome)
#define VORPLA_ANTEPRIMA_DICHIARA_A(nome) void a_##nome(const RigaStampa &riga);
#define VORPLA_ANTEPRIMA_DICHIARA_S(nome)
#define VORPLA_ANTEPRIMA_DICHIARA__(nome)
    VORPLA_MARCATORI(VORPLA_DICHIARA_ANTEPRIMA)
#undef VORPLA_DICHIARA_ANTEPRIMA
};

} // namespace vorpla
