#pragma once
// The print-stream reader every layout shares: the printer's interpreter
// (Interprete), and the sister interpreters of the PDF form and of the
// preview. It reads the print file once, top to bottom: each line without
// its trailing blanks, the debug log, the host character conversion, and the
// dispatch to the layout's renderer of the line's marker; it yields to
// pending window events every few milliseconds and traps the errors of the
// run. What the layouts do differently around that loop are the hooks below:
// the start of a run, what happens before a line is drawn (page overflow, a
// deferred page change), the end of the file, an error a line may recover
// from, and the error policy of the run.
//
// Each layout's dispatch is generated from its column of the one marker
// table (Marcatori.h): a marker the layout does not handle is absent from
// it, so its lines are skipped like those of an unknown marker.

#include "Marcatori.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <vector>

namespace vorpla {

class ErroreVB;

// One print-file line after the character conversion.
class RigaStampa
{
public:
    explicit RigaStampa(QByteArrayView byte) : m_byte(byte) {}

    QByteArrayView byte() const { return m_byte; }
    // The text argument: column 7 to the end.
    QByteArrayView argomento() const { return m_byte.size() > 6 ? m_byte.sliced(6) : QByteArrayView(); }
    // n characters from column c (1-based); fewer at the end of the line.
    QByteArrayView colonne(int c, int n) const;
    // The two characters at column 7 as a 16-bit integer (error 13 when
    // they are not a number).
    qint16 num2() const;
    // The three characters at column 7 as a leading decimal number.
    double num3() const;

private:
    QByteArrayView m_byte;
};

// A marker's five bytes as one number, for a sorted lookup.
constexpr quint64 chiaveMarcatore(const char *m)
{
    quint64 k = 0;
    for (int i = 0; i < 5; ++i)
        k = (k << 8) | static_cast<unsigned char>(m[i]);
    return k;
}

// The renderers of one layout, by marker.
template <typename Strato>
class TabellaMarcatori
{
public:
    using Renderer = void (Strato::*)(const RigaStampa &);
    struct Voce
    {
        quint64 chiave;
        Renderer renderer;
    };

    TabellaMarcatori(std::initializer_list<Voce> voci) : m_voci(voci)
    {
        std::sort(m_voci.begin(), m_voci.end(), [](const Voce &a, const Voce &b) { return a.chiave < b.chiave; });
    }

    // The renderer of the line's marker, or null when the layout has none.
    Renderer trova(QByteArrayView riga) const
    {
        if (riga.size() < 5)
            return nullptr;
        quint64 k = 0;
        for (int i = 0; i < 5; ++i)
            k = (k << 8) | static_cast<unsigned char>(riga[i]);
        const auto it = std::lower_bound(m_voci.begin(), m_voci.end(), k,
                                         [](const Voce &v, quint64 c) { return v.chiave < c; });
        return it != m_voci.end() && it->chiave == k ? it->renderer : nullptr;
    }

private:
    std::vector<Voce> m_voci;
};

class LettoreStampa
{
public:
    explicit LettoreStampa(QString file);
    virtual ~LettoreStampa();
    LettoreStampa(const LettoreStampa &) = delete;
    LettoreStampa &operator=(const LettoreStampa &) = delete;

    // Lets pending window events run (called every few milliseconds).
    std::function<void()> eventi;

    // Reads one key of vorpla.ini in the program folder (a layout that reads
    // no configuration answers empty for every key).
    virtual QString Leggi(const QString &sezione, const QString &chiave) const;
    // Appends a line to the daily log.
    void scrivilog(QByteArrayView riga) const;

protected:
    // One run over the file: inizioCorsa, every line from `primaRiga` (from
    // 1; the lines before it are read and skipped), fineFile. An error of
    // the run (or memory running out) goes to errore. A run never starts
    // inside another.
    void corsa(qint64 primaRiga = 1);
    // Called before a line is drawn (from primaDellaRiga): that line is not
    // drawn and the run ends there, without fineFile.
    void fermaLettura() { m_fermo = true; }

    // The layout's state for a new run, and its page setup.
    virtual void inizioCorsa() = 0;
    // Before the line is converted and drawn (as read, trailing blanks
    // removed).
    virtual void primaDellaRiga(QByteArrayView letta);
    // Draws the converted line: the renderer of its marker, if any.
    virtual void disegnaRiga(const RigaStampa &riga) = 0;
    // An error raised by a line; true when the layout recovered from it and
    // the next line may follow.
    virtual bool recupera(const ErroreVB &errore);
    // After the last line.
    virtual void fineFile();
    // The run ended on an error.
    virtual void errore(int numero, const QString &descrizione) = 0;

    // The line being drawn, as read then as converted (for the messages).
    const QByteArray &rigaCorrente() const { return m_rigaCorrente; }
    const QString &file() const { return m_file; }

private:
    void leggiFile();
    void eseguiRiga(QByteArrayView letta);

    QString m_file;
    QByteArray m_rigaCorrente;
    mutable QHash<QString, QString> m_ini; // keys read this run
    bool m_inCorso = false;
    bool m_fermo = false;
    qint64 m_primaRiga = 1;
};

} // namespace vorpla
