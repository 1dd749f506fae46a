#pragma once
// A mail test: a program folder of its own, the job's print file and its
// PDF in the temp folder, the real sendmail pointed at the test SMTP server,
// and a recording program as the desktop's mailto handler (what the mail
// client's compose window would have been given).

#include "MessaggiRegistrati.h"
#include "PostaRicevuta.h"
#include "TestSupport.h"

#include "common/StatoLavoro.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace vorpla::prova {

class ProvaPosta : public ::testing::Test
{
public:
    // A real PDF with one line of text.
    static void scriviPdf(const QString &percorso, const QString &testo);

protected:
    ProvaPosta();
    ~ProvaPosta() override;
    void SetUp() override;

    void ini(const QByteArray &contenuto) { cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"), contenuto); }
    // The print file job/NOME.txt, made the job's file, and its PDF
    // temp/NOME.PDF holding `testoPdf`.
    QString lavoroConPdf(const QByteArray &righe, const QString &testoPdf = QStringLiteral("FATTURA 1/2026"),
                         const QString &nome = QStringLiteral("F0001"));
    // What the mail client was handed, one call a line (the mailto URL),
    // decoded: subject, body, attachments, recipients.
    struct Composizione
    {
        QStringList destinatari;
        QString oggetto, testo;
        QStringList allegati;
    };
    QList<Composizione> composizioni() const;

    CartellaProva cartella;
    MessaggiRegistrati messaggi;

private:
    QByteArray m_config, m_dati;
    bool m_avevaConfig = false, m_avevaDati = false, m_sessioneFinta = false;
    QString m_registro;
};

} // namespace vorpla::prova
