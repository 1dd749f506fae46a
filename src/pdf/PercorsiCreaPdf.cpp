#include "PercorsiCreaPdf.h"

#include "common/CartellaProgramma.h"

namespace vorpla {

namespace {
QString conSeparatore(QString cartella)
{
    cartella = separatoriLinux(cartella);
    if (!cartella.endsWith(u'/'))
        cartella += u'/';
    return cartella;
}
} // namespace

QString cartellaSpool(const ImpostazioniPdf &ini, bool modoPdf, const QString &temp)
{
    if ((!ini.forzaPorta.isEmpty() || modoPdf) && !ini.porta.isEmpty())
        return conSeparatore(ini.porta);
    return temp;
}

QString percorsoPdf(const ImpostazioniPdf &ini, bool modoPdf, const QString &spool, const QString &temp,
                    const QString &nome, const QString &destinazione)
{
    const bool forza = !ini.forzaPorta.isEmpty();
    QString pdf;
    if (!forza && !modoPdf) {
        pdf = spool + nome + QStringLiteral(".PDF");
    } else {
        if (!ini.cartella.isEmpty())
            pdf = separatoriLinux(ini.cartella);
        else if (!forza)
            pdf = temp.chopped(temp.isEmpty() ? 0 : 1) + QStringLiteral("WB/") + nome + QStringLiteral(".PDF");
        else
            pdf = spool + nome + QStringLiteral(".PDF");
        if (!destinazione.isEmpty())
            pdf = separatoriLinux(destinazione);
    }
    if (!pdf.right(4).toLower().endsWith(QLatin1String(".pdf")))
        pdf += QStringLiteral(".pdf");
    return pdf;
}

} // namespace vorpla
