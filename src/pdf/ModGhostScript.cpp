#include "ModGhostScript.h"

#include "GsApi.h"
#include "common/CartellaProgramma.h"
#include "common/FileRegolare.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>

#include <mutex>

namespace vorpla {

namespace {

// The argument list and the conversion that fills it belong to one thread at
// a time; the lock is recursive because a conversion fills the list through
// AzzeraArgomenti and AggiungiArgomento.
std::recursive_mutex g_lista;
QStringList g_argomenti{QString()};
// Set while this thread is inside ConvertiPsInPdf.
thread_local bool t_inConversione = false;

// The program's fixed PDF settings. A fresh record is made for every
// conversion, so every conversion starts from these values; no
// configuration key changes them.
//
// The two image filters are never chosen by us: colour images are written
// unencoded and grey images get the filter Ghostscript picks for each image
// (automatic filtering is on), so the filter named here is never applied.
// It must still be a filter pdfwrite knows, or the device refuses the whole
// settings list (rangecheck) and no job converts; DCTEncode is the one
// Ghostscript itself sets for printer output.
struct ImpostazioniPdf
{
    QString livelloCompatibilita = QStringLiteral("1.3");
    QString risoluzione = QStringLiteral("600");
    QString modelloColore = QStringLiteral("CMYK");
    QString rotazionePagine = QStringLiteral("None");
    QString comprimiPagine = QStringLiteral("true");
    QString incorporaFont = QStringLiteral("true");
    QString sottoinsiemiFont = QStringLiteral("true");
    QString sottoinsiemeMassimo = QStringLiteral("100");
    QString cmykInRgb = QStringLiteral("true");
    QString filtroAutomaticoColore = QStringLiteral("true");
    QString codificaColore = QStringLiteral("false");
    QString filtroColore = QStringLiteral("DCTEncode");
    QString codificaGrigi = QStringLiteral("true");
    QString filtroGrigi = QStringLiteral("DCTEncode");
    QString risoluzioneColore = QStringLiteral("300");
    QString risoluzioneGrigi = QStringLiteral("300");
    QString risoluzioneMono = QStringLiteral("1200");
    QString riduciColore = QStringLiteral("false");
    QString riduciGrigi = QStringLiteral("false");
    QString riduciMono = QStringLiteral("false");
    QString tipoRiduzioneColore = QStringLiteral("Bicubic");
    QString tipoRiduzioneGrigi = QStringLiteral("Bicubic");
    QString tipoRiduzioneMono = QStringLiteral("Bicubic");
    QString conservaSovrastampa = QStringLiteral("true");
    QString modoSovrastampa = QStringLiteral("0");
    QString ascii85 = QStringLiteral("false");
    QString funzioniTrasferimento = QStringLiteral("Preserve");
    QString conservaRetinatura = QStringLiteral("false");
};

// Ghostscript reads "%" in an output file name as the start of a page-number
// template ("%d" makes one file per page, a lone "%" is refused); "%%" is its
// literal percent sign, so the PDF is written at exactly the path asked for.
QString nomeUscitaLetterale(QString pdf)
{
    return pdf.replace(u'%', QStringLiteral("%%"));
}

// A PDF text string in hexadecimal UTF-16 with its byte-order mark: any
// letter, and nothing in it can end the string early.
QString stringaPdf(const QString &testo)
{
    QString hex = QStringLiteral("<FEFF");
    for (const QChar c : testo) {
        const QChar t = (c == u'\r' || c == u'\n') ? QChar(u' ') : c;
        hex += QStringLiteral("%1").arg(t.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    }
    return hex + u'>';
}

void aggiungiArgomentiConversione(const QString &ps, const QString &pdf, const QString &titolo)
{
    const ImpostazioniPdf s;
    // The search path of the initialisation files and fonts: the program
    // folder's "lib" and "fonts" in front of the system Ghostscript's own
    // folders, which the library keeps after every folder named here and
    // still finds when these two do not exist. The list separator is the
    // platform's (":" here, where ";" would be taken as part of a name).
    AggiungiArgomento(QStringLiteral("-I") + inCartellaProgramma(QStringLiteral("lib")) + QDir::listSeparator()
                      + inCartellaProgramma(QStringLiteral("fonts")));
    AggiungiArgomento(QStringLiteral("-q"));
    AggiungiArgomento(QStringLiteral("-dNOPAUSE"));
    AggiungiArgomento(QStringLiteral("-dSAFER"));
    AggiungiArgomento(QStringLiteral("-dBATCH"));
    AggiungiArgomento(QStringLiteral("-sDEVICE=pdfwrite"));
    AggiungiArgomento(QStringLiteral("-dPDFSETTINGS=/printer"));
    AggiungiArgomento(QStringLiteral("-dCompatibilityLevel=") + s.livelloCompatibilita);
    AggiungiArgomento(QStringLiteral("-r") + s.risoluzione + u'x' + s.risoluzione);
    AggiungiArgomento(QStringLiteral("-dProcessColorModel=/Device") + s.modelloColore);
    AggiungiArgomento(QStringLiteral("-dAutoRotatePages=/") + s.rotazionePagine);
    AggiungiArgomento(QStringLiteral("-dCompressPages=") + s.comprimiPagine);
    AggiungiArgomento(QStringLiteral("-dEmbedAllFonts=") + s.incorporaFont);
    AggiungiArgomento(QStringLiteral("-dSubsetFonts=") + s.sottoinsiemiFont);
    AggiungiArgomento(QStringLiteral("-dMaxSubsetPct=") + s.sottoinsiemeMassimo);
    AggiungiArgomento(QStringLiteral("-dConvertCMYKImagesToRGB=") + s.cmykInRgb);
    AggiungiArgomento(QStringLiteral("-dAutoFilterColorImages=") + s.filtroAutomaticoColore);
    AggiungiArgomento(QStringLiteral("-dEncodeColorImages=") + s.codificaColore);
    AggiungiArgomento(QStringLiteral("-dColorImageFilter=/") + s.filtroColore);
    AggiungiArgomento(QStringLiteral("-dEncodeGrayImages=") + s.codificaGrigi);
    AggiungiArgomento(QStringLiteral("-dGrayImageFilter=/") + s.filtroGrigi);
    AggiungiArgomento(QStringLiteral("-dColorImageResolution=") + s.risoluzioneColore);
    AggiungiArgomento(QStringLiteral("-dGrayImageResolution=") + s.risoluzioneGrigi);
    AggiungiArgomento(QStringLiteral("-dMonoImageResolution=") + s.risoluzioneMono);
    AggiungiArgomento(QStringLiteral("-dDownsampleColorImages=") + s.riduciColore);
    AggiungiArgomento(QStringLiteral("-dDownsampleGrayImages=") + s.riduciGrigi);
    AggiungiArgomento(QStringLiteral("-dDownsampleMonoImages=") + s.riduciMono);
    AggiungiArgomento(QStringLiteral("-dColorImageDownsampleType=/") + s.tipoRiduzioneColore);
    AggiungiArgomento(QStringLiteral("-dGrayImageDownsampleType=/") + s.tipoRiduzioneGrigi);
    AggiungiArgomento(QStringLiteral("-dMonoImageDownsampleType=/") + s.tipoRiduzioneMono);
    AggiungiArgomento(QStringLiteral("-dPreserveOverprintSettings=") + s.conservaSovrastampa);
    AggiungiArgomento(QStringLiteral("-dUCRandBGInfo=/Preserve"));
    AggiungiArgomento(QStringLiteral("-dUseFlateCompression=true"));
    AggiungiArgomento(QStringLiteral("-dParseDSCCommentsForDocInfo=true"));
    AggiungiArgomento(QStringLiteral("-dParseDSCComments=true"));
    AggiungiArgomento(QStringLiteral("-dOPM=") + s.modoSovrastampa);
    AggiungiArgomento(QStringLiteral("-dOffOptimizations=0"));
    AggiungiArgomento(QStringLiteral("-dLockDistillerParams=false"));
    AggiungiArgomento(QStringLiteral("-dGrayImageDepth=-1"));
    AggiungiArgomento(QStringLiteral("-dASCII85EncodePages=") + s.ascii85);
    AggiungiArgomento(QStringLiteral("-dDefaultRenderingIntent=/Default"));
    AggiungiArgomento(QStringLiteral("-dTransferFunctionInfo=/") + s.funzioniTrasferimento);
    AggiungiArgomento(QStringLiteral("-dPreserveHalftoneInfo=") + s.conservaRetinatura);
    AggiungiArgomento(QStringLiteral("-dOptimize=true"));
    AggiungiArgomento(QStringLiteral("-dDetectBlends=true"));
    AggiungiArgomento(QStringLiteral("-q"));
    AggiungiArgomento(QStringLiteral("-dNOPAUSE"));
    AggiungiArgomento(QStringLiteral("-dSAFER"));
    AggiungiArgomento(QStringLiteral("-sOutputFile=") + nomeUscitaLetterale(pdf));
    // Each argument is its own array element: blanks in the paths need no
    // quoting.
    AggiungiArgomento(ps);
    // The document's title, set after the job so that it replaces the one
    // the job's comments gave (the print job's, which holds its token).
    if (!titolo.isEmpty()) {
        AggiungiArgomento(QStringLiteral("-c"));
        AggiungiArgomento(QStringLiteral("[ /Title ") + stringaPdf(titolo) + QStringLiteral(" /DOCINFO pdfmark"));
    }
    // One argument, blank included: Ghostscript takes it as "-c" with no
    // code after it; the run ends through -dBATCH once the job is read.
    AggiungiArgomento(QStringLiteral("-c quit"));
}

// Lets the windows paint what they have pending (the main window shows its
// state before Ghostscript holds the thread). Only paint requests are
// delivered: no input event runs, so no command can start meanwhile.
void ridisegnaFinestre()
{
    if (QCoreApplication::instance())
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

} // namespace

const QStringList &argomentiGhostscript()
{
    return g_argomenti;
}

void AzzeraArgomenti()
{
    const std::lock_guard blocco(g_lista);
    g_argomenti = QStringList{QString()};
}

void AggiungiArgomento(const QString &testo)
{
    const std::lock_guard blocco(g_lista);
    g_argomenti.append(testo);
}

bool ConvertiPsInPdf(const QString &ps, const QString &pdf)
{
    return ConvertiPsInPdf(ps, pdf, QString());
}

bool ConvertiPsInPdf(const QString &ps, const QString &pdf, const QString &titolo)
{
    if (t_inConversione)
        return false;
    // Ghostscript opens both files itself: a PostScript "file" that is a
    // device or FIFO would never end, and a PDF written over one would go
    // into the device (or replace its node).
    if (!eFileRegolare(ps) || verificaDestinazione(pdf) != EsitoFile::Aperto)
        return false;
    const std::lock_guard blocco(g_lista);
    t_inConversione = true;
    struct Uscita
    {
        ~Uscita() { t_inConversione = false; }
    } uscita;

    AzzeraArgomenti();
    aggiungiArgomentiConversione(ps, pdf, titolo);
    ridisegnaFinestre();
    const bool riuscita = EseguiGhostscript(g_argomenti);
    if (!riuscita)
        QFile::remove(pdf);
    return riuscita;
}

} // namespace vorpla
