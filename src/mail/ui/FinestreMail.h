#pragma once
// The mail command's two small windows.
//
// FrmEditMail "Modifica E-mail": the document's recipients ("Destinatari",
// TxtDest, shown from IndirizzoMail) and a text to add ("Testo", TxtTesto);
// "Modifica" hands both to the caller (who keeps them for the SMTP route and
// ticks "Invia con SMTP") and closes the window.
//
// FormReportMail "Report dell'invio mail": the documents not mailed for want
// of an address, in a text box, and below them (when there are any) those
// not mailed because of an error, each with why ("Documenti non inviati per
// un errore:"); "Chiudi". Shown modally.

#include <QDialog>
#include <QWidget>
#include <functional>

class QPlainTextEdit;

namespace vorpla {

class FrmEditMail : public QWidget
{
    Q_OBJECT
public:
    using Modifica = std::function<void(const QString &destinatari, const QString &testo)>;
    FrmEditMail(const QString &indirizzi, Modifica modifica, QWidget *parent = nullptr);

    QPlainTextEdit *TxtDest = nullptr;
    QPlainTextEdit *TxtTesto = nullptr;

private:
    Modifica m_modifica;
};

class FormReportMail : public QDialog
{
    Q_OBJECT
public:
    FormReportMail(const QString &elenco, const QString &falliti, QWidget *parent = nullptr);

    QPlainTextEdit *Text1 = nullptr;
    QPlainTextEdit *TextFalliti = nullptr;
};

} // namespace vorpla
