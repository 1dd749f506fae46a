#pragma once
// A start-up under test: a program folder of its own, three printers, the
// message boxes recorded and every outside service replaced by a recorder.

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/Stampanti.h"
#include "common/StatoLavoro.h"
#include "startup/Avvio.h"
#include "startup/FormMain.h"
#include "terminal/ScambioTerminale.h"
#include "terminal/StatoTerminale.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <optional>

namespace vorpla::prova {

class ProvaAvvio : public ::testing::Test
{
protected:
    ProvaAvvio()
        : stampanti({{QStringLiteral("Office"), QStringLiteral("ipp://server/printers/office")},
                     {QStringLiteral("PDFCreator"), QStringLiteral("file:///srv/spool/spool.ps")},
                     {QStringLiteral("Laser Piano 2"), QStringLiteral("socket://192.0.2.5")}},
                    QStringLiteral("Office"))
    {
        azzeraLavoro();
        ModoNC().clear();
        servizi.stampanti = &stampanti;
        servizi.eventi = [] {};
        servizi.attendi = [this](int ms) { chiamate << QStringLiteral("attendi %1").arg(ms); };
        servizi.cursoreOccupato = [this](bool b) { chiamate << QStringLiteral("cursore %1").arg(b); };
        servizi.CercaProcesso = [this](const QString &nome, bool) {
            chiamate << QStringLiteral("CercaProcesso ") + nome;
            return processiInEsecuzione.contains(nome);
        };
        servizi.AggiornaClient = [this] { chiamate << QStringLiteral("AggiornaClient"); };
        servizi.EstraiInCartella = [this](const QString &a, const QString &c) {
            chiamate << QStringLiteral("EstraiInCartella ") + a + u' ' + c;
        };
        servizi.avviaProgramma = [this](const QString &p) { chiamate << QStringLiteral("avvia ") + p; };
        servizi.creaPdfReport = [] {};
        servizi.registraPdfReport = [this](const QString &dll) { chiamate << QStringLiteral("registra ") + dll; };
        servizi.KV_CheckSendTerm = [](const QString &file) { return KV_CheckSendTerm(file); };
        servizi.CreaPdf = [this](const QString &f) {
            chiamate << QStringLiteral("CreaPdf ") + f;
            if (anteprimaDuranteCreaPdf)
                lavoro().AnteprimaRichiesta = true;
        };
        servizi.CliccoVorpla = [this] { chiamate << QStringLiteral("CliccoVorpla ") + stampanti.corrente(); };
        servizi.CliccoAnteprima = [this] { chiamate << QStringLiteral("CliccoAnteprima ") + stampanti.corrente(); };
        servizi.mostraFormEtichette = [this] { chiamate << QStringLiteral("frmvorpla"); };
        servizi.cartellaFont = cartella.percorso(QStringLiteral("fonts"));
        servizi.registraFont = [this](const QString &f) { chiamate << QStringLiteral("registraFont ") + f; };
    }

    // Runs start-up; the exit status when it ended the program, nothing when
    // it returned (window left for the user, or stopped by an error).
    std::optional<int> avvia(const QString &riga)
    {
        Avvio avvio(form, servizi);
        try {
            avvio.esegui(riga);
        } catch (const FineProgramma &f) {
            return f.codice();
        }
        completato = avvio.completato();
        return std::nullopt;
    }

    // A print file in the test's folder.
    QString lavoroDi(const QByteArray &contenuto, const QString &nome = QStringLiteral("job/stampa.txt"))
    {
        return cartella.scrivi(nome, contenuto);
    }

    void ini(const QByteArray &contenuto) { cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"), contenuto); }

    const Controllo &c(const char *nome) { return form.controllo(QString::fromLatin1(nome)); }

    CartellaProva cartella;
    StampantiFisse stampanti;
    FormMain form;
    ServiziAvvio servizi;
    MessaggiRegistrati messaggi;
    QStringList chiamate;
    QStringList processiInEsecuzione;
    bool anteprimaDuranteCreaPdf = false;
    bool completato = false;
};

} // namespace vorpla::prova
