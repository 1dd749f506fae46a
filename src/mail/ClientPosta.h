#pragma once
// The mail client session and message the three client routes work with,
// with the operations of the mail controls they were written for: sign on
// and off, compose, recipients by index with their type, display name and
// address, name resolution, subject, note text, attachments by index, and
// send with or without the user's dialog.
//
// On this system:
// - send with dialog opens the desktop mail client's compose window through
//   `xdg-email` (subject, body, every attachment, the recipients), and
//   returns when the client has taken the message over;
// - send without dialog hands the message (built with GMime) to the local
//   mail transfer agent through `sendmail -t -oi`;
// - name resolution checks the address's syntax (an "SMTP:" prefix is the
//   address type, not part of it): error 32014 when it is no mailbox.
// A program that fails raises error 32002 with the last line it wrote on
// standard error: temporary when sendmail answers EX_TEMPFAIL (75); when no
// mail client takes the compose window (xdg-email's "no method", or no
// xdg-email at all), one Italian sentence says so, the program's words
// below it.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace vorpla {

class ClientPosta
{
public:
    // The programs the layer starts: the program, its arguments and its
    // standard input; the exit code, and what it wrote on standard error.
    struct Esito
    {
        int codice = 0;
        QString errore;
    };
    using Esecutore = std::function<Esito(const QString &programma, const QStringList &argomenti,
                                          const QByteArray &ingresso)>;
    // Unset, the programs run here and are waited for, letting window events
    // run meanwhile (`eventi`, when set).
    Esecutore esegui;
    std::function<void()> eventi;

    // ---- Session ----
    bool DownLoadMail = true;
    bool LogonUI = false;
    void SignOn();
    void SignOff();
    qint64 SessionID() const { return m_sessione; }

    // ---- Message ----
    qint64 MsgSessionID = 0;
    void Compose();
    int MsgIndex = 0;

    // Recipients: setting the index selects one (a new one past the end).
    void RecipIndex(int indice);
    int RecipIndex() const { return m_destinatario; }
    void RecipType(int tipo); // 1 To, 2 Cc
    void RecipDisplayName(const QString &nome);
    void RecipAddress(const QString &indirizzo);
    QString RecipAddress() const;
    bool AddressResolveUI = false;
    void ResolveName();
    int RecipCount() const { return int(m_destinatari.size()); }

    QString MsgSubject;
    QString MsgNoteText;

    // Attachments: the index selects one (a new one past the end).
    void AttachmentIndex(int indice);
    int AttachmentIndex() const { return m_allegato; }
    void AttachmentPosition(int posizione);
    void AttachmentPathName(const QString &percorso);
    QStringList allegati() const;

    // Sends the message composed; with the dialog the user finishes it in
    // the mail client.
    void Send(bool dialogo);

private:
    struct Destinatario
    {
        int tipo = 1;
        QString nome, indirizzo;
        // The mailbox it stands for: its address field, else its name.
        QString mailbox() const;
    };
    struct Allegato
    {
        int posizione = 0;
        QString percorso;
    };
    Destinatario &destinatario();
    Esito avvia(const QString &programma, const QStringList &argomenti, const QByteArray &ingresso);

    qint64 m_sessione = 0;
    QList<Destinatario> m_destinatari;
    int m_destinatario = 0;
    QList<Allegato> m_allegati;
    int m_allegato = 0;
};

// The address a recipient's address field stands for ("SMTP:a@b.it" is
// a@b.it).
QString indirizzoDelCampo(const QString &campo);

} // namespace vorpla
