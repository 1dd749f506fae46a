#pragma once
// The label-format catalogue of the printer output form (frmvorpla) and the
// state of its label window, kept as plain data so that the window only shows
// it and forwards the clicks.
//
// etich.DB is a file of fixed 40-byte records, numbered from 1, no header:
//   offset  0, 20 bytes  Descrizione  Windows-1252, padded with spaces, cut at 20
//   offset 20, 4 bytes   LargPagina   page width, mm   (signed 32-bit little-endian)
//   offset 24, 4 bytes   AltPagina    page height, mm
//   offset 28, 4 bytes   MargineSup   top margin, mm
//   offset 32, 4 bytes   LargEtich    label width, mm
//   offset 36, 4 bytes   AltEtich     label height, mm
// List entry N of cmbFormati is record N+1. Bytes after the last whole record
// (a record cut short) are not a format and are ignored.
//
// The window has two states:
//   Browsing (after a label job's load and after "Conferma"): six fields
//     disabled, cmdConferma hidden, cmdCrea / cmdElimina / cmdVorpla enabled;
//   Entering (after "Nuovo"): six fields enabled, cmdConferma visible,
//     cmdCrea / cmdElimina / cmdVorpla disabled.
// cmdAnnulla is always enabled.
//
// Failures: cmbFormati_Click and cmdElimina_Click trap their errors and show
// the standard routine message ("Routine frmvorpla - <procedure>" ...).
// cmdConferma_Click reports its errors the same way and stays in Entering,
// so the operator can correct the fields or retry:
//   - a measure field that is not a number gives error 13 (6 when it is out
//     of the 32-bit range) and nothing is stored;
//   - without a catalogue path (a label job without "@PERC") nothing is
//     written to disk: the operator is told so (MessaggioSenzaCatalogo), the
//     window goes back to Browsing with the typed values in its fields, and
//     those values are the ones used for this print. The list is not changed.
//
// Deleting never loses the catalogue: the remaining records are written to
// etich.tmp, flushed to disk, and etich.tmp is renamed over etich.DB in one
// step. If the program dies, or a step fails, before the rename, etich.DB is
// the old catalogue, untouched; after it, the new one.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace vorpla {

class FormVorpla;

// One record of etich.DB.
struct FormatoEtichetta
{
    static constexpr int Lunghezza = 40;
    static constexpr int LunghezzaDescrizione = 20;

    QString Descrizione; // as read: all 20 characters, trailing spaces included
    qint32 LargPagina = 0;
    qint32 AltPagina = 0;
    qint32 MargineSup = 0;
    qint32 LargEtich = 0;
    qint32 AltEtich = 0;

    // The 40 bytes of the record (Descrizione encoded, cut and padded).
    QByteArray aByte() const;
    // The record from its 40 bytes (exactly Lunghezza bytes).
    static FormatoEtichetta daByte(QByteArrayView byte);

    bool operator==(const FormatoEtichetta &) const = default;
};

class CatalogoEtichette
{
public:
    // A text field of the window.
    struct Campo
    {
        QString Text;
        bool Enabled = true;
    };
    // A button of the window.
    struct Pulsante
    {
        bool Enabled = true;
        bool Visible = true;
    };

    // What the operator is told when a format is stored while the print
    // file names no catalogue.
    static const QString MessaggioSenzaCatalogo;
    // The delete question (asked as a Yes/No question: Yes stands for OK).
    static const QString DomandaElimina;

    // The catalogue paths and the "@LARG ETIC" lock of a loaded output form:
    // a locked label window starts in Browsing.
    void impostaDaForm(const FormVorpla &form);

    // Load of the catalogue (step 5 of the form's load): fills the list from
    // etich.DB when PercorsoDB is set and the file exists, selects the first
    // entry and shows it. Raises ErroreVB (NomeRoutine "frmvorpla -
    // Form_Load") when the file exists but cannot be read.
    void caricaCatalogo();

    // Sets the list's selection as the window does, which runs
    // cmbFormati_Click.
    void selezionaFormato(int indice);

    void cmbFormati_Click();
    void cmdCrea_Click();
    void cmdConferma_Click();
    void cmdElimina_Click();

    // The list.
    QStringList cmbFormati;
    int ListIndex = -1;

    // The six fields, with their initial texts.
    Campo txtDesc{QStringLiteral("A4 ")};
    Campo txtPX{QStringLiteral("210")};
    Campo txtPY{QStringLiteral("297")};
    Campo txtMarg{QStringLiteral("25")};
    Campo txtEtX{QStringLiteral("70")};
    Campo txtETY{QStringLiteral("34")};

    Pulsante cmdConferma;
    Pulsante cmdCrea;
    Pulsante cmdElimina;
    Pulsante cmdAnnulla;
    Pulsante cmdVorpla;

    // The control that should have the focus ("txtDesc" after "Nuovo").
    QString Focus;

    // Records loaded into the list; while a format is being entered, the
    // record number it will take.
    qint32 NumFormati = 0;
    // True while the list is being filled: selection changes do nothing.
    bool InCaricamento = false;

    // etich.DB and etich.tmp; empty unless the print file has "@PERC".
    QString PercorsoDB;
    QString PercorsoTmp;

    // The record last read or written.
    FormatoEtichetta Formato;

private:
    void abilitaCampi(bool abilitati);
    void riempiLista();
    FormatoEtichetta leggiRecord(int numero) const;
    void scriviRecord(int numero, const FormatoEtichetta &formato) const;
    void eliminaRecord(int numero) const;
};

} // namespace vorpla
