// The clipboard transfer: the block around the archive, the transfer copy
// the client unzips, the files sent for an update, the logs, and the
// version read from a program file.

#include "terminal/SendTerm.h"
#include "terminal/StatoTerminale.h"
#include "terminal/Versione.h"

#include "MessaggiRegistrati.h"
#include "ProvaTerminale.h"
#include "TestSupport.h"

#include "common/StatoLavoro.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

// A job in a program folder of its own, run from its root folder (where
// SendFile leaves its dump).
class ProvaSendTerm : public ::testing::Test
{
protected:
    ProvaSendTerm()
    {
        m_cartellaPrima = QDir::currentPath();
        QDir::setCurrent(cartella.radice());
        azzeraLavoro();
        statoTerminale() = StatoTerminale();
    }
    ~ProvaSendTerm() override { QDir::setCurrent(m_cartellaPrima); }

    QString lavoroDi(const QByteArray &contenuto)
    {
        lavoro().FileIngresso = cartella.scrivi(QStringLiteral("ulka/FATT01.txt"), contenuto);
        return lavoro().FileIngresso;
    }
    QString log(const QString &nome) { return QString::fromUtf8(leggiFile(cartella.temp() + nome)); }

    CartellaProva cartella;
    MessaggiRegistrati messaggi;
    AppuntiProva appunti;
    SendTerm trasferimento{appunti};

private:
    QString m_cartellaPrima;
};

} // namespace

TEST(BloccoAppunti, ArchiveBetweenZeroBytesAfterItsLength)
{
    QByteArray archivio(1000, '\x5a');
    archivio[0] = 'P';
    archivio[999] = 'Z';
    const QByteArray blocco = bloccoAppunti(archivio);
    ASSERT_EQ(blocco.size(), 1008);
    EXPECT_EQ(qFromLittleEndian<quint16>(blocco.constData()), 17);
    EXPECT_EQ(qFromLittleEndian<quint32>(blocco.constData() + 2), 1002u);
    EXPECT_EQ(blocco.at(6), '\0');
    EXPECT_EQ(blocco.mid(7, 1000), archivio);
    EXPECT_EQ(blocco.at(1007), '\0');

    // No archive: two zero bytes.
    EXPECT_EQ(bloccoAppunti({}), QByteArray("\x11\x00\x02\x00\x00\x00\x00\x00", 8));
}

TEST_F(ProvaSendTerm, TransferCopyOnTheClipboardZipped)
{
    const QString file = lavoroDi("@ULKA=LOCALE   \r\n@TIPS FATTURA   \r\n   @TITO Fattura n. 1  \r\n\r\n@PAGE\r\n");
    appunti.impostaTesto(QStringLiteral("earlier"));
    ASSERT_EQ(trasferimento.StartST(file, cartella.temp(), QStringLiteral("VORPLA"), QStringLiteral("2.1.0"), true), 1);

    // The first line gives way to the two header lines; trailing blanks go,
    // leading ones stay.
    const QByteArray copia("@ULKA=VORPLA\r\n@VERSIONE=2.1.0\r\n@TIPS FATTURA\r\n   @TITO Fattura n. 1\r\n\r\n@PAGE\r\n");
    EXPECT_EQ(leggiFile(cartella.temp() + QStringLiteral("FATT01.tmp")), copia);

    // What the client finds: the block of the archive, the only content.
    EXPECT_EQ(appunti.formato, QStringLiteral("KV_ZIP"));
    EXPECT_EQ(appunti.contenuto, QString());
    const QByteArray archivio = leggiFile(cartella.temp() + QStringLiteral("FATT01.cmp"));
    ASSERT_FALSE(archivio.isEmpty());
    EXPECT_EQ(appunti.dati, bloccoAppunti(archivio));
    const QString ricevuto = cartella.scrivi(QStringLiteral("client/ricevuto.zip"), archivioDelBlocco(appunti.dati));
    const QStringList voci = vociArchivio(ricevuto);
    ASSERT_EQ(voci.size(), 1); // the name listed twice is stored once
    EXPECT_EQ(uscitaDi(QStringLiteral("unzip"), {QStringLiteral("-p"), ricevuto, voci.at(0)}), copia);

    const QString registro = log(QStringLiteral("SendTerm.log"));
    for (const QString &riga :
         {QStringLiteral("strTmpFile=") + cartella.temp() + QStringLiteral("FATT01.tmp"),
          QStringLiteral("Versione di: ") + QCoreApplication::applicationFilePath() + QStringLiteral(" = 2.1.0"),
          QStringLiteral("lunghezza vettore=%1").arg(archivio.size() + 2), QStringLiteral("ID per <KV_ZIP>= KV_ZIP"),
          QStringLiteral("ClipBoard chiusa----------------------")})
        EXPECT_TRUE(registro.contains(riga + QStringLiteral("\r\n"))) << riga.toStdString() << "\n" << registro.toStdString();
    // This test program carries the version block too: no message.
    EXPECT_TRUE(messaggi.testi.isEmpty()) << messaggi.testi.join(u'|').toStdString();

    // A print file of one line: the two header lines only. The format is
    // registered once for the object, whatever the number of transfers.
    lavoroDi("@ULKA=LOCALE\r\n");
    ASSERT_EQ(trasferimento.StartST(file, cartella.temp(), QStringLiteral("VORPLA"), QStringLiteral("2.1.0"), true), 1);
    EXPECT_EQ(leggiFile(cartella.temp() + QStringLiteral("FATT01.tmp")), QByteArray("@ULKA=VORPLA\r\n@VERSIONE=2.1.0\r\n"));
    EXPECT_EQ(trasferimento.FormatID(QStringLiteral("KV_ZIP")), QStringLiteral("KV_ZIP"));
    EXPECT_EQ(appunti.registrati, QStringList{QStringLiteral("KV_ZIP")});
}

TEST_F(ProvaSendTerm, MissingFileOrClosedClipboardIsNoTransfer)
{
    lavoroDi("@ULKA=LOCALE\r\n");
    appunti.impostaTesto(QStringLiteral("earlier"));
    EXPECT_EQ(trasferimento.StartST(cartella.percorso(QStringLiteral("nothing.txt")), cartella.temp(),
                                    QStringLiteral("VORPLA"), QStringLiteral("2.1.0"), true),
              -1);
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("[SendTerm.dll]: Parametro errato; richiesto nome file esistente!")});
    // The clipboard was emptied first, and nothing was offered.
    EXPECT_EQ(appunti.contenuto, QString());
    EXPECT_TRUE(appunti.dati.isEmpty());
    EXPECT_EQ(trasferimento.SendFile(QString(), cartella.temp(), true), -1);

    // A clipboard that cannot be opened: -2, with the reason in the log.
    appunti.apribili = false;
    EXPECT_EQ(trasferimento.StartST(lavoro().FileIngresso, cartella.temp(), QStringLiteral("VORPLA"),
                                    QStringLiteral("2.1.0"), true),
              -2);
    const QString registro = log(QStringLiteral("SendTerm.log"));
    EXPECT_TRUE(registro.contains(QStringLiteral("ERRORE -4: non è riuscito ad aprire la clipboard\r\n")));
    EXPECT_TRUE(registro.contains(QStringLiteral("sendterm - StartST\r\nErrore -2: errore da VB(StartST)modClipBoard::"
                                                 "SetClipboardData() - Failed to open the clipboard nR.-2147221504 Nome:")
                                  + lavoro().FileIngresso))
        << registro.toStdString();
    EXPECT_TRUE(appunti.dati.isEmpty());
}

TEST_F(ProvaSendTerm, UpdateSendsTheFileWithTheProgramFonts)
{
    lavoroDi("@ULKA=LOCALE\r\n");
    const QString programma = cartella.scrivi(QStringLiteral("ulka/vorpla/vorplaAGG.exe"), QByteArray(5000, 'x'));
    for (const char *font : {"NetTerm.ttf", "CODE39.TTF", "barre.ttf"})
        cartella.scrivi(QStringLiteral("ulka/vorpla/") + QLatin1String(font), "font " + QByteArray(font));
    cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"), "[X]\r\n");
    // An older, longer dump leaves nothing behind.
    cartella.scrivi(QStringLiteral("pivlo.zzz"), QByteArray(100000, '#'));

    // Without ConFont, the file alone.
    ASSERT_EQ(trasferimento.SendFile(programma, cartella.temp(), true), 1);
    const QString archivio = cartella.temp() + QStringLiteral("kvSend.cmp");
    ASSERT_EQ(vociArchivio(archivio).size(), 1);
    QFile::remove(archivio);

    statoTerminale().ConFont = true;
    ASSERT_EQ(trasferimento.SendFile(programma, cartella.temp(), true), 1);
    QStringList nomi;
    for (const QString &voce : vociArchivio(archivio))
        nomi << voce.section(u'/', -1);
    nomi.sort();
    EXPECT_EQ(nomi, (QStringList{QStringLiteral("CODE39.TTF"), QStringLiteral("NetTerm.ttf"), QStringLiteral("barre.ttf"),
                                 QStringLiteral("vorplaAGG.exe")}));
    EXPECT_EQ(appunti.dati, bloccoAppunti(leggiFile(archivio)));
    EXPECT_EQ(leggiFile(cartella.percorso(QStringLiteral("pivlo.zzz"))), leggiFile(archivio) + QByteArray(1, '\0'));
    EXPECT_TRUE(log(QStringLiteral("SendFile.log")).contains(QStringLiteral("strNomeFile=") + programma + QStringLiteral("\r\n")));

    // The name table holds 100 names: the file and 99 fonts. One more font
    // is a failure, and nothing is offered.
    for (int i = 0; i < 96; ++i)
        cartella.scrivi(QStringLiteral("ulka/vorpla/f%1.ttf").arg(i), "f");
    ASSERT_EQ(trasferimento.SendFile(programma, cartella.temp(), true), 1);
    cartella.scrivi(QStringLiteral("ulka/vorpla/uno-di-troppo.ttf"), "f");
    EXPECT_EQ(trasferimento.SendFile(programma, cartella.temp(), true), -2);
    EXPECT_TRUE(log(QStringLiteral("SendFile.log"))
                    .endsWith(QStringLiteral("Errore -2(send file): errore da VB9 Subscript out of range\r\n")));
    EXPECT_TRUE(appunti.dati.isEmpty());
}

TEST(KV_GetVersion, ReadFromTheProgramFileItself)
{
    CartellaProva cartella;
    MessaggiRegistrati messaggi;
    EXPECT_EQ(versioneProgramma(), QStringLiteral("%1.%2.%3")
                                       .arg(VORPLA_VERSION_MAJOR)
                                       .arg(VORPLA_VERSION_MINOR)
                                       .arg(VORPLA_VERSION_PATCH));
    EXPECT_EQ(KV_GetVersion(QCoreApplication::applicationFilePath()), versioneProgramma());
    EXPECT_EQ(KV_GetVersion(QStringLiteral(VORPLA_EXE)), versioneProgramma());
    EXPECT_TRUE(messaggi.testi.isEmpty());

    // Another program, a text file, no file: no version, and the message.
    for (const QString &altro : {QStringLiteral("/bin/sh"), cartella.scrivi(QStringLiteral("a.txt"), "2.1.0\n"),
                                 cartella.percorso(QStringLiteral("none"))})
        EXPECT_EQ(KV_GetVersion(altro), QString()) << altro.toStdString();
    EXPECT_EQ(messaggi.testi, QStringList(3, QStringLiteral("No fixed version information in this file")));

    // Damaged copies of the program never read outside the file: every cut
    // and a run of corrupted section tables give a version or nothing.
    const QByteArray programma = leggiFile(QStringLiteral(VORPLA_EXE));
    ASSERT_GT(programma.size(), 4096);
    for (qsizetype taglio : {qsizetype(0), qsizetype(16), qsizetype(64), programma.size() / 2, programma.size() - 1})
        EXPECT_EQ(versioneNelFile(programma.left(taglio)), QString());
    // One copy of the program, a byte spoilt at a time and put back.
    QByteArray guasto = programma;
    for (int i = 0; i < 64; ++i) {
        const qsizetype dove = guasto.size() - 1 - (i * 37) % 2048;
        const char buono = guasto[dove];
        guasto[dove] = char(0xff ^ i);
        const QString v = versioneNelFile(guasto);
        EXPECT_TRUE(v.isEmpty() || v == versioneProgramma());
        guasto[dove] = buono;
    }
}
