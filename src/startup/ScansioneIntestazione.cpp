#include "ScansioneIntestazione.h"

#include "FormMain.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/LettoreRighe.h"
#include "common/ModPubblico.h"
#include "common/Numeri.h"
#include "common/StatoLavoro.h"

#include <QElapsedTimer>
#include <array>
#include <cstring>

namespace vorpla {

namespace {

enum class Marcatore { ESEG, CCLI, AARI, MMRI, HIDE, COPI, FAXS, EMAI, FAXN, FA2N, LARG, INT1, PERC };

struct VoceMarcatore
{
    char testo[6];
    Marcatore marcatore;
};

constexpr std::array<VoceMarcatore, 13> kMarcatori = {{
    {"@ESEG", Marcatore::ESEG}, {"@CCLI", Marcatore::CCLI}, {"@AARI", Marcatore::AARI},
    {"@MMRI", Marcatore::MMRI}, {"@HIDE", Marcatore::HIDE}, {"@COPI", Marcatore::COPI},
    {"@FAXS", Marcatore::FAXS}, {"@EMAI", Marcatore::EMAI}, {"@FAXN", Marcatore::FAXN},
    {"@FA2N", Marcatore::FA2N}, {"@LARG", Marcatore::LARG}, {"@INT1", Marcatore::INT1},
    {"@PERC", Marcatore::PERC},
}};

// The text from column 7 on.
QString valore(QByteArrayView riga)
{
    return riga.size() > 6 ? testoDaByte(riga.sliced(6)) : QString();
}

void incrementa16(qint16 &contatore)
{
    if (contatore == 32767)
        throw ErroreVB(Err::Overflow);
    ++contatore;
}

} // namespace

RisultatoScansione ScansionaIntestazione(const QString &file, FormMain &form, StatoLavoro &stato,
                                         const std::function<void()> &eventi)
{
    RisultatoScansione esito;
    LettoreRighe lettore(file);
    QElapsedTimer orologio;
    orologio.start();
    QByteArrayView riga;
    while (lettore.prossima(riga)) {
        ++esito.righe;
        // The window keeps repainting while a long file is scanned.
        if ((esito.righe & 1023) == 0 && eventi && orologio.elapsed() >= 20) {
            eventi();
            orologio.restart();
        }
        if (riga.size() < 5 || riga[0] != '@')
            continue;
        const VoceMarcatore *voce = nullptr;
        for (const VoceMarcatore &v : kMarcatori) {
            if (std::memcmp(riga.data(), v.testo, 5) == 0) {
                voce = &v;
                break;
            }
        }
        if (!voce)
            continue;
        switch (voce->marcatore) {
        case Marcatore::ESEG:
            form.Esegui = valore(riga).trimmed();
            break;
        case Marcatore::CCLI:
            form.ValoreCCLI = valore(riga).trimmed();
            break;
        case Marcatore::AARI:
            form.ValoreAARI = valore(riga).trimmed();
            break;
        case Marcatore::MMRI:
            form.ValoreMMRI = valore(riga).trimmed();
            break;
        case Marcatore::HIDE:
            esito.ModoNascosto = true;
            break;
        case Marcatore::COPI:
            form.controllo(QStringLiteral("TXTNumCopie")).testo = QString::number(CInt(valore(riga).trimmed()));
            break;
        case Marcatore::FAXS:
            incrementa16(stato.ContaFax);
            break;
        case Marcatore::EMAI: {
            const QString indirizzo = SostituisciDominio(valore(riga).trimmed());
            stato.IndirizzoMail = indirizzo;
            form.controllo(QStringLiteral("lblMail")).testo = u' ' + indirizzo.left(35);
            break;
        }
        case Marcatore::FAXN:
            form.NumeroFax = form.FaxPrima + senzaAlcunoSpazio(valore(riga)) + form.FaxDopo;
            form.NumeriFax = QStringList{valore(riga)};
            break;
        case Marcatore::FA2N:
            form.NumeriFax << valore(riga);
            if (!form.NumeroFax.isEmpty())
                form.NumeroFax += QStringLiteral("; ");
            form.NumeroFax += SostituisciDominio(form.FaxPrima + senzaAlcunoSpazio(valore(riga)) + form.FaxDopo);
            break;
        case Marcatore::LARG:
            if (riga.size() >= 10 && std::memcmp(riga.data() + 6, "ETIC", 4) == 0)
                stato.LavoroEtichette = true;
            break;
        case Marcatore::INT1:
            incrementa16(stato.ContaInt);
            break;
        case Marcatore::PERC:
            return esito;
        }
    }
    return esito;
}

} // namespace vorpla
