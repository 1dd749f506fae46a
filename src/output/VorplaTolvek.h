#pragma once
// The customer-specific documents ("TOLVEK" after the print file on the
// command line): luggage tags, a passport list and expense notes, printed
// from a key=value data file over full-page background pictures of the
// program folder (tolvek_valigie.jpg, tolvek_passaporti.jpg,
// tolvek_notaspese.jpg), positions in centimetres from the page's corner.
//
// The data file: empty lines and lines without "=" are skipped; the others
// are split at their first "=" into a key and a value (which may hold more
// "="). Records are groups of three lines; a field's meaning is the key of
// the same line of the first record ("ANANOM" name, "ANAKEY" code, "SERDES"
// hotel).

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

namespace vorpla {

class Superficie;

struct DatiTolvek
{
    QList<QByteArray> chiavi, valori;

    // (pairs - 1) / 3, rounded half to even: the records the print makes.
    int record() const;
    // Field f (0 to 2) of record r, and its key.
    QByteArray valore(int r, int f) const { return valori.value(r * 3 + f); }
    QByteArray chiave(int f) const { return chiavi.value(f); }
};

// Raises error 53 for a missing data file.
DatiTolvek leggiDatiTolvek(const QString &file);

// The document kind ("Valigie", "Passaporti", "Nota Spese"; any other prints
// nothing) drawn from the data file, once for each copy of the copies box's
// text (not a number: "Numero di copie errato!" and the end of the
// program). `stampante` gives the surface when the first page is drawn, so
// a print with nothing to draw starts no print job. A background picture
// that is missing raises error 53, one that is not a picture 481. Pages are
// started when the next one has something to draw, so the job ends without
// a blank page.
void VorplaTolvek(const std::function<Superficie &()> &stampante, const QString &fileDati, const QString &tipo,
                  const QString &copie);

} // namespace vorpla
