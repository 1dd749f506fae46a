#include "VerificaPdf.h"

#include <QFile>

#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>

namespace vorpla {

EsitoVerificaPdf verificaPdf(const QString &pdf)
{
    EsitoVerificaPdf esito;
    try {
        QPDF documento;
        documento.setSuppressWarnings(true);
        documento.processFile(QFile::encodeName(pdf).constData());
        esito.pagine = int(QPDFPageDocumentHelper(documento).getAllPages().size());
        // Every object and stream read through, as qpdf --check does.
        QPDFWriter scrittura(documento);
        Pl_Discard scarto;
        scrittura.setOutputPipeline(&scarto);
        scrittura.setDecodeLevel(qpdf_dl_generalized);
        scrittura.write();
        if (documento.anyWarnings()) {
            const std::vector<QPDFExc> avvisi = documento.getWarnings();
            esito.problema = avvisi.empty() ? QStringLiteral("damaged") : QString::fromStdString(avvisi.front().getMessageDetail());
            return esito;
        }
        esito.intero = esito.pagine > 0;
        if (!esito.intero)
            esito.problema = QStringLiteral("no pages");
    } catch (const std::exception &e) {
        esito.problema = QString::fromLocal8Bit(e.what());
    }
    return esito;
}

} // namespace vorpla
