#include "ServiziAvvio.h"

#include "output/PDFReportObj.h"

#include "common/FileRegolare.h"

#include "terminal/ScambioTerminale.h"
#include "FormImpostazioni.h"
#include "maintenance/AggiornamentoClient.h"
#include "maintenance/ProcessSession.h"
#include "maintenance/VBUnzBas.h"
#include "common/Attesa.h"
#include "common/AvviaProgramma.h"
#include "common/CartellaProgramma.h"
#include "common/ErroreVB.h"
#include "common/Routine.h"
#include "common/FineProgramma.h"
#include "common/Stampanti.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QCursor>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

namespace vorpla {

namespace {

QString cartellaFontUtente()
{
    QString dati = qEnvironmentVariable("XDG_DATA_HOME");
    if (dati.isEmpty())
        dati = QDir::homePath() + QStringLiteral("/.local/share");
    return dati + QStringLiteral("/fonts");
}

} // namespace

ServiziAvvio serviziProgramma(Stampanti *stampanti)
{
    ServiziAvvio s;
    s.stampanti = stampanti;
    s.eventi = eventiInSospeso;
    s.attendi = attendiConEventi;
    s.cursoreOccupato = [](bool occupato) {
        if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            return;
        if (occupato)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QGuiApplication::restoreOverrideCursor();
    };
    s.CercaProcesso = CercaProcesso;
    // Without a window no timer runs after start-up: the download program is
    // brought up to date, the client's archive waits for a start with one.
    s.AggiornaClient = [] {
        static AggiornamentoClient aggiornamento(serviziAggiornamentoProgramma());
        aggiornamento.AggiornaClient();
    };
    // The archive always goes into the program folder.
    s.EstraiInCartella = [](const QString &archivio, const QString &) { EstraiInCartella(archivio); };
    s.avviaProgramma = avviaDallaCartella;
    // The PDF report component is built into the program, so its class is
    // always registered: creating one object and releasing it cannot fail
    // for want of registration.
    s.creaPdfReport = [] { PDFReportObj documento; };
    s.PdfDelLavoro = [] {
        nonDisponibile(QStringLiteral("FRMCreaPDF - Form_Load"), QStringLiteral("A PDF without a runtime printer"));
        return QString();
    };
    s.registraPdfReport = [](const QString &) {};
    s.KV_CheckSendTerm = [](const QString &file) { return KV_CheckSendTerm(file); };
    s.CreaPdf = [](const QString &) {
        nonDisponibile(QStringLiteral("CreaPdf"), QStringLiteral("Making PDFs through the PostScript printer"));
    };
    s.abbandonaStampa = [] {};
    s.apriDocumento = [](const QString &) {};
    s.abbassaFinestra = [] {};
    s.mostraAnteprima = [] {
        nonDisponibile(QStringLiteral("frmPreview - Form_Load"), QStringLiteral("The preview window"));
    };
    s.stampa.dispositivo = [stampanti] { return stampanti->corrente(); };
    s.stampa.cursoreOccupato = s.cursoreOccupato;
    s.stampa.eventi = eventiInSospeso;
    s.dialogoStampante = []() -> bool {
        nonDisponibile(QStringLiteral("frmMain - cmdProp_Click"), QStringLiteral("The printer dialog without a display"));
        return false;
    };
    // Without a display nobody can answer the dialog: it is cancelled.
    s.Impostazioni = [] {
        FormImpostazioni impostazioni([] {});
        impostazioni.Form_Load();
        impostazioni.Command1_Click(1);
    };
    s.inviaMail = [](int indice) {
        nonDisponibile(QStringLiteral("frmMain - cmdEmail_Click") + QString::number(indice),
                       indice == 1 ? QStringLiteral("Fax") : QStringLiteral("Mail"));
    };
    s.mostraModificaMail = [] {
        nonDisponibile(QStringLiteral("frmMain - cmdEditEmail_Click"), QStringLiteral("The mail editor without a display"));
    };
    s.cartellaFont = cartellaFontUtente();
    s.registraFont = [](const QString &file) {
        if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            return;
        if (const std::optional<QByteArray> dati = leggiFileRegolare(file, DimensioneMassimaFont))
            QFontDatabase::addApplicationFontFromData(*dati);
    };
    return s;
}

} // namespace vorpla
