#pragma once
// The "Vorpla in corso..." window of the hand-over. Shown while the program
// waits for the client; in plain-text mode it also runs the exchange: the
// print text, its first line "@ULKA=LOCALENC" and its second the version,
// goes on the clipboard as ordinary text, and the client's answer is
// watched for (at most 600 looks). Closing the window ends the program.

#include "ServiziTerminale.h"

#include <QByteArray>
#include <QString>

namespace vorpla {

class MsgFrm
{
public:
    // The window's placement: 3000 twips (200 pixels) from the screen's
    // left and top edges, above every other window.
    static constexpr int Sinistra = 200;
    static constexpr int Alto = 200;
    static constexpr int IntervalloTimer = 500;

    explicit MsgFrm(const ServiziTerminale &servizi) : m_s(servizi) {}

    // Shows the window; in plain-text mode prepares TestoClipboard from the
    // print file (FileIngresso) and enables Timer1.
    void Form_Load();
    bool timerAttivo() const { return m_timer; }
    // Timer1's one tick, after its interval (nothing when it is disabled).
    void esegui();
    // The plain-text exchange; returns only after an error message.
    void Timer1_Timer();

    // The text the client receives for a print file's text: every "@ULKA=?"
    // becomes "@ULKA=LOCALENC"; a text that then starts with it gets the
    // version as its second line.
    static QString testoPerIlClient(const QString &stampa, const QString &versione);

private:
    const ServiziTerminale &m_s;
    bool m_timer = false;
};

} // namespace vorpla
