#include "FormVorpla.h"

#include "CaricoLavoro.h"

#include "common/CartellaProgramma.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"
#include "common/TabellaCaratteri.h"


namespace vorpla {

void FormVorpla::Form_Load()
{
    impostaRoutine(QStringLiteral("frmvorpla"), QStringLiteral("Form_Load"));
    CARATTERI_WINPC();

    PercorsoDB.clear();
    PercorsoTmp.clear();
    CopieDaFinestra = false;
    EtichetteBloccate = false;
    valori.NumCopie = QStringLiteral("1");
    valori.ContaPagine = 0;
    valori.PagineSezione = {0};

    const QString file = lavoro().FileIngresso;
    leggiMarcatori(file);
    contaPagineLavoro(valori, file);

    catalogo = CatalogoEtichette{};
    catalogo.impostaDaForm(*this);
    catalogo.caricaCatalogo();
    impostaRoutine(QStringLiteral("frmvorpla"), QStringLiteral("Form_Load"));
}

void FormVorpla::prendiFormatoEtichette()
{
    valori.txtPX = catalogo.txtPX.Text;
    valori.txtPY = catalogo.txtPY.Text;
    valori.txtMarg = catalogo.txtMarg.Text;
    valori.txtEtX = catalogo.txtEtX.Text;
    valori.txtETY = catalogo.txtETY.Text;
}

void FormVorpla::leggiMarcatori(const QString &file)
{
    const MarcatoriLavoro m = leggiMarcatoriLavoro(file);
    EtichetteBloccate = m.etichetteBloccate;
    CopieDaFinestra = m.copie;
    if (m.catalogo) {
        PercorsoDB = inCartellaProgramma(QStringLiteral("etich.DB"));
        PercorsoTmp = inCartellaProgramma(QStringLiteral("etich.tmp"));
    }
    if (m.tipo)
        valori.TipoDocumento = *m.tipo;
    if (m.voucher)
        valori.ConINTV = true;
}

} // namespace vorpla
