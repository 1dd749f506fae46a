// The copies loop on a real CUPS spooler: the private one that
// scripts/cups-test-server.sh starts for the test command, with the queues
// Office (the spooler's default), PDFCreator and ZETAFAX_Office. Every copy
// is a QPrinter job, every attachment a file handed to the queue; the jobs
// are read back from the spooler in the order it received them.

#include "AvanzamentoRegistrato.h"
#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/FineProgramma.h"
#include "common/Stampanti.h"
#include "common/StatoLavoro.h"
#include "interpreter/Superficie.h"
#include "output/FormVorpla.h"
#include "output/MODVorplanti.h"
#include "output/SceltaVorplante.h"
#include "pdf/MarcatoreSpool.h"
#include "platform/LavoroStampante.h"
#include "startup/ComandiMain.h"
#include "startup/FormMain.h"
#include "startup/ServiziAvvio.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QMap>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QThread>
#include <QUuid>
#include <thread>
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vorpla;
using namespace vorpla::prova;

TEST(DriverEPorta, DriverAndPortOfAFullEntry)
{
    QString driver, porta;
    DriverEPorta(QStringLiteral("winspool,Ne01:,15,45"), driver, porta);
    EXPECT_EQ(driver, QStringLiteral("winspool"));
    EXPECT_EQ(porta, QStringLiteral("Ne01:"));
}

TEST(DriverEPorta, SingleCommaGivesNoPort)
{
    QString driver = QStringLiteral("x"), porta = QStringLiteral("y");
    DriverEPorta(QStringLiteral("winspool,Ne01:"), driver, porta);
    EXPECT_EQ(driver, QStringLiteral("winspool"));
    EXPECT_EQ(porta, QString());
}

TEST(DriverEPorta, NoCommaGivesNothing)
{
    QString driver = QStringLiteral("x"), porta = QStringLiteral("y");
    DriverEPorta(QStringLiteral("winspool"), driver, porta);
    EXPECT_EQ(driver, QString());
    EXPECT_EQ(porta, QString());
    DriverEPorta(QString(), driver, porta);
    EXPECT_EQ(driver, QString());
    EXPECT_EQ(porta, QString());
}

TEST(DriverEPorta, EmptyFieldsStayEmpty)
{
    QString driver, porta;
    DriverEPorta(QStringLiteral(",,15"), driver, porta);
    EXPECT_EQ(driver, QString());
    EXPECT_EQ(porta, QString());
}

namespace {

// libcups reads HOME once a thread (its per-thread globals) and writes the
// user's defaults below it; every spooler conversation of these tests runs
// on a thread of its own so that it uses the test's HOME.
template<typename F>
auto inFiloNuovo(F &&f)
{
    using Risultato = decltype(f());
    if constexpr (std::is_void_v<Risultato>) {
        std::thread filo(std::forward<F>(f));
        filo.join();
    } else {
        Risultato r{};
        std::thread filo([&] { r = f(); });
        filo.join();
        return r;
    }
}

struct Lavoro
{
    int id = 0;
    QString titolo;
    ipp_jstate_t stato = IPP_JSTATE_PENDING;
};

class Copie : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString server = spoolerDiProva();
        if (server.isEmpty())
            GTEST_SKIP() << SenzaSpoolerDiProva;
        azzeraLavoro();
        DispositivoDestinazione().clear();

        // The user's default printer lives in ~/.cups/lpoptions: a home of
        // the test's own, so the machine's user is never touched.
        m_vecchioHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(cartella.radice()));
        esente = QUuid::createUuid().toString(QUuid::Id128).left(8);

        scriviFileStampa({});
        primoId = ultimoId();
    }

    // A two-page print file, with its attachments ("@FILE" lines).
    void scriviFileStampa(const QStringList &allegati)
    {
        QByteArray righe = "@TITO PRIMA PAGINA\r\n@PAGE\r\n@TITO SECONDA PAGINA\r\n";
        for (const QString &a : allegati)
            righe += "@FILE " + QFile::encodeName(a) + "\r\n";
        fileStampa = cartella.scrivi(QStringLiteral("copie-%1.txt").arg(esente), righe);
        lavoro().FileIngresso = fileStampa;
    }

    void TearDown() override
    {
        if (!m_vecchioHome.isNull())
            qputenv("HOME", m_vecchioHome);
        DispositivoDestinazione().clear();
        azzeraLavoro();
    }

    // The copies loop on printer `stampante` as the program runs it.
    void stampa(const QString &stampante, const QString &copie)
    {
        FormVorpla form;
        form.valori.NumCopie = copie;
        ServiziSceltaVorplante servizi;
        servizi.nuovaCopia = [stampante] { return vorpla::nuovaCopia(stampante); };
        servizi.fineCopia = vorpla::fineCopia;
        servizi.dispositivo = [stampante] { return stampante; };
        inFiloNuovo([&] { SCELTA_VORPLANTE(form, servizi); });
    }

    QString allegatoTesto()
    {
        return cartella.scrivi(QStringLiteral("nota-%1.txt").arg(esente), "Nota di viaggio\nSeconda riga\n");
    }

    QString allegatoPdf()
    {
        const QString percorso = cartella.percorso(QStringLiteral("programma-%1.pdf").arg(esente));
        QPdfWriter writer(percorso);
        QPainter p(&writer);
        p.drawText(QPointF(500, 500), QStringLiteral("Programma di viaggio"));
        p.end();
        return percorso;
    }

    static QList<Lavoro> lavori(const QString &coda)
    {
        return inFiloNuovo([&] { return lavoriDellaCoda(coda); });
    }

    static QList<Lavoro> lavoriDellaCoda(const QString &coda)
    {
        cups_job_t *jobs = nullptr;
        const QByteArray nome = coda.toUtf8();
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nome.constData(), 0, CUPS_WHICHJOBS_ALL);
        QList<Lavoro> elenco;
        for (int i = 0; i < n; ++i)
            elenco.append({jobs[i].id, QString::fromUtf8(jobs[i].title), jobs[i].state});
        cupsFreeJobs(n, jobs);
        std::sort(elenco.begin(), elenco.end(), [](const Lavoro &a, const Lavoro &b) { return a.id < b.id; });
        return elenco;
    }

    // How many jobs of this test the spooler holds, on any queue.
    int lavoriDelTest() const
    {
        int n = 0;
        for (const QString &coda : {QStringLiteral("Office"), QStringLiteral("PDFCreator"),
                                    QStringLiteral("ZETAFAX_Office")})
            for (const Lavoro &l : lavori(coda))
                n += l.id > primoId && l.titolo.contains(esente);
        return n;
    }

    static int ultimoId()
    {
        int massimo = 0;
        for (const QString &coda : {QStringLiteral("Office"), QStringLiteral("PDFCreator"),
                                    QStringLiteral("ZETAFAX_Office")})
            for (const Lavoro &l : lavori(coda))
                massimo = std::max(massimo, l.id);
        return massimo;
    }

    // This test's jobs on the queue (their titles hold the test's token; tests
    // may run side by side on the spooler), once every one has finished (at
    // most 30 s).
    QList<Lavoro> lavoriFiniti(const QString &coda) const
    {
        QDeadlineTimer scadenza(30000);
        QList<Lavoro> nuovi;
        for (;;) {
            nuovi.clear();
            bool tuttiFiniti = true;
            for (const Lavoro &l : lavori(coda)) {
                if (l.id <= primoId || !l.titolo.contains(esente))
                    continue;
                nuovi.append(l);
                tuttiFiniti = tuttiFiniti && l.stato >= IPP_JSTATE_STOPPED;
            }
            if (tuttiFiniti || scadenza.hasExpired())
                return nuovi;
            QThread::msleep(100);
        }
    }

    static QString predefinita()
    {
        return inFiloNuovo([] { return predefinitaDelFilo(); });
    }

    static QString predefinitaDelFilo()
    {
        cups_dest_t *dest = nullptr;
        const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dest);
        QString nome;
        if (cups_dest_t *d = cupsGetDest(nullptr, nullptr, n, dest))
            nome = QString::fromUtf8(d->name);
        cupsFreeDests(n, dest);
        return nome;
    }

    QString fileOpzioni() const { return cartella.percorso(QStringLiteral(".cups/lpoptions")); }

    CartellaProva cartella;
    MessaggiRegistrati messaggi;
    QString esente;
    QString fileStampa;
    int primoId = 0;

private:
    QByteArray m_vecchioHome;
};

QStringList titoli(const QList<Lavoro> &elenco)
{
    QStringList t;
    for (const Lavoro &l : elenco)
        t << l.titolo;
    return t;
}

} // namespace

TEST_F(Copie, ThreeCopiesWithTheAttachmentsAfterTheFirst)
{
    const QString testo = allegatoTesto();
    const QString pdf = allegatoPdf();
    scriviFileStampa({testo, pdf});
    lavoro().DispositivoRegistrato = QStringLiteral("Office");

    stampa(QStringLiteral("Office"), QStringLiteral("3"));

    EXPECT_TRUE(messaggi.testi.isEmpty()) << messaggi.testi.join(u'|').toStdString();
    const QList<Lavoro> fatti = lavoriFiniti(QStringLiteral("Office"));
    const QString copia = QFileInfo(fileStampa).fileName();
    EXPECT_EQ(titoli(fatti), (QStringList{copia, QFileInfo(testo).fileName(), QFileInfo(pdf).fileName(), copia, copia}));
    for (const Lavoro &l : fatti)
        EXPECT_EQ(l.stato, IPP_JSTATE_COMPLETED) << l.id << " " << l.titolo.toStdString();
    // Printed once: the list is emptied.
    EXPECT_EQ(lavoro().ElencoAllegati, QStringList{QString()});
    EXPECT_EQ(DispositivoDestinazione(), QStringLiteral("Office"));
    // The recorded printer is the printer: the default is not touched.
    EXPECT_FALSE(QFileInfo::exists(fileOpzioni()));
    EXPECT_EQ(lavoriDelTest(), 5);
}

// A run stopped by the user (the exit, through the progress window) while
// it draws the second of three copies: the first copy is printed, the
// second is abandoned instead of spooled half drawn, the third never
// starts, and the print file is still there. The progress told the copy
// and page all along.
TEST_F(Copie, AStoppedRunSpoolsNoHalfCopy)
{
    QByteArray righe = "@TEXT\r\n";
    for (int pagina = 1; pagina <= 30; ++pagina) {
        for (int riga = 1; riga <= 40; ++riga)
            righe += "@TXTn Pagina " + QByteArray::number(pagina) + " riga " + QByteArray::number(riga) + "\r\n";
        righe += "@PAGE\r\n";
    }
    fileStampa = cartella.scrivi(QStringLiteral("lungo-%1.txt").arg(esente), righe);
    lavoro().FileIngresso = fileStampa;
    lavoro().DispositivoRegistrato = QStringLiteral("Office");

    AvanzamentoRegistrato registro;

    // Loaded as the program loads it (the page count with it).
    FormVorpla form;
    form.Form_Load();
    form.valori.NumCopie = QStringLiteral("3");
    ServiziSceltaVorplante servizi;
    servizi.nuovaCopia = [] { return vorpla::nuovaCopia(QStringLiteral("Office")); };
    servizi.fineCopia = vorpla::fineCopia;
    servizi.dispositivo = [] { return QStringLiteral("Office"); };
    // The user stops the run while the second copy is drawn.
    servizi.eventi = [&] {
        if (form.valori.ContatoreCopia == 2)
            richiediFine(FineNormale);
        fineSeRichiesta();
    };
    bool finito = false;
    inFiloNuovo([&] {
        try {
            SCELTA_VORPLANTE(form, servizi);
        } catch (const FineProgramma &f) {
            finito = f.codice() == FineNormale;
        }
    });

    EXPECT_TRUE(finito);
    EXPECT_TRUE(messaggi.testi.isEmpty()) << messaggi.testi.join(u'|').toStdString();
    // The half copy reached the spooler held, and was cancelled there.
    const QList<Lavoro> fatti = lavoriFiniti(QStringLiteral("Office"));
    ASSERT_EQ(fatti.size(), 2) << titoli(fatti).join(u' ').toStdString();
    EXPECT_EQ(fatti.at(0).stato, IPP_JSTATE_COMPLETED);
    EXPECT_EQ(fatti.at(1).stato, IPP_JSTATE_CANCELED);
    EXPECT_TRUE(QFileInfo::exists(fileStampa));

    EXPECT_EQ(registro.titoli, QStringList{QStringLiteral("Stampa")});
    EXPECT_EQ(registro.aperte, 0) << "the run's end reaches the window however it ends";
    EXPECT_EQ(registro.totale, 90);
    EXPECT_EQ(registro.stati.first(), QStringLiteral("Copia 1 di 3 - pagina 1 di 30"));
    EXPECT_TRUE(registro.stati.contains(QStringLiteral("Copia 2 di 3 - pagina 1 di 30")));
    const QRegularExpression pagina(QStringLiteral("^Copia 2 di 3 - pagina ([0-9]+) di 30$"));
    const auto ultima = pagina.match(registro.stati.last());
    ASSERT_TRUE(ultima.hasMatch()) << registro.stati.last().toStdString();
    EXPECT_GT(ultima.captured(1).toInt(), 1) << "the page drawn when the user stopped";
}

// An attachment that is a device or a FIFO would be streamed for ever or
// never: it is not submitted, the others are.
TEST_F(Copie, AttachmentsThatAreNoRegularFilesAreNotSubmitted)
{
    const QString testo = allegatoTesto();
    const QString fifo = cartella.percorso(QStringLiteral("allegato.fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    scriviFileStampa({QStringLiteral("/dev/zero"), fifo, testo});
    lavoro().DispositivoRegistrato = QStringLiteral("Office");

    stampa(QStringLiteral("Office"), QStringLiteral("2"));

    const QString copia = QFileInfo(fileStampa).fileName();
    EXPECT_EQ(titoli(lavoriFiniti(QStringLiteral("Office"))), (QStringList{copia, QFileInfo(testo).fileName(), copia}));
    EXPECT_EQ(lavoriDelTest(), 3);
}

TEST_F(Copie, NoCopiesNoJob)
{
    scriviFileStampa({allegatoTesto()});
    stampa(QStringLiteral("Office"), QStringLiteral("0"));
    EXPECT_TRUE(messaggi.testi.isEmpty());
    EXPECT_EQ(lavoriDelTest(), 0);
}

TEST_F(Copie, ZetafaxPrinterGetsOneCopy)
{
    lavoro().DispositivoRegistrato = QStringLiteral("ZETAFAX_Office");
    stampa(QStringLiteral("ZETAFAX_Office"), QStringLiteral("3"));
    EXPECT_TRUE(messaggi.testi.isEmpty()) << messaggi.testi.join(u'|').toStdString();
    const QList<Lavoro> fatti = lavoriFiniti(QStringLiteral("ZETAFAX_Office"));
    ASSERT_EQ(fatti.size(), 1);
    EXPECT_EQ(fatti.first().titolo, QFileInfo(fileStampa).fileName());
    EXPECT_EQ(lavoriDelTest(), 1);
}

TEST_F(Copie, CopiesThatAreNotANumberGiveTheRoutineMessageAndNoJob)
{
    stampa(QStringLiteral("Office"), QStringLiteral("abc"));
    EXPECT_EQ(messaggi.testi,
              QStringList{QStringLiteral("Routine frmvorpla - SCELTA_VORPLANTE\r Errore N.13 Type mismatch")});
    EXPECT_EQ(lavoriDelTest(), 0);
}

TEST_F(Copie, PdfCreatorKeepsTheAttachments)
{
    const QString testo = allegatoTesto();
    scriviFileStampa({testo});
    lavoro().DispositivoRegistrato = QStringLiteral("Office");
    // PDFCreator's spool file is shared with the quality PDF tests running
    // beside this one: the printer is held as every instance holds it.
    MarcatoreSpool marcatore(qEnvironmentVariable("VORPLA_SPOOL_PDF") + u'/');
    QDeadlineTimer scadenza(120000);
    while (!marcatore.prendi(fileStampa) && !scadenza.hasExpired()) {
        marcatore.rimuoviSeAbbandonato();
        QThread::msleep(20);
    }
    ASSERT_TRUE(marcatore.tenuto());
    stampa(QStringLiteral("PDFCreator"), QStringLiteral("1"));
    const QList<Lavoro> fatti = lavoriFiniti(QStringLiteral("PDFCreator"));
    QFile::remove(marcatore.percorso().chopped(10) + QStringLiteral("spool.ps"));
    marcatore.rilascia();
    EXPECT_EQ(titoli(fatti), QStringList{QFileInfo(fileStampa).fileName()});
    EXPECT_EQ(lavoro().ElencoAllegati, (QStringList{QString(), testo}));
    EXPECT_EQ(lavoriDelTest(), 1);
    EXPECT_FALSE(QFileInfo::exists(fileOpzioni()));
}

TEST_F(Copie, AnotherRecordedPrinterMakesThePrinterTheUsersDefault)
{
    const QString testo = allegatoTesto();
    scriviFileStampa({testo});
    lavoro().DispositivoRegistrato = QStringLiteral("Office");
    ASSERT_EQ(predefinita(), QStringLiteral("Office"));

    stampa(QStringLiteral("ZETAFAX_Office"), QStringLiteral("1"));

    EXPECT_TRUE(messaggi.testi.isEmpty()) << messaggi.testi.join(u'|').toStdString();
    EXPECT_EQ(predefinita(), QStringLiteral("ZETAFAX_Office"));
    ASSERT_TRUE(QFileInfo::exists(fileOpzioni()));
    EXPECT_TRUE(leggiFile(fileOpzioni()).contains("Default ZETAFAX_Office"));
    // Back to the recorded printer once the attachment is handed over.
    EXPECT_EQ(DispositivoDestinazione(), QStringLiteral("Office"));
    const QList<Lavoro> fatti = lavoriFiniti(QStringLiteral("ZETAFAX_Office"));
    EXPECT_EQ(titoli(fatti), (QStringList{QFileInfo(fileStampa).fileName(), QFileInfo(testo).fileName()}));
}

TEST_F(Copie, ImpostaPredefinitaLeavesTheDefaultForAnUnknownPrinter)
{
    DispositivoDestinazione() = QStringLiteral("Stampante inesistente");
    inFiloNuovo([] { ImpostaPredefinita(); });
    EXPECT_EQ(predefinita(), QStringLiteral("Office"));
    DispositivoDestinazione() = QString();
    inFiloNuovo([] { ImpostaPredefinita(); });
    EXPECT_EQ(predefinita(), QStringLiteral("Office"));
    EXPECT_FALSE(QFileInfo::exists(fileOpzioni()));
}

namespace {

// Pages of each job the spooler printed, from its page log ("Office root 12
// [date] total 2 - localhost title - -"), by job id.
QMap<int, int> pagineDeiLavori()
{
    const QString registro = QFileInfo(spoolerDiProva()).absolutePath() + QStringLiteral("/log/page_log");
    static const QRegularExpression riga(QStringLiteral(R"(^\S+ \S+ (\d+) \[[^\]]*\] total (\d+) )"));
    QMap<int, int> pagine;
    for (const QString &r : QString::fromUtf8(leggiFile(registro)).split(u'\n')) {
        const QRegularExpressionMatch m = riga.match(r);
        if (m.hasMatch())
            pagine[m.captured(1).toInt()] = m.captured(2).toInt();
    }
    return pagine;
}

} // namespace

// The whole program as Ulka starts it: a hidden two-page invoice in two
// copies with two attachments prints on the spooler's default printer, then
// termina deletes the job's files.
TEST_F(Copie, HiddenInvoiceInTwoCopiesPrintsEndToEnd)
{
    const QString testo = allegatoTesto();
    const QString pdf = allegatoPdf();
    const QString file = cartella.temp() + QStringLiteral("fattura-%1.TXT").arg(esente);
    cartella.scrivi(file.mid(cartella.radice().size() + 1),
                    "@HIDE\r\n@COPI 2\r\n@TIPS FATTURA\r\n@TITO FATTURA N. 1\r\n@PAGE\r\n@TITO SECONDA PAGINA\r\n"
                    "@FILE " + QFile::encodeName(testo) + "\r\n@FILE " + QFile::encodeName(pdf) + "\r\n");

    const EsitoProcesso e = eseguiVorpla(cartella, {file});
    EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));

    const QList<Lavoro> fatti = lavoriFiniti(QStringLiteral("Office"));
    const QString copia = QFileInfo(file).fileName();
    ASSERT_EQ(titoli(fatti), (QStringList{copia, QFileInfo(testo).fileName(), QFileInfo(pdf).fileName(), copia}));
    // What came out: two pages a copy, one page an attachment.
    QDeadlineTimer scadenza(10000);
    QMap<int, int> pagine = pagineDeiLavori();
    while (!pagine.contains(fatti.last().id) && !scadenza.hasExpired()) {
        QThread::msleep(100);
        pagine = pagineDeiLavori();
    }
    QList<int> conteggi;
    for (const Lavoro &l : fatti) {
        EXPECT_EQ(l.stato, IPP_JSTATE_COMPLETED) << l.titolo.toStdString();
        conteggi << pagine.value(l.id, -1);
    }
    EXPECT_EQ(conteggi, (QList<int>{2, 1, 1, 2}));
    // The user's default printer was the printer: untouched.
    EXPECT_FALSE(QFileInfo::exists(fileOpzioni()));
}

// A hidden job sent to the fax printer of vorpla.ini: one copy whatever the
// copies say, and the attachment after it on the same printer, which had to
// become the user's default for it.
TEST_F(Copie, HiddenJobOnTheFaxPrinterOfVorplaIni)
{
    cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"), "[VplHide]\r\nvpl=zetafax_office\r\n");
    const QString testo = allegatoTesto();
    const QString file = cartella.temp() + QStringLiteral("fax-%1.TXT").arg(esente);
    cartella.scrivi(file.mid(cartella.radice().size() + 1),
                    "@HIDE\r\n@COPI 3\r\n@TITO FAX\r\n@FILE " + QFile::encodeName(testo) + "\r\n");

    const EsitoProcesso e = eseguiVorpla(cartella, {file});
    EXPECT_EQ(e.codice, 0) << e.errori.toStdString();
    const QList<Lavoro> fatti = lavoriFiniti(QStringLiteral("ZETAFAX_Office"));
    EXPECT_EQ(titoli(fatti), (QStringList{QFileInfo(file).fileName(), QFileInfo(testo).fileName()}));
    EXPECT_EQ(lavoriDelTest(), 2);
    EXPECT_EQ(predefinita(), QStringLiteral("ZETAFAX_Office"));
}

// The main window's print button on the spooler: the copies box decides, and
// a box that is not a number sends nothing to the spooler.
TEST_F(Copie, PrintButtonSendsTheCopiesOfTheBoxOrNothing)
{
    const QString file = cartella.temp() + QStringLiteral("bottone-%1.TXT").arg(esente);
    auto scriviLavoro = [&] {
        cartella.scrivi(file.mid(cartella.radice().size() + 1), "@COPI 1\r\n@TITO UNO\r\n@PAGE\r\n@TITO DUE\r\n");
        lavoro().FileIngresso = file;
    };
    StampantiFisse stampanti({{QStringLiteral("Office"), QString()}}, QStringLiteral("Office"));
    stampanti.impostaCorrente(QStringLiteral("Office"));
    lavoro().DispositivoRegistrato = QStringLiteral("Office");
    FormMain form;
    ServiziAvvio servizi;
    servizi.stampanti = &stampanti;
    servizi.stampa.dispositivo = [&] { return stampanti.corrente(); };
    servizi.stampa.nuovaCopia = [&] { return vorpla::nuovaCopia(stampanti.corrente()); };
    servizi.stampa.fineCopia = vorpla::fineCopia;
    auto premi = [&](const QString &copie) {
        ComandiMain comandi(form, servizi);
        comandi.TXTNumCopie_Change(copie);
        int codice = -1;
        inFiloNuovo([&] {
            try {
                comandi.cmdVorpla_Click();
            } catch (const FineProgramma &f) {
                codice = f.codice();
            }
        });
        return codice;
    };

    scriviLavoro();
    EXPECT_EQ(premi(QStringLiteral("abc")), -1);
    EXPECT_EQ(messaggi.testi, QStringList{QStringLiteral("Numero di copie errato!")});
    EXPECT_EQ(lavoriDelTest(), 0);

    EXPECT_EQ(premi(QStringLiteral("2")), FineNormale);
    const QList<Lavoro> fatti = lavoriFiniti(QStringLiteral("Office"));
    EXPECT_EQ(titoli(fatti), (QStringList{QFileInfo(file).fileName(), QFileInfo(file).fileName()}));
    for (const Lavoro &l : fatti)
        EXPECT_EQ(l.stato, IPP_JSTATE_COMPLETED);
    EXPECT_FALSE(QFileInfo::exists(file));
}
