#include "SceltaVorplante.h"

#include "FormVorpla.h"
#include "MODVorplanti.h"
#include "common/Avanzamento.h"
#include "common/ErroreVB.h"
#include "common/Numeri.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"
#include "interpreter/Interprete.h"
#include "interpreter/Superficie.h"

namespace vorpla {

namespace {

constexpr int ErroreStampante483 = 483; // Printer driver does not support the property

// Runs one step of the method under its error handling. True: go on with
// the next step; false: the method returns (`segnalato` tells whether an
// error message was shown).
template<typename F>
bool passo(const ServiziSceltaVorplante &servizi, bool &segnalato, F &&f)
{
    try {
        f();
        return true;
    } catch (const ErroreVB &e) {
        if (servizi.cursoreOccupato)
            servizi.cursoreOccupato(false);
        if (e.numero() == ErroreStampante483 || e.numero() == Err::AppuntiNonApribili)
            return true;
        if (e.numero() != Err::Annullato) {
            mostraErroreRoutine(e);
            segnalato = true;
        }
        return false;
    }
}

} // namespace

bool SCELTA_VORPLANTE(FormVorpla &form, const ServiziSceltaVorplante &servizi)
{
    impostaRoutine(QStringLiteral("frmvorpla"), QStringLiteral("SCELTA_VORPLANTE"));
    if (servizi.cursoreOccupato)
        servizi.cursoreOccupato(true);
    bool segnalato = false;
    ValoriForm &valori = form.valori;
    form.prendiFormatoEtichette();
    const std::function<void()> impostaPredefinita =
        servizi.impostaPredefinita ? servizi.impostaPredefinita : std::function<void()>(ImpostaPredefinita);
    std::function<void(const QString &, const QString &)> stampaFile = servizi.stampaFile;
    if (!stampaFile)
        stampaFile = [](const QString &stampante, const QString &file) { StampaFile(stampante, file); };

    QString dispositivo;
    if (!passo(servizi, segnalato, [&] { dispositivo = servizi.dispositivo(); }))
        return !segnalato;
    if (dispositivo.toUpper().contains(QStringLiteral("ZETAFAX")))
        valori.NumCopie = QStringLiteral("1");

    // The end value is taken once, when the loop starts.
    int ultima = 0;
    if (!passo(servizi, segnalato, [&] { ultima = CInt(valori.NumCopie); }))
        return !segnalato;

    // The copy and page being printed, for the run's progress.
    CorsaLunga corsa(QStringLiteral("Stampa"));
    bool allegatiStampati = false;
    for (valori.ContatoreCopia = 1; valori.ContatoreCopia <= ultima; ++valori.ContatoreCopia) {
        std::unique_ptr<Superficie> copia;
        if (!passo(servizi, segnalato, [&] { copia = servizi.nuovaCopia(); }))
            return !segnalato;
        if (copia) {
            const int numeroCopia = valori.ContatoreCopia;
            segnalaPagina(numeroCopia, ultima, 1, valori.PagineCopia);
            if (!passo(servizi, segnalato, [&] {
                    Interprete interprete(*copia, valori, lavoro().FileIngresso);
                    interprete.eventi = [&] {
                        segnalaPagina(numeroCopia, ultima, copia->paginaCorrente(), valori.PagineCopia);
                        if (servizi.eventi)
                            servizi.eventi();
                    };
                    interprete.GRAFICA();
                }))
                return !segnalato;
            if (!passo(servizi, segnalato, [&] { servizi.fineCopia(*copia); }))
                return !segnalato;
            copia.reset();
        }

        if (dispositivo.toUpper() == QStringLiteral("PDFCREATOR"))
            continue;
        // Every run of GRAFICA lists the print file's attachments again
        // ("@FILE"); they are printed once, after the first copy, and the
        // list is emptied after every copy.
        QStringList &allegati = lavoro().ElencoAllegati;
        const qsizetype ultimo = allegatiStampati ? 0 : allegati.size() - 1; // the upper bound, taken once
        allegatiStampati = true;
        for (qsizetype i = 1; i <= ultimo && i < allegati.size(); ++i) {
            const QString allegato = allegati.at(i);
            if (allegato.isEmpty())
                continue;
            if (!passo(servizi, segnalato, [&] {
                    DispositivoDestinazione() = dispositivo;
                    if (lavoro().DispositivoRegistrato != dispositivo)
                        impostaPredefinita();
                }))
                return !segnalato;
            segnalaAvanzamento(QStringLiteral("Allegato %1 di %2").arg(i).arg(ultimo));
            // The spooler's answer is not examined: an attachment that
            // cannot be printed is not reported.
            if (!passo(servizi, segnalato, [&] { stampaFile(dispositivo, allegato); }))
                return !segnalato;
            DispositivoDestinazione() = lavoro().DispositivoRegistrato;
        }
        allegati = QStringList{QString()};
    }

    if (servizi.cursoreOccupato)
        servizi.cursoreOccupato(false);
    return true;
}

} // namespace vorpla
