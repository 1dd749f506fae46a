#pragma once
// What the hand-over calls outside itself: the clipboard, the waits that let
// windows work, the companion program and the "Vorpla in corso..." window.
// Passed in, so the exchange runs the same against the desktop's clipboard
// and in tests, with or without a window.

#include <QString>
#include <QtGlobal>
#include <functional>

namespace vorpla {

class Appunti;

struct ServiziTerminale
{
    Appunti *appunti = nullptr;
    std::function<void()> eventi;        // let pending window events run
    std::function<void(int ms)> attendi; // wait, letting events run
    // Starts a program of the program folder (found ignoring case) without
    // waiting; raises an error when it cannot.
    std::function<void(const QString &percorso)> avviaProgramma;
    // Shows the "Vorpla in corso..." window (not modal), in its place.
    std::function<void()> mostraMsgFrm;
    // The window's text box Text1 given the text, all of it selected and
    // copied with the Ctrl+C keystroke.
    std::function<void(const QString &testo)> copiaDaText1;
    // The step between two looks at the clipboard for the client's answer,
    // in milliseconds.
    int passoAttesa = 500;
    // The exchange's fixed pauses (the acknowledgements 300 ms apart, the
    // text box's 237 and 537 ms, the window timer's 500 ms) in the same
    // proportion to their usual length: 1 but under the test setting below.
    double scalaPause = 1.0;
    // A fixed pause of `ms` milliseconds at that scale (1 ms at least).
    int pausa(int ms) const { return scalaPause == 1.0 ? ms : qMax(1, int(ms * scalaPause)); }
    // This program's own file (the copy sent to an out-of-date client).
    QString fileProgramma;
};

// The environment variable that shortens the poll step, for tests that
// reach the attempt limit (milliseconds, 1 to 500), and the exchange's
// fixed pauses with it, in proportion: a test runs the exchange as it is,
// only faster. The attempt limits and the bound on the client's read of the
// last word stay.
inline constexpr char VariabilePassoAttesa[] = "VORPLA_ATTESA_APPUNTI_MS";

// The program's services: the desktop's clipboard, waits that keep the
// event loop running, the companion program started detached; without a
// window the text is copied straight to the clipboard.
ServiziTerminale serviziTerminale();

} // namespace vorpla
