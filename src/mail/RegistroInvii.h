#pragma once
// The record of a mail batch's documents already sent, kept beside the
// print file as PRINTFILE + ".inviati" while some document of the batch has
// not gone (a failure, a document without an address), so that the same
// print file sent again does not mail a customer twice.
//
// One line a document sent, appended as soon as it went: its number in the
// batch, the SHA-256 of its text as it was mailed (the header lines in
// front included), its recipients. A document of a later run is taken as
// sent when both its number and its text are recorded: one whose text
// changed (another address, another invoice under the same number) goes
// again. A crash between a send and its line leaves that one document
// unrecorded: it would go again, never be lost.

#include <QByteArray>
#include <QSet>
#include <QString>

namespace vorpla {

class RegistroInvii
{
public:
    explicit RegistroInvii(const QString &fileStampa);
    ~RegistroInvii();
    RegistroInvii(const RegistroInvii &) = delete;
    RegistroInvii &operator=(const RegistroInvii &) = delete;

    const QString &percorso() const { return m_percorso; }

    // Reads what earlier runs recorded (nothing with `daCapo`, which starts
    // the record again) and opens it for the lines of this run. Raises
    // ErroreVB (70 or 75) when it cannot be written: a batch that could not
    // remember what it sent does not start.
    void apri(bool daCapo);
    // Whether the document `numero` with this text was sent by an earlier run.
    bool inviato(int numero, const QByteArray &testo) const;
    // Records the document as sent (written out at once).
    void registra(int numero, const QByteArray &testo, const QString &destinatari);
    // Whether nothing is recorded, of this run or an earlier one.
    bool vuoto() const { return m_inviati.isEmpty(); }
    // Every document of the batch went (or none ever did): the record goes.
    void elimina();

private:
    static QByteArray chiave(int numero, const QByteArray &testo);

    QString m_percorso;
    QSet<QByteArray> m_inviati;
    int m_fd = -1;
};

} // namespace vorpla
