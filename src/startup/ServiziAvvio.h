#pragma once
// What start-up calls outside itself: the platform (events, waits, programs,
// fonts, printers) and the commands and services of other modules. They are
// passed in as functions, so start-up's decisions are tested with recorded
// calls and run for real in the program.

#include <QString>
#include <functional>

namespace vorpla {

class Stampanti;

struct ServiziAvvio
{
    Stampanti *stampanti = nullptr;

    std::function<void()> eventi;            // let pending window events run
    std::function<void(int ms)> attendi;     // wait, letting events run
    std::function<void(bool)> cursoreOccupato;

    // Running programs whose name contains the text (ignoring case); with the
    // flag, the first one is terminated and the answer is false.
    std::function<bool(const QString &nome, bool termina)> CercaProcesso;
    std::function<void()> AggiornaClient;    // client self-update
    std::function<void(const QString &archivio, const QString &cartella)> EstraiInCartella;
    // Starts a program of the program folder (found ignoring case) without
    // waiting; raises error 53 when there is no such file.
    std::function<void(const QString &percorso)> avviaProgramma;

    // Creates and releases one PDF report component object: raises error
    // 429 when its class is not registered.
    std::function<void()> creaPdfReport;
    std::function<void(const QString &dll)> registraPdfReport;

    std::function<int(const QString &file)> KV_CheckSendTerm;
    std::function<void(const QString &file)> CreaPdf;
    std::function<void()> CliccoVorpla;
    std::function<void()> CliccoAnteprima;
    std::function<void()> mostraFormEtichette; // label output form, not blocking

    // The user's font folder and the registration of a font file copied there.
    QString cartellaFont;
    std::function<void(const QString &file)> registraFont;
};

// The services of this version of the program. Those whose module does not
// exist yet say so on standard error and raise error 445, so the caller's
// error handling reports it.
ServiziAvvio serviziProgramma(Stampanti *stampanti);

} // namespace vorpla
