#include "FormImpostazioni.h"

#include "common/CartellaProgramma.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/FileIni.h"
#include "common/Numeri.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"

namespace vorpla {

void FormImpostazioni::Form_Load()
{
    impostaRoutine(QStringLiteral("Impostazioni"), QStringLiteral("Form_Load"));
    m_ini = fileIni();
    for (size_t i = 0; i < Campi.size(); ++i)
        Text1[i] = LeggiIni(QLatin1String(Sezione), QLatin1String(Campi[i][0]), m_ini);
    caricato = true;
}

bool FormImpostazioni::ValoriNumerici()
{
    // Part of "Conferma", and named so in the message.
    impostaRoutine(QStringLiteral("Impostazioni"), QStringLiteral("Command1_Click"));
    Focus = -1;
    for (size_t i = 0; i < Campi.size(); ++i) {
        const QString valore = senzaSpazi(Text1[i]);
        if (valore.isEmpty() || IsNumeric(valore))
            continue;
        Focus = int(i);
        mostraErroreRoutine(ErroreVB(Err::TipoNonCorrispondente, descrizioneErroreVB(Err::TipoNonCorrispondente)
                                                                     + QStringLiteral(" (") + QLatin1String(Campi[i][1])
                                                                     + u')'));
        return false;
    }
    return true;
}

void FormImpostazioni::Command1_Click(int indice)
{
    impostaRoutine(QStringLiteral("Impostazioni"), QStringLiteral("Command1_Click"));
    if (indice != 0) {
        caricato = false;
        return;
    }
    if (!ValoriNumerici())
        return;
    // Written as typed: the layouts read what they can of them.
    for (size_t i = 0; i < Campi.size(); ++i)
        ScriviIni(QLatin1String(Sezione), QLatin1String(Campi[i][0]), senzaSpazi(Text1[i]), m_ini);
    caricato = false;
    if (lavoro().PdfReportDisponibile) {
        m_rifaiPdf();
        lavoro().LavoroEtichette = true;
    }
}

} // namespace vorpla
