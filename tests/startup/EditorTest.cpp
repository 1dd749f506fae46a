// The text editor: the print file in as the page reads it and out as the
// host's bytes, lines left alone byte for byte, the 65,536
// character limit, the question on closing, "Salva con nome"; and the editor
// as a real window (offscreen platform).

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/FineProgramma.h"
#include "common/Stampanti.h"
#include "common/StatoLavoro.h"
#include "startup/ComandiMain.h"
#include "startup/Form1.h"
#include "startup/FormMain.h"
#include "startup/ServiziAvvio.h"
#include "startup/ui/FinestraEditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QThread>
#include <QMenu>
#include <QSet>
#include <gtest/gtest.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

class ProvaEditor : public ::testing::Test
{
protected:
    ProvaEditor() : comandi(form, servizi)
    {
        azzeraLavoro();
        servizi.abbassaFinestra = [this] { chiamate << QStringLiteral("abbassa"); };
        servizi.rialzaFinestra = [this] { chiamate << QStringLiteral("rialza"); };
        servizi.mostraEditor = [this](Form1 &editor) {
            chiamate << QStringLiteral("editor %1").arg(editor.Text1.size());
            editor.Form_Resize();
            if (modifica)
                modifica(editor);
            chiuso = editor.Form_Unload();
        };
        servizi.editorEsterno = [this](const QString &f, const ServiziAvvio::Fallito &fallito) {
            chiamate << QStringLiteral("esterno ") + f;
            esitoEditor = fallito;
        };
    }
    QString stampa(const QByteArray &b)
    {
        return lavoro().FileIngresso = cartella.scrivi(QStringLiteral("ulka/F1.TXT"), b);
    }

    CartellaProva cartella;
    MessaggiRegistrati messaggi;
    FormMain form;
    ServiziAvvio servizi;
    ComandiMain comandi;
    QStringList chiamate;
    std::function<void(Form1 &)> modifica;
    bool chiuso = false;
    ServiziAvvio::Fallito esitoEditor;
};

} // namespace

TEST_F(ProvaEditor, UpTo65536CharactersInTheEditorBeyondInTheUsersOwn)
{
    stampa(QByteArray(Form1::LunghezzaMassima, 'a'));
    comandi.Edit_Click();
    EXPECT_EQ(chiamate, (QStringList{QStringLiteral("abbassa"), QStringLiteral("editor 65536"), QStringLiteral("rialza")}));
    EXPECT_TRUE(form.visibile);

    EXPECT_TRUE(form.inPrimoPiano);

    // The user's own editor stays in front of the main window; with none
    // installed, the user is told, and the main window is on top again.
    chiamate.clear();
    const QString grande = stampa(QByteArray(Form1::LunghezzaMassima + 1, 'a'));
    comandi.Edit_Click();
    EXPECT_EQ(chiamate, (QStringList{QStringLiteral("abbassa"), QStringLiteral("esterno ") + grande}));
    EXPECT_FALSE(form.inPrimoPiano);
    EXPECT_TRUE(messaggi.testi.isEmpty());
    ASSERT_TRUE(esitoEditor);
    esitoEditor(QStringLiteral("xdg-open: no method available for opening '%1'").arg(grande));
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_TRUE(messaggi.testi.at(0).startsWith(QStringLiteral("Il file di stampa è troppo grande per l'editor di Vorpla "
                                                               "e non è installato nessun programma per modificarlo.\r\n")));
    EXPECT_TRUE(messaggi.testi.at(0).endsWith(QStringLiteral("no method available for opening '%1'").arg(grande)));
    EXPECT_TRUE(form.inPrimoPiano);
}

TEST_F(ProvaEditor, SavingReplacesThePrintFileWithTheTextAndOneLineEnd)
{
    // Every byte comes back as it was.
    QByteArray tutti;
    for (int c = 1; c < 256; ++c)
        tutti += char(c);
    const QString file = stampa("@TITO FATTURA\r\n" + tutti);
    modifica = [](Form1 &e) {
        e.Text1.replace(QStringLiteral("FATTURA"), QStringLiteral("NOTA"));
        e.Salva();
        e.Salva();
    };
    comandi.Edit_Click();
    EXPECT_TRUE(chiuso);
    EXPECT_TRUE(messaggi.testi.isEmpty());
    EXPECT_EQ(leggiFile(file), "@TITO NOTA\r\n" + tutti + "\r\n");

    // Opened again and saved unchanged: one more line end.
    modifica = [](Form1 &e) { e.Salva(); };
    comandi.Edit_Click();
    EXPECT_EQ(leggiFile(file), "@TITO NOTA\r\n" + tutti + "\r\n\r\n");
}

TEST_F(ProvaEditor, ClosingAsksOnlyAboutRealChanges)
{
    const QString file = stampa("@TITO Fattura\r\n");
    // Nothing changed: no question.
    comandi.Edit_Click();
    EXPECT_TRUE(chiuso);
    EXPECT_TRUE(messaggi.testi.isEmpty());

    // Letter case alone is a change like any other: asked, and No keeps
    // the file as it was.
    messaggi.risposte << Risposta::No;
    modifica = [](Form1 &e) { e.Text1 = e.Text1.toUpper(); };
    comandi.Edit_Click();
    EXPECT_TRUE(chiuso);
    EXPECT_EQ(messaggi.testi, QStringList{QString::fromUtf8(Form1::Domanda)});
    EXPECT_EQ(leggiFile(file), "@TITO Fattura\r\n");
    messaggi.testi.clear();

    // Typed, then the window resized: still a change to ask about.
    modifica = [](Form1 &e) {
        e.Text1 += QStringLiteral("@PAGE");
        e.Form_Resize();
    };
    comandi.Edit_Click();
    EXPECT_FALSE(chiuso); // no answer: Annulla keeps the editor
    EXPECT_EQ(messaggi.testi, QStringList{QString::fromUtf8(Form1::Domanda)});

    messaggi.risposte << Risposta::No;
    comandi.Edit_Click();
    EXPECT_TRUE(chiuso);
    EXPECT_EQ(leggiFile(file), "@TITO Fattura\r\n");

    messaggi.risposte << Risposta::Si;
    comandi.Edit_Click();
    EXPECT_TRUE(chiuso);
    EXPECT_EQ(leggiFile(file), "@TITO Fattura\r\n@PAGE\r\n");
}

// The text as the page prints it (host 0x85 "à", 0x8A "è", 0x95 "ò", 0x97
// "ù", 0x80 "‡"), written back as the host's bytes; a character the host
// cannot hold is refused by name and nothing is written.
TEST_F(ProvaEditor, HostLettersShownAsPrintedAndWrittenBackAsTheHostsBytes)
{
    const QByteArray prima = "@TITO FATTURA CITT\x85 \x8A\x95\x97\x80\r\n@BXr1 \xB3 Roma \xBA\r\n@TXTn fine\r\n";
    const QString file = stampa(prima);
    QString letto;
    modifica = [&](Form1 &e) {
        letto = e.Text1;
        e.Text1.replace(QStringLiteral("fine"), QStringLiteral("città più"));
        e.Text1 += QStringLiteral("@TXTn Forlì: ç | ‡");
        EXPECT_TRUE(e.Salva());
    };
    comandi.Edit_Click();
    EXPECT_EQ(letto, QStringLiteral("@TITO FATTURA CITTà èòù‡\r\n@BXr1 | Roma |\r\n@TXTn fine\r\n"));
    EXPECT_TRUE(chiuso);
    // The lines not touched keep their bytes (the two box-drawing bars
    // print "|" alike); the typed letters are the host's codes.
    EXPECT_EQ(leggiFile(file), "@TITO FATTURA CITT\x85 \x8A\x95\x97\x80\r\n@BXr1 \xB3 Roma \xBA\r\n@TXTn citt\x85 pi\x97\r\n"
                               "@TXTn Forl\x8D: \x87 | \x80\r\n");

    // "€" is no host character: said with where it stands, nothing written,
    // and Yes on closing keeps the editor open with the text.
    const QByteArray salvato = leggiFile(file);
    messaggi.risposte << Risposta::Si;
    bool salvata = true;
    modifica = [&](Form1 &e) {
        e.Text1.replace(QStringLiteral("Roma"), QStringLiteral("Roma 5€"));
        salvata = e.Salva();
    };
    comandi.Edit_Click();
    EXPECT_FALSE(salvata);
    EXPECT_FALSE(chiuso);
    EXPECT_EQ(leggiFile(file), salvato);
    ASSERT_EQ(messaggi.testi.size(), 3);
    const QString rifiuto = QStringLiteral("Il carattere \"€\" (riga 2, colonna 15) non è tra i caratteri di Ulka e non si può "
                                           "scrivere nel file di stampa: il testo non è stato salvato.");
    EXPECT_EQ(messaggi.testi, (QStringList{rifiuto, QString::fromUtf8(Form1::Domanda), rifiuto}));
}

TEST_F(ProvaEditor, SaveAsWritesElsewhereAndStillAsks)
{
    const QString file = stampa("@TITO X");
    const QString altro = cartella.percorso(QStringLiteral("copia.txt"));
    messaggi.risposte << Risposta::No;
    modifica = [&](Form1 &e) {
        e.Text1 += QStringLiteral("Y");
        e.SalvaConNome([&] { return altro; });
        // A cancelled dialog writes nothing, whatever was chosen before.
        e.Text1 += QStringLiteral("Z");
        e.SalvaConNome([] { return QString(); });
    };
    comandi.Edit_Click();
    EXPECT_EQ(leggiFile(altro), "@TITO XY\r\n");
    EXPECT_EQ(messaggi.testi.size(), 1);
    EXPECT_EQ(leggiFile(file), "@TITO X");
}

TEST_F(ProvaEditor, TheEditorWindow)
{
    stampa("@TITO Fattura\xff\x85\r\n@PAGE");
    Form1 editor;
    editor.carica();
    FinestraEditor finestra(editor, [] { return QString(); });
    finestra.show();
    EXPECT_EQ(finestra.windowTitle(), QStringLiteral("Edit"));
    for (const char *voce : {"Salva", "Salva con nome", "Annulla", "Copia", "Incolla", "Seleziona tutto", "Aumenta", "Diminuisci"})
        EXPECT_NE(finestra.voce(QString::fromUtf8(voce)), nullptr) << voce;
    // Every item of a menu has an access key of its own (Alt+F, then S).
    for (QMenu *menu : finestra.findChildren<QMenu *>()) {
        QSet<QChar> lettere;
        for (QAction *a : menu->actions()) {
            const qsizetype e = a->text().indexOf(u'&');
            ASSERT_GE(e, 0) << a->text().toStdString();
            EXPECT_FALSE(lettere.contains(a->text().at(e + 1).toLower())) << a->text().toStdString();
            lettere.insert(a->text().at(e + 1).toLower());
        }
    }
    EXPECT_EQ(finestra.text1()->document()->toRawText(), QStringLiteral("@TITO Fattura\u00a0à\u2029@PAGE"));

    const double prima = finestra.text1()->font().pointSizeF();
    finestra.voce(QStringLiteral("Aumenta"))->trigger();
    EXPECT_EQ(finestra.text1()->font().pointSizeF(), prima + 2);

    finestra.voce(QStringLiteral("Seleziona tutto"))->trigger();
    finestra.voce(QStringLiteral("Copia"))->trigger();
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("@TITO Fattura")));

    // Typed in the window, saved from its menu (the file's own CR LF line
    // ends kept), closed without a question.
    finestra.text1()->appendPlainText(QStringLiteral("@FAXS città"));
    finestra.voce(QStringLiteral("Salva"))->trigger();
    EXPECT_EQ(leggiFile(lavoro().FileIngresso), "@TITO Fattura\xff\x85\r\n@PAGE\r\n@FAXS citt\x85\r\n");
    EXPECT_TRUE(messaggi.testi.isEmpty());

    // Typed and not saved: the question; Annulla keeps the window, No
    // closes it and the file stays as saved.
    finestra.text1()->appendPlainText(QStringLiteral("@PAGE"));
    EXPECT_FALSE(finestra.close());
    EXPECT_TRUE(finestra.isVisible());
    messaggi.risposte << Risposta::No;
    EXPECT_TRUE(finestra.close());
    EXPECT_EQ(messaggi.testi, QStringList(2, QString::fromUtf8(Form1::Domanda)));
    EXPECT_EQ(leggiFile(lavoro().FileIngresso), "@TITO Fattura\xff\x85\r\n@PAGE\r\n@FAXS citt\x85\r\n");
}

TEST(EditorEsterno, TheUsersEditorFromVisualThenEditor)
{
    CartellaProva cartella;
    const QString segno = cartella.percorso(QStringLiteral("aperto"));
    const QString editor = cartella.scrivi(QStringLiteral("bin/editor"),
                                           "#!/bin/sh\nprintf '%s\\n' \"$*\" > '" + segno.toUtf8() + ".tmp' && mv '" + segno.toUtf8()
                                               + ".tmp' '" + segno.toUtf8() + "'\n");
    QFile::setPermissions(editor, QFile::permissions(editor) | QFileDevice::ExeOwner);
    const QByteArray visual = qgetenv("VISUAL"), editorPrima = qgetenv("EDITOR");
    // VISUAL first, a command with its arguments.
    qputenv("VISUAL", (editor + QStringLiteral(" -n")).toUtf8());
    qputenv("EDITOR", "/nonexistent/editor");
    ServiziAvvio servizi = serviziProgramma(nullptr);
    QStringList falliti;
    const auto fallito = [&](const QString &errori) { falliti << errori; };
    servizi.editorEsterno(QStringLiteral("/tmp/F1.TXT"), fallito);
    for (int i = 0; i < 50 && !QFileInfo::exists(segno); ++i)
        QThread::msleep(100);
    EXPECT_EQ(leggiFile(segno), "-n /tmp/F1.TXT\n");

    // An editor that gives up is reported, with the last line it wrote on
    // its standard error; one that opened the file is not.
    const QString rinuncia = cartella.scrivi(QStringLiteral("bin/rinuncia"),
                                             "#!/bin/sh\necho primo >&2\necho \"rinuncia: $1 non si apre\" >&2\nexit 4\n");
    QFile::setPermissions(rinuncia, QFile::permissions(rinuncia) | QFileDevice::ExeOwner);
    qputenv("VISUAL", rinuncia.toUtf8());
    servizi.editorEsterno(QStringLiteral("/tmp/F2.TXT"), fallito);
    QDeadlineTimer scadenza(5000);
    while (falliti.isEmpty() && !scadenza.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(falliti, QStringList{QStringLiteral("rinuncia: /tmp/F2.TXT non si apre")});
    qputenv("VISUAL", visual);
    qputenv("EDITOR", editorPrima);
    if (visual.isEmpty())
        qunsetenv("VISUAL");
    if (editorPrima.isEmpty())
        qunsetenv("EDITOR");
}
