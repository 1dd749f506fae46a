#pragma once
// Reading back what the test SMTP server received: the messages of one
// recipient, parsed with GMime as a mail reader parses them.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vorpla::prova {

struct AllegatoRicevuto
{
    QString nome;  // file name, decoded
    QString tipo;  // "application/pdf"
    QString codifica; // "base64"
    QByteArray dati;
};

struct MailRicevuta
{
    QString mittenteBusta;
    QStringList destinatariBusta;
    QString da, a, cc; // the headers, decoded
    QString oggetto;
    QString oggettoGrezzo; // as it travelled
    QString testo;         // the body text, decoded, lines ending in CR LF
    QList<AllegatoRicevuto> allegati;
    QByteArray grezzo;
};

// Parses one message.
MailRicevuta leggiMail(const QByteArray &grezzo);

// The messages the test server received for this envelope recipient, in the
// order it received them.
QList<MailRicevuta> posteRicevute(const QString &destinatario);

// The test server's folder and port ("" and 0 without the test server).
QString cartellaPosta();
int portaPosta();
inline constexpr const char *SenzaServerPosta =
    "No test SMTP server: these tests need scripts/smtp-test-server.py (bash scripts/test.sh starts it; by hand: "
    "radice=$PWD; . scripts/posta-di-prova.sh).";

// A recipient address no other test uses.
QString indirizzoUnico(const QString &prefisso = QStringLiteral("cliente"));

} // namespace vorpla::prova
