#pragma once
// The plain-text editor ("Edit"): the print file corrected by hand before it
// is printed. The text is the file's bytes, one character a byte
// (Windows-1252, so every byte comes back as it was); saving replaces the
// print file with the text and one line end, so every later command works on
// the corrected file. Closing with changes (letter case aside) asks whether
// to save them.

#include <QString>
#include <functional>

namespace vorpla {

class Form1
{
public:
    // The longest text the editor takes; a longer file goes to the user's
    // own editor.
    static constexpr qsizetype LunghezzaMassima = 65536;
    static constexpr const char *Domanda = "Il testo è stato modificato. Salvo le modifiche?";

    // Reads the print file (FileIngresso). Raises the file's open errors.
    void carica();

    // The window shown or resized: the first time, the text loaded counts
    // as saved.
    void Form_Resize();
    // "Salva": the print file replaced whole by the text and CR LF. Raises
    // an error when it cannot be written, the file left as it was.
    void Salva();
    // "Salva con nome": the text and CR LF to the file the dialog gives;
    // errors are ignored and a cancelled dialog ("" from `chiediNome`)
    // writes nothing.
    void SalvaConNome(const std::function<QString()> &chiediNome);
    // "Aumenta" / "Diminuisci": 2 points more or less (never under 1).
    void Aumenta() { dimensioneCarattere += 2; }
    void Diminuisci();
    // Whether the window may close: with changes the question, Yes saving
    // first, Cancel keeping the window.
    bool Form_Unload();

    bool modificato() const;

    QString Text1;
    QString TestoSalvato;
    double dimensioneCarattere = 10;

private:
    bool m_mostrato = false;
};

} // namespace vorpla
