#include "ServiziAvvio.h"

#include "output/PDFReportObj.h"

#include "common/FileRegolare.h"

#include "terminal/ScambioTerminale.h"
#include "Form1.h"
#include "FormImpostazioni.h"
#include "maintenance/AggiornamentoClient.h"
#include "maintenance/ProcessSession.h"
#include "maintenance/VBUnzBas.h"
#include "common/AperturaDesktop.h"
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

// $VISUAL, then $EDITOR (a command with its arguments), else the desktop's
// application for the file.
void editorDellUtente(const QString &file, const ServiziAvvio::Fallito &fallito)
{
    for (const char *variabile : {"VISUAL", "EDITOR"}) {
        QStringList comando = QProcess::splitCommand(qEnvironmentVariable(variabile));
        if (comando.isEmpty())
            continue;
        const QString programma = comando.takeFirst();
        apriSenzaAttendere(programma, comando << file, fallito);
        return;
    }
    apriSenzaAttendere(QStringLiteral("xdg-open"), {file}, fallito);
}

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
    s.registraPdfReport = [](const QString &) {};
    s.KV_CheckSendTerm = [](const QString &file) { return KV_CheckSendTerm(file); };
    s.abbandonaStampa = [] {};
    s.apriDocumento = [](const QString &, const ServiziAvvio::Fallito &) {};
    s.abbassaFinestra = [] {};
    s.stampa.dispositivo = [stampanti] { return stampanti->corrente(); };
    s.stampa.cursoreOccupato = s.cursoreOccupato;
    s.stampa.eventi = eventiInSospeso;
    // Without a display the printer dialog cannot be answered: cancelled.
    s.dialogoStampante = []() -> bool {
        scriviErrore(QStringLiteral("vorpla: no display for the printer dialog: cancelled"));
        return false;
    };
    // Without a display nobody can type in the editor: it closes unchanged.
    s.mostraEditor = [](Form1 &editor) { editor.Form_Resize(); };
    s.rialzaFinestra = [] {};
    s.editorEsterno = editorDellUtente;
    // Without a display nobody can answer the dialog: it is cancelled.
    s.Impostazioni = [] {
        scriviErrore(QStringLiteral("vorpla: no display for the voucher page settings: cancelled"));
        FormImpostazioni impostazioni([] {});
        impostazioni.Form_Load();
        impostazioni.Command1_Click(1);
    };
    s.mostraModificaMail = [] {
        scriviErrore(QStringLiteral("vorpla: no display for the mail editing window"));
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
