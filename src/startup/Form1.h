#pragma once
// The plain-text editor ("Edit"): the print file corrected by hand before it
// is printed. The text is the file as the page reads it, one character a
// byte (host 0x85 is "à", as printed); saving writes it back as the host's
// bytes and one line end, replacing the print file, so every later command
// works on the corrected file. A line left as it was read is written with
// the very bytes it was read from; a character no host byte prints (the
// euro sign, "…") is refused with a message naming it, and nothing is
// written. Closing with changes (letter case included) asks whether to save
// them.

#include <QByteArray>
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
    // "Salva": the print file replaced whole by the text and CR LF. False,
    // after the message, when the text holds a character the host cannot
    // hold (nothing written). Raises an error when the file cannot be
    // written, the file left as it was.
    bool Salva();
    // "Salva con nome": the text and CR LF to the file the dialog gives;
    // a character the host cannot hold is said before the dialog and
    // nothing is written; other errors are ignored, and a cancelled dialog
    // ("" from `chiediNome`) writes nothing.
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
    // The text as the host's bytes; false, after the message, when a
    // character cannot be written.
    bool byteDelTesto(QByteArray &byte) const;

    QByteArray m_letti; // the file as it was read
    bool m_mostrato = false;
};

} // namespace vorpla
