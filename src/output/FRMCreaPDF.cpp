#include "FRMCreaPDF.h"

#include "CaricoLavoro.h"
#include "FormVorpla.h"
#include "PDFReportObj.h"
#include "common/Avanzamento.h"
#include "common/ErroreVB.h"
#include "common/ModPubblico.h"
#include "common/Numeri.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"
#include "common/TabellaCaratteri.h"
#include "interpreter/InterpretePdf.h"
#include "interpreter/Superficie.h"

#include <optional>

namespace vorpla {

FRMCreaPDF::FRMCreaPDF(Superficie &stampante, ServiziCreaPdf servizi)
    : m_stampante(stampante), m_servizi(std::move(servizi))
{
}

QString FRMCreaPDF::filePdfDelLavoro()
{
    return KV_GetTempPath() + trovanome(lavoro().FileIngresso) + QStringLiteral(".PDF");
}

QString FRMCreaPDF::Form_Load()
{
    try {
        impostaRoutine(QStringLiteral("FRMCreaPDF"), QStringLiteral("Form_Load"));
        CARATTERI_WINPC();
        valori.NumCopie.clear();
        valori.ContaPagine = 0;
        valori.PagineSezione = {0};
        const QString file = lavoro().FileIngresso;
        const MarcatoriLavoro m = leggiMarcatoriLavoro(file);
        if (m.tipo)
            valori.TipoDocumento = *m.tipo;
        if (m.copie)
            valori.NumCopie = QString::number(Val(m.copieChieste));
        contaPagineLavoro(valori, file);
        m_file = destinazione.isEmpty() ? filePdfDelLavoro() : destinazione;
    } catch (const ErroreVB &e) {
        mostraErroreRoutine(e);
        return {};
    }
    const bool fatto = SCELTA_VORPLANTE();
    if (m_servizi.mostraFinestraPrincipale)
        m_servizi.mostraFinestraPrincipale();
    return fatto ? m_file : QString();
}

bool FRMCreaPDF::SCELTA_VORPLANTE()
{
    std::unique_ptr<DocumentoPdf> documento;
    try {
        impostaRoutine(QStringLiteral("FRMCreaPDF"), QStringLiteral("SCELTA_VORPLANTE"));
        if (m_stampante.DeviceName().toUpper().contains(QStringLiteral("ZETAFAX")))
            valori.NumCopie = QStringLiteral("1");
        if (m_servizi.nuovoDocumento) {
            documento = m_servizi.nuovoDocumento();
        } else {
            // Writing out a long document takes as long as drawing it: its
            // pages are reported too, and the exit asked meanwhile stops it
            // at the next page.
            auto pdf = std::make_unique<PDFReportObj>();
            pdf->avanzamentoSalvataggio = [this](int pagina, int pagine) {
                segnalaAvanzamento(QStringLiteral("Scrittura del PDF - pagina %1 di %2").arg(pagina).arg(pagine),
                                   pagina, pagine);
                if (m_servizi.eventi && (pagina & 15) == 0)
                    m_servizi.eventi();
            };
            documento = std::move(pdf);
        }
    } catch (const ErroreVB &e) {
        mostraErroreRoutine(e);
        return false;
    }
    InterpretePdf interprete(*documento, m_stampante, valori, lavoro().FileIngresso);
    interprete.filePdf = m_file;
    // The page being made, for the run's progress.
    CorsaLunga corsa(QStringLiteral("Creazione PDF"));
    segnalaPagina(1, 1, 1, valori.PagineCopia);
    interprete.eventi = [&] {
        segnalaPagina(1, 1, interprete.paginaCorrente(), valori.PagineCopia);
        if (m_servizi.eventi)
            m_servizi.eventi();
    };
    interprete.attendi = m_servizi.attendi;
    interprete.avviaConvertitore = m_servizi.avviaConvertitore;
    interprete.foglioEtichette = m_servizi.foglioEtichette;
    if (!interprete.foglioEtichette) {
        // The printer form's sheet: its first catalogue format, or its
        // initial fields; the form is loaded once a run.
        interprete.foglioEtichette = [foglio = std::optional<QSizeF>()]() mutable {
            if (!foglio) {
                FormVorpla stampante;
                stampante.Form_Load();
                stampante.prendiFormatoEtichette();
                foglio = QSizeF(Val(stampante.valori.txtPX), Val(stampante.valori.txtPY));
            }
            return *foglio;
        };
    }
    return interprete.GRAFICA();
}

QString PdfDelLavoro(Superficie &stampante, const ServiziCreaPdf &servizi)
{
    FRMCreaPDF form(stampante, servizi);
    form.valori.StampanteSelezionata = lavoro().DispositivoRegistrato;
    return form.Form_Load();
}

} // namespace vorpla
