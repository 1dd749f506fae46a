#pragma once
// How far a long run of the program has come: a print (copy and page), a
// PDF (page), a mail batch or a publishing (document). The run says what it
// is doing; the window that shows it, and lets the user stop it, is the
// observer's (none without a display, and then nothing is shown).
//
// Runs nest (mail after a print, a PDF inside a publishing): the outermost
// begins and ends what is shown, the inner ones only report.

#include <QString>

namespace vorpla {

class OsservatoreAvanzamento
{
public:
    virtual ~OsservatoreAvanzamento() = default;
    // A run begins: `titolo` names it ("Stampa", "Invio e-mail").
    virtual void inizio(const QString &titolo) = 0;
    // What it is doing now, and its count: `fatto` of `totale` (no count
    // when totale is 0).
    virtual void stato(const QString &testo, int fatto, int totale) = 0;
    // The run is over, however it ended.
    virtual void fine() = 0;
};

// The program's observer (nullptr: none).
void impostaOsservatoreAvanzamento(OsservatoreAvanzamento *osservatore);

// One run, for as long as the object lives.
class CorsaLunga
{
public:
    explicit CorsaLunga(const QString &titolo);
    ~CorsaLunga();
    CorsaLunga(const CorsaLunga &) = delete;
    CorsaLunga &operator=(const CorsaLunga &) = delete;
};

// What the open run is doing now (nothing when no run is open).
void segnalaAvanzamento(const QString &testo, int fatto = 0, int totale = 0);

// The page being drawn: "Copia c di C - pagina k di N", or "Pagina k di N"
// for a single copy, counted over all the copies' pages. The page count
// comes from the print file and may fall short (a page that overflows onto
// the next): it is then the page being drawn.
void segnalaPagina(int copia, int copie, int pagina, int pagine);

} // namespace vorpla
