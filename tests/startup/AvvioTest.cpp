// Start-up: the command-line forms, the header markers, vorpla.ini, the
// unattended jobs and the failure messages, each as the user meets them.

#include "ProvaAvvio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace vorpla;
using namespace vorpla::prova;

namespace {
const QByteArray kFattura = "@TIPS FATTURA\r\n@INTE\r\n@INT1 Agenzia\r\n@TITO FATTURA\r\n@PAGE\r\n";
const QString kMessaggioVuoto = QStringLiteral("Impossibile vorplare!\rIl file in vorpla non contiene alcuna informazione!");
} // namespace

// ---- The window as an interactive job leaves it -----------------------------

TEST_F(ProvaAvvio, InteractiveJobLeavesTheWindowReadyOnTheDefaultPrinter)
{
    const QString file = lavoroDi(kFattura);
    EXPECT_FALSE(avvia(file).has_value());
    EXPECT_TRUE(completato);
    EXPECT_TRUE(messaggi.testi.isEmpty()) << messaggi.testi.join(u'|').toStdString();
    EXPECT_EQ(lavoro().FileIngresso, file);
    EXPECT_TRUE(form.visibile);
    EXPECT_TRUE(form.inPrimoPiano);
    EXPECT_EQ(form.posizione, QPoint(0, 0));
    EXPECT_EQ(form.caption, QStringLiteral("Vorpla Ulka v. 2.1.0"));
    EXPECT_EQ(c("cmbPrinter").voci, (QStringList{"Office", "PDFCreator", "Laser Piano 2"}));
    EXPECT_EQ(c("cmbPrinter").testo, QStringLiteral("Office"));
    EXPECT_EQ(c("cmbPrinter").indice, 0);
    EXPECT_EQ(c("lblPorta").testo, QStringLiteral(" ipp://server/printers/office"));
    EXPECT_EQ(lavoro().DispositivoRegistrato, QStringLiteral("Office"));
    EXPECT_TRUE(lavoro().PdfReportDisponibile);
    // Initial states of the window's controls.
    EXPECT_FALSE(c("Check2").visibile);
    EXPECT_FALSE(c("cmdEmail(1)").abilitato);
    EXPECT_EQ(c("cmdEmail(1)").testo, QStringLiteral("My Fax"));
    EXPECT_FALSE(c("CmdPub").visibile);
    EXPECT_FALSE(c("CmbEtich").visibile);
    EXPECT_EQ(c("TXTNumCopie").testo, QStringLiteral("1"));
    EXPECT_EQ(QDir::currentPath(), cartella.programma());
    EXPECT_EQ(chiamate.first(), QStringLiteral("CercaProcesso kelvoria.exe"));
}

TEST_F(ProvaAvvio, RunningTerminalClientIsUpdatedFirst)
{
    processiInEsecuzione << QStringLiteral("kelvoria.exe");
    avvia(lavoroDi(kFattura));
    ASSERT_GE(chiamate.size(), 2);
    EXPECT_EQ(chiamate.at(1), QStringLiteral("AggiornaClient"));
}

// ---- Command line ------------------------------------------------------------

TEST_F(ProvaAvvio, DebugSwitchIsCaseSensitiveAndFoundInsideWords)
{
    const QString file = lavoroDi(kFattura);
    avvia(file + QStringLiteral(" debug"));
    EXPECT_FALSE(lavoro().ModoDebug);
    azzeraLavoro();
    avvia(file + QStringLiteral(" xDEBUGx"));
    EXPECT_TRUE(lavoro().ModoDebug);
}

TEST_F(ProvaAvvio, PrintFilePathIsCutAtTheFirstBlank)
{
    const QString file = lavoroDi(kFattura, QStringLiteral("con spazio.txt"));
    avvia(file);
    EXPECT_EQ(lavoro().FileIngresso, cartella.percorso(QStringLiteral("con")));
    EXPECT_EQ(form.Parametri, (QStringList{cartella.percorso(QStringLiteral("con")), QStringLiteral("spazio.txt")}));
    // The cut name does not exist: the terminal-server check fails on it.
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_EQ(messaggi.testi.at(0), QStringLiteral("Routine frmMain - KV_CheckSendTerm\r Errore N.53 File not found"));
    EXPECT_FALSE(completato);
}

TEST_F(ProvaAvvio, TwoBlanksInARowGiveAnEmptyElement)
{
    EXPECT_EQ(Avvio::dividi(QStringLiteral("a  b")), (QStringList{"a", "", "b"}));
    EXPECT_TRUE(Avvio::dividi(QString()).isEmpty());
}

TEST_F(ProvaAvvio, EmptyCommandLineReportsTheFailedCheckAndOpensTheWindowWithoutAJob)
{
    EXPECT_FALSE(avvia(QString()).has_value());
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_TRUE(messaggi.testi.at(0).startsWith(QStringLiteral("Routine frmMain - KV_CheckSendTerm\r Errore N.")));
    EXPECT_TRUE(form.visibile);
    EXPECT_FALSE(completato);
    EXPECT_TRUE(lavoro().FileIngresso.isEmpty());
}

TEST_F(ProvaAvvio, EarlierPdfOfTheSameDocumentIsDeleted)
{
    const QString file = lavoroDi(kFattura, QStringLiteral("job/F123.txt"));
    const QString vecchio = lavoroDi("%PDF-old", QStringLiteral("job/F123.pdf"));
    avvia(file);
    EXPECT_FALSE(QFileInfo::exists(vecchio));
    EXPECT_TRUE(QFileInfo::exists(file));
}

TEST_F(ProvaAvvio, PdfFormMakesThePdfThenDeletesThePrintFile)
{
    const QString file = lavoroDi(kFattura);
    EXPECT_EQ(avvia(QStringLiteral("PDF ") + file), 0);
    EXPECT_TRUE(lavoro().ModoPdf);
    EXPECT_TRUE(chiamate.contains(QStringLiteral("CreaPdf ") + file));
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_FALSE(form.visibile);
}

TEST_F(ProvaAvvio, PdfFormKeepsThePrintFileWhenThePreviewAskedForIt)
{
    const QString file = lavoroDi(kFattura);
    anteprimaDuranteCreaPdf = true;
    EXPECT_EQ(avvia(QStringLiteral("PDF ") + file), 0);
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_FALSE(lavoro().AnteprimaRichiesta);
}

TEST_F(ProvaAvvio, PdfFormIsCaseSensitive)
{
    const QString file = lavoroDi(kFattura);
    avvia(QStringLiteral("pdf ") + file);
    EXPECT_FALSE(lavoro().ModoPdf);
    EXPECT_EQ(lavoro().FileIngresso, QStringLiteral("pdf"));
}

TEST_F(ProvaAvvio, NoFormCreatesTheMissingFoldersAndReplacesTheDestination)
{
    const QString file = lavoroDi(kFattura);
    const QString radice = cartella.percorso(QStringLiteral("pdf"));
    QDir().mkpath(radice + QStringLiteral("/a"));
    const QString destinazione = radice + QStringLiteral("/a/b/c/doc.pdf");
    EXPECT_EQ(avvia(QStringLiteral("NO ") + file + u' ' + destinazione), 0);
    EXPECT_TRUE(QFileInfo(radice + QStringLiteral("/a/b/c")).isDir());
    EXPECT_EQ(form.NomeDestinazione, QStringLiteral("doc"));
    EXPECT_TRUE(chiamate.contains(QStringLiteral("CreaPdf ") + file));
    EXPECT_FALSE(QFileInfo::exists(file));

    // Again, with a PDF already at the destination: it goes before the new one is made.
    azzeraLavoro();
    const QString file2 = lavoroDi(kFattura);
    scriviFile(destinazione, "%PDF-old");
    EXPECT_EQ(avvia(QStringLiteral("NO ") + file2 + u' ' + destinazione), 0);
    EXPECT_FALSE(QFileInfo::exists(destinazione)); // the recorder made no new PDF
}

TEST_F(ProvaAvvio, NoFormFoldersAreTestedFromTheRootDown)
{
    EXPECT_EQ(cartelleDestinazione(QStringLiteral("/srv/pdf/a/b/doc.pdf")),
              (QStringList{"/srv/pdf", "/srv/pdf/a", "/srv/pdf/a/b"}));
    EXPECT_EQ(cartelleDestinazione(QStringLiteral("\\\\server\\share\\a\\b\\doc.pdf")),
              (QStringList{"//server/share", "//server/share/a", "//server/share/a/b"}));
    EXPECT_EQ(cartelleDestinazione(QStringLiteral("C:\\pdf\\doc.pdf")), (QStringList{"C:/pdf"}));
    EXPECT_TRUE(cartelleDestinazione(QStringLiteral("doc.pdf")).isEmpty());
}

TEST_F(ProvaAvvio, NoFormArgumentErrors)
{
    const QString file = lavoroDi(kFattura);
    struct Caso
    {
        QString riga;
        QString messaggio;
    };
    const QList<Caso> casi = {
        {QStringLiteral("NO ") + file + u' ',
         QStringLiteral("Errore, il parametro 'percorso di destinazione del PDF è vuoto'")},
        {QStringLiteral("NO ") + file + QStringLiteral(" /tmp/a.pd"),
         QStringLiteral("Errore, il parametro 'nome del file di destinazione del PDF è vuoto'")},
    };
    for (const Caso &caso : casi) {
        messaggi.testi.clear();
        chiamate.clear();
        EXPECT_EQ(avvia(caso.riga), FineConErrore) << caso.riga.toStdString();
        EXPECT_EQ(messaggi.testi, QStringList{caso.messaggio});
        EXPECT_FALSE(chiamate.join(u'|').contains(QStringLiteral("CreaPdf")));
        EXPECT_TRUE(QFileInfo::exists(file));
    }

    // A name part of three characters makes the file-name routine fail.
    messaggi.testi.clear();
    EXPECT_FALSE(avvia(QStringLiteral("NO ") + file + QStringLiteral(" /tmp/x.p")).has_value());
    EXPECT_EQ(messaggi.testi,
              QStringList{QStringLiteral("Routine ModPubblico - trovanome\r Errore N.5 Invalid procedure call or argument")});

    // Only two elements: the third is out of range.
    messaggi.testi.clear();
    EXPECT_FALSE(avvia(QStringLiteral("NO ") + file).has_value());
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("Routine frmMain - Form_Load\r Errore N.9 Subscript out of range")});
    EXPECT_TRUE(QFileInfo::exists(file));
}

TEST_F(ProvaAvvio, AnUndeletablePdfStopsTheJobWithTheOpenFileMessage)
{
    // Something that cannot be deleted where the old PDF would be (a folder
    // holding a file: even root cannot remove it as a file).
    const QString file = lavoroDi(kFattura, QStringLiteral("job/F9.txt"));
    lavoroDi("x", QStringLiteral("job/F9.PDF/held"));
    EXPECT_EQ(avvia(file), FineConErrore);
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_EQ(messaggi.testi.at(0), QStringLiteral("Il file ") + cartella.percorso(QStringLiteral("job/F9."))
                                        + QStringLiteral("PDF risulta aperto in un'altra applicazione.\r\n"
                                                         "Chiudere l'applicazione e riprovare a vorplare."));
    EXPECT_TRUE(QFileInfo::exists(file));
}

// ---- Terminal-server check -------------------------------------------------

TEST_F(ProvaAvvio, EmptyPrintFileIsRefused)
{
    EXPECT_EQ(avvia(lavoroDi(QByteArray())), FineConErrore);
    EXPECT_EQ(messaggi.testi, QStringList{kMessaggioVuoto});
}

TEST_F(ProvaAvvio, JobHandedToTheClientEndsStartUp)
{
    servizi.KV_CheckSendTerm = [this](const QString &f) {
        chiamate << QStringLiteral("KV_CheckSendTerm ") + f;
        return 1;
    };
    EXPECT_EQ(avvia(lavoroDi(kFattura)), 0);
    EXPECT_FALSE(chiamate.join(u'|').contains(QStringLiteral("frmvorpla")));
}

// ---- Header markers ----------------------------------------------------------

TEST_F(ProvaAvvio, HeaderMarkersSetTheJob)
{
    ini("[EMAIL]\r\nOLD.EXAMPLE=new.example\r\n[MYFAX]\r\nPRIMA=fax=\r\nDOPO=@fax.example\r\n");
    const QString file = lavoroDi("@ESEG  XYZ \r\n"
                                  "@CCLI 000123 \r\n@AARI 2026\r\n@MMRI 12\r\n"
                                  "@COPI 3\r\n"
                                  "@EMAI first@example.it\r\n"
                                  "@EMAI a.very.long.customer.name.for.mail@Old.Example\r\n"
                                  "@FAXS\r\n@FAXS\r\n"
                                  "@INT1 one\r\n"
                                  "@FA2N 02 1234\r\n@FA2N 06 5678\r\n"
                                  "@faxn 99\r\n"   // not a marker: case counts
                                  "@LARG 080VER\r\n");
    EXPECT_FALSE(avvia(file).has_value());
    EXPECT_TRUE(completato);
    EXPECT_EQ(form.Esegui, QStringLiteral("XYZ"));
    EXPECT_EQ(form.ValoreCCLI, QStringLiteral("000123"));
    EXPECT_EQ(form.ValoreAARI, QStringLiteral("2026"));
    EXPECT_EQ(form.ValoreMMRI, QStringLiteral("12"));
    EXPECT_EQ(c("TXTNumCopie").testo, QStringLiteral("3"));
    // The last address wins, with its domain replaced from vorpla.ini.
    EXPECT_EQ(lavoro().IndirizzoMail, QStringLiteral("a.very.long.customer.name.for.mail@new.example"));
    EXPECT_EQ(c("lblMail").testo, QStringLiteral(" a.very.long.customer.name.for.mail@")); // 35 characters
    EXPECT_EQ(lavoro().ContaFax, 2);
    EXPECT_EQ(lavoro().ContaInt, 1);
    EXPECT_TRUE(c("cmdEditEmail(2)").abilitato);
    EXPECT_EQ(form.NumeroFax, QStringLiteral("fax=021234@fax.example; fax=065678@fax.example"));
    EXPECT_FALSE(lavoro().LavoroEtichette);
    // Any other job order shows every button.
    for (const char *nome : {"cmdEmail(0)", "cmdEditEmail(2)", "cmdVorpla", "cmdEsci", "cmdPreview"})
        EXPECT_TRUE(c(nome).visibile) << nome;
}

TEST_F(ProvaAvvio, FaxNumberAfterSecondNumbersReplacesTheList)
{
    const QString file = lavoroDi("@FA2N 02 1234\r\n@FA2N 06 5678\r\n@FAXN 011 999\r\n");
    avvia(file);
    EXPECT_EQ(form.NumeroFax, QStringLiteral("011999"));
}

TEST_F(ProvaAvvio, NothingAfterPercIsSeen)
{
    const QString file = lavoroDi("@COPI 2\r\n@PERC 1\r\n@COPI 5\r\n@EMAI x@example.it\r\n@HIDE\r\n");
    avvia(file);
    EXPECT_EQ(c("TXTNumCopie").testo, QStringLiteral("2"));
    EXPECT_TRUE(lavoro().IndirizzoMail.isEmpty());
    EXPECT_FALSE(chiamate.join(u'|').contains(QStringLiteral("CliccoVorpla")));
}

TEST_F(ProvaAvvio, CopiesAreAWholeNumberRoundedHalfToEven)
{
    avvia(lavoroDi("@COPI  2.5 \r\n"));
    EXPECT_EQ(c("TXTNumCopie").testo, QStringLiteral("2"));
}

TEST_F(ProvaAvvio, NonNumericCopiesStopStartUpWithTheGeneralMessage)
{
    const QString file = lavoroDi("@COPI abc\r\n@EMAI late@example.it\r\n");
    EXPECT_FALSE(avvia(file).has_value());
    EXPECT_FALSE(completato);
    // The terminal-server check was the last routine to record its name.
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("Routine frmMain - KV_CheckSendTerm\r Errore N.13 Type mismatch")});
    EXPECT_TRUE(form.visibile); // the window stays in the state reached
    EXPECT_TRUE(lavoro().IndirizzoMail.isEmpty());
    EXPECT_FALSE(chiamate.join(u'|').contains(QStringLiteral("registraFont")));
}

TEST_F(ProvaAvvio, SeveralLetterheadsDisableTheMailEditor)
{
    avvia(lavoroDi("@INT1 a\r\n@PAGE\r\n@INT1 b\r\n"));
    EXPECT_EQ(lavoro().ContaInt, 2);
    EXPECT_FALSE(c("cmdEditEmail(2)").abilitato);
}

TEST_F(ProvaAvvio, PrintOnlyJobHidesExitAndPreview)
{
    avvia(lavoroDi("@ESEG STA\r\n"));
    EXPECT_FALSE(c("cmdEsci").visibile);
    EXPECT_FALSE(c("cmdPreview").visibile);
    EXPECT_FALSE(c("Check2").visibile);
    EXPECT_TRUE(c("cmdVorpla").visibile);
    EXPECT_TRUE(form.visibile);
}

TEST_F(ProvaAvvio, PreviewOnlyJobPreviewsAndEndsWithoutShowingTheWindow)
{
    EXPECT_EQ(avvia(lavoroDi("@ESEG ANT\r\n")), 0);
    EXPECT_EQ(chiamate.last(), QStringLiteral("CliccoAnteprima Office"));
    for (const char *nome : {"cmdEmail(0)", "cmdEmail(1)", "cmdEditEmail(2)", "cmdVorpla"})
        EXPECT_FALSE(c(nome).visibile) << nome;
    EXPECT_FALSE(form.visibile);
}

TEST_F(ProvaAvvio, LabelJobShowsTheLabelFormInsteadOfTheWindow)
{
    EXPECT_FALSE(avvia(lavoroDi("@LARG ETIC\r\n")).has_value());
    EXPECT_TRUE(lavoro().LavoroEtichette);
    EXPECT_TRUE(chiamate.contains(QStringLiteral("frmvorpla")));
    EXPECT_FALSE(form.visibile);
}

// ---- Hidden jobs -------------------------------------------------------------

TEST_F(ProvaAvvio, HiddenJobPrintsOnThePrinterOfVorplaIni)
{
    ini("[VplHide]\r\nvpl=laser piano 2\r\n");
    avvia(lavoroDi("@HIDE\r\n@TIPS FATTURA\r\n"));
    EXPECT_TRUE(chiamate.contains(QStringLiteral("CliccoVorpla Laser Piano 2")));
    EXPECT_FALSE(form.visibile);
}

TEST_F(ProvaAvvio, HiddenJobWithAnUnknownPrinterPrintsOnTheDefault)
{
    ini("[VplHide]\r\nvpl=Nowhere\r\n");
    avvia(lavoroDi("@HIDE\r\n"));
    EXPECT_TRUE(chiamate.contains(QStringLiteral("CliccoVorpla Office")));
}

TEST_F(ProvaAvvio, HiddenJobOnThePdfPrinterPreviewsAndThenEnds)
{
    ini("[VplHide]\r\nvpl=pdfcreator\r\n");
    // Without a job order nothing would be left to end the process.
    EXPECT_EQ(avvia(lavoroDi("@HIDE\r\n")), 0);
    EXPECT_EQ(chiamate.filter(QStringLiteral("CliccoAnteprima")), QStringList{"CliccoAnteprima PDFCreator"});
    EXPECT_FALSE(chiamate.join(u'|').contains(QStringLiteral("CliccoVorpla")));

    // With the preview-only order the preview runs once more, then the end.
    azzeraLavoro();
    chiamate.clear();
    FormMain nuovo;
    stampanti.impostaCorrente(QStringLiteral("Office"));
    Avvio avvio(nuovo, servizi);
    EXPECT_THROW(avvio.esegui(lavoroDi("@HIDE\r\n@ESEG ANT\r\n")), FineProgramma);
    EXPECT_EQ(chiamate.filter(QStringLiteral("CliccoAnteprima")).size(), 2);
}

// ---- Customer-specific mode --------------------------------------------------

TEST_F(ProvaAvvio, TolvekOffersTheLabelTypes)
{
    avvia(lavoroDi(kFattura) + QStringLiteral(" tolvek"));
    EXPECT_EQ(c("CmbEtich").voci, (QStringList{"Valigie", "Passaporti", "Nota Spese"}));
    EXPECT_EQ(c("CmbEtich").indice, 0);
    EXPECT_TRUE(c("CmbEtich").visibile);
    EXPECT_TRUE(c("CmbEtich").abilitato);
    EXPECT_TRUE(c("LblEtich").visibile);
}

// ---- vorpla.ini ----------------------------------------------------------------

TEST_F(ProvaAvvio, VorplaIniSwitchesFaxPublishingAndQualityPreview)
{
    ini("[MYFAX]\r\nABILITA=1\r\nNOME=Fax Agenzia\r\n[PUBBLICA]\r\nABILITATO=SI\r\nPERCORSO=/srv/pubblica\r\n"
        "[PDF]\r\nQUALITA=1\r\n");
    QDir().mkpath(cartella.programma() + QStringLiteral("/drivers"));
    avvia(lavoroDi(kFattura));
    EXPECT_TRUE(c("cmdEmail(1)").abilitato);
    EXPECT_EQ(c("cmdEmail(1)").testo, QStringLiteral("Fax Agenzia"));
    EXPECT_TRUE(form.PubblicaAbilitata);
    EXPECT_TRUE(c("CmdPub").visibile);
    EXPECT_EQ(form.PercorsoPubblica, QStringLiteral("/srv/pubblica"));
    EXPECT_TRUE(c("Check2").visibile);
    EXPECT_TRUE(c("Check2").spuntato);
    EXPECT_TRUE(form.AnteprimaQualita);
}

TEST_F(ProvaAvvio, PublishingNeedsExactlySi)
{
    ini("[PUBBLICA]\r\nABILITATO=si\r\n");
    avvia(lavoroDi(kFattura));
    EXPECT_FALSE(form.PubblicaAbilitata);
    EXPECT_FALSE(c("CmdPub").visibile);
    EXPECT_FALSE(c("Check2").spuntato);
}

// ---- PDF printer installation and the PDF component ----------------------------

TEST_F(ProvaAvvio, PdfPrinterArchiveIsExtractedThenItsInstallerStarted)
{
    cartella.scrivi(QStringLiteral("ulka/vorpla/pdfprinter.zip"), "PK");
    avvia(lavoroDi(kFattura));
    const QString p = cartella.programma();
    const QStringList attese = {QStringLiteral("cursore 1"),
                                QStringLiteral("EstraiInCartella ") + p + QStringLiteral("/pdfprinter.zip ") + p,
                                QStringLiteral("attendi 500"),
                                QStringLiteral("avvia ") + p + QStringLiteral("/ZORV_PRADELK.EXE"),
                                QStringLiteral("attendi 500"),
                                QStringLiteral("cursore 0")};
    EXPECT_EQ(chiamate.mid(1, attese.size()), attese);
    EXPECT_FALSE(c("Check2").visibile); // visible from the next start
}

TEST_F(ProvaAvvio, UnregisteredPdfComponentIsRegisteredAndRetried)
{
    cartella.scrivi(QStringLiteral("ulka/vorpla/PDFReportOCX.dll"), "MZ");
    cartella.scrivi(QStringLiteral("ulka/temp/old.PDF"), "%PDF");
    cartella.scrivi(QStringLiteral("ulka/temp/keep.txt"), "x");
    int creazioni = 0;
    servizi.creaPdfReport = [&] {
        if (++creazioni < 3)
            throw ErroreVB(Err::ComponenteNonCreabile);
    };
    avvia(lavoroDi(kFattura));
    EXPECT_EQ(creazioni, 3);
    EXPECT_EQ(chiamate.filter(QStringLiteral("registra ")).size(), 2);
    EXPECT_FALSE(QFileInfo::exists(cartella.temp() + QStringLiteral("old.PDF")));
    EXPECT_TRUE(QFileInfo::exists(cartella.temp() + QStringLiteral("keep.txt")));
    EXPECT_TRUE(completato);
}

TEST_F(ProvaAvvio, PdfComponentThatNeverRegistersEndsAfterElevenAttempts)
{
    cartella.scrivi(QStringLiteral("ulka/vorpla/PDFReportOCX.dll"), "MZ");
    int creazioni = 0;
    servizi.creaPdfReport = [&] {
        ++creazioni;
        throw ErroreVB(Err::ComponenteNonCreabile);
    };
    EXPECT_EQ(avvia(lavoroDi(kFattura)), FineConErrore);
    EXPECT_EQ(creazioni, 11);
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("Impossibile registrare PDFREPORTOCX.DLL!")});
}

TEST_F(ProvaAvvio, MissingPdfComponentTurnsMailAndFaxOff)
{
    ini("[MYFAX]\r\nABILITA=1\r\n");
    servizi.creaPdfReport = [] { throw ErroreVB(Err::ComponenteNonCreabile); };
    avvia(lavoroDi(kFattura));
    EXPECT_FALSE(lavoro().PdfReportDisponibile);
    EXPECT_FALSE(c("cmdEmail(0)").abilitato);
    // The fax setting of vorpla.ini is read later and switches the fax button on again.
    EXPECT_TRUE(c("cmdEmail(1)").abilitato);
    EXPECT_TRUE(completato);
}

// ---- Fonts ---------------------------------------------------------------------

TEST_F(ProvaAvvio, TrueTypeFontsAreInstalledOnce)
{
    cartella.scrivi(QStringLiteral("ulka/vorpla/NETTERM.TTF"), "font1");
    cartella.scrivi(QStringLiteral("ulka/vorpla/barcode.ttf"), "font2");
    cartella.scrivi(QStringLiteral("fonts/Barcode.TTF"), "already there");
    avvia(lavoroDi(kFattura));
    const QString fonts = cartella.percorso(QStringLiteral("fonts"));
    EXPECT_EQ(leggiFile(fonts + QStringLiteral("/NETTERM.TTF")), QByteArray("font1"));
    EXPECT_FALSE(QFileInfo::exists(fonts + QStringLiteral("/barcode.ttf")));
    EXPECT_EQ(chiamate.filter(QStringLiteral("registraFont")), QStringList{QStringLiteral("registraFont ") + fonts + QStringLiteral("/NETTERM.TTF")});
    // A second start finds it there.
    chiamate.clear();
    azzeraLavoro();
    avvia(lavoroDi(kFattura));
    EXPECT_TRUE(chiamate.filter(QStringLiteral("registraFont")).isEmpty());
}

TEST_F(ProvaAvvio, AFontThatCannotBeFoundEndsTheProgram)
{
    QFile::link(cartella.percorso(QStringLiteral("nowhere.ttf")), cartella.programma() + QStringLiteral("/Gone.TTF"));
    EXPECT_EQ(avvia(lavoroDi(kFattura)), FineConErrore);
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("Impossibile trovare il font Gone.TTF\r Contattare Korvenal srl.")});
}

// ---- Missing folders ---------------------------------------------------------------

TEST_F(ProvaAvvio, AMissingProgramFolderOnlySkipsItsStep)
{
    qputenv("VORPLA_HOME", cartella.percorso(QStringLiteral("missing/vorpla")).toLocal8Bit());
    const QString prima = QDir::currentPath();
    EXPECT_FALSE(avvia(lavoroDi(kFattura)).has_value());
    EXPECT_TRUE(completato);
    EXPECT_TRUE(messaggi.testi.isEmpty());
    EXPECT_EQ(QDir::currentPath(), prima);
}
