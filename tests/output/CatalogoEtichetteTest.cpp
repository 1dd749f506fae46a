// The label-format catalogue etich.DB and the label window's states: the
// records as bytes, the list as reloaded, and deleting that never loses the
// catalogue.

#include "output/CatalogoEtichette.h"
#include "output/FormVorpla.h"

#include "common/StatoLavoro.h"

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vorpla;
using vorpla::prova::CartellaProva;
using vorpla::prova::erroreDi;
using vorpla::prova::scriviFile;
using vorpla::prova::leggiFile;
using vorpla::prova::MessaggiRegistrati;

namespace {

// One record written out by hand: 20 description bytes as given, then five
// little-endian 32-bit measures.
QByteArray record(const QByteArray &descrizione20, qint32 px, qint32 py, qint32 marg, qint32 etx, qint32 ety)
{
    EXPECT_EQ(descrizione20.size(), 20);
    QByteArray b = descrizione20;
    for (qint32 v : {px, py, marg, etx, ety}) {
        const quint32 u = quint32(v);
        b += char(u & 0xFF);
        b += char((u >> 8) & 0xFF);
        b += char((u >> 16) & 0xFF);
        b += char((u >> 24) & 0xFF);
    }
    return b;
}

const QByteArray A4_3x8 = record("A4 3x8              ", 210, 297, 10, 70, 37);
const QByteArray Busta = record("Busta grande        ", 229, 324, 0, 229, 324);
const QByteArray Piccole = record("Piccole 48x25       ", 210, 297, 5, 48, 25);

// A label window on the test's catalogue, loaded.
struct Finestra
{
    explicit Finestra(const CartellaProva &cartella, bool conCatalogo = true)
    {
        if (conCatalogo) {
            c.PercorsoDB = cartella.programma() + QStringLiteral("/etich.DB");
            c.PercorsoTmp = cartella.programma() + QStringLiteral("/etich.tmp");
        }
        c.caricaCatalogo();
    }
    CatalogoEtichette c;
};

void digita(CatalogoEtichette &c, const QString &desc, const QString &px, const QString &py, const QString &marg,
            const QString &etx, const QString &ety)
{
    c.txtDesc.Text = desc;
    c.txtPX.Text = px;
    c.txtPY.Text = py;
    c.txtMarg.Text = marg;
    c.txtEtX.Text = etx;
    c.txtETY.Text = ety;
}

QStringList testi(const CatalogoEtichette &c)
{
    return {c.txtDesc.Text, c.txtPX.Text, c.txtPY.Text, c.txtMarg.Text, c.txtEtX.Text, c.txtETY.Text};
}

void attendiBrowsing(const CatalogoEtichette &c)
{
    for (const auto *campo : {&c.txtDesc, &c.txtPX, &c.txtPY, &c.txtMarg, &c.txtEtX, &c.txtETY})
        EXPECT_FALSE(campo->Enabled);
    EXPECT_FALSE(c.cmdConferma.Visible);
    EXPECT_TRUE(c.cmdCrea.Enabled);
    EXPECT_TRUE(c.cmdElimina.Enabled);
    EXPECT_TRUE(c.cmdVorpla.Enabled);
    EXPECT_TRUE(c.cmdAnnulla.Enabled);
}

void attendiEntering(const CatalogoEtichette &c)
{
    for (const auto *campo : {&c.txtDesc, &c.txtPX, &c.txtPY, &c.txtMarg, &c.txtEtX, &c.txtETY})
        EXPECT_TRUE(campo->Enabled);
    EXPECT_TRUE(c.cmdConferma.Visible);
    EXPECT_FALSE(c.cmdCrea.Enabled);
    EXPECT_FALSE(c.cmdElimina.Enabled);
    EXPECT_FALSE(c.cmdVorpla.Enabled);
    EXPECT_TRUE(c.cmdAnnulla.Enabled);
}

} // namespace

TEST(FormatoEtichetta, RecordBytesAndBack)
{
    FormatoEtichetta f{QStringLiteral("Città €"), 210, 297, -3, 70, 2000000000};
    const QByteArray atteso = record("Citt\xE0 \x80             ", 210, 297, -3, 70, 2000000000);
    EXPECT_EQ(f.aByte(), atteso);
    FormatoEtichetta letto = FormatoEtichetta::daByte(atteso);
    EXPECT_EQ(letto.Descrizione, QStringLiteral("Città €             "));
    EXPECT_EQ(letto.AltEtich, 2000000000);
    EXPECT_EQ(letto.MargineSup, -3);

    f.Descrizione = QStringLiteral("Etichette per indirizzi grandi");
    EXPECT_EQ(f.aByte().left(20), QByteArray("Etichette per indiri"));
    EXPECT_EQ(f.aByte().size(), 40);
}

TEST(CatalogoEtichette, LoadListsWholeRecordsPaddedAndShowsTheFirst)
{
    CartellaProva cartella;
    // A record cut short at the end is not a format.
    cartella.scrivi(QStringLiteral("ulka/vorpla/etich.DB"), A4_3x8 + Busta + Piccole.left(25));
    Finestra f(cartella);
    EXPECT_EQ(f.c.cmbFormati, QStringList({QStringLiteral("A4 3x8              "),
                                           QStringLiteral("Busta grande        ")}));
    EXPECT_EQ(f.c.cmbFormati[0].size(), 20);
    EXPECT_EQ(f.c.NumFormati, 2);
    EXPECT_FALSE(f.c.InCaricamento);
    EXPECT_EQ(f.c.ListIndex, 0);
    EXPECT_EQ(testi(f.c), QStringList({QStringLiteral("A4 3x8              "), "210", "297", "10", "70", "37"}));

    f.c.selezionaFormato(1);
    EXPECT_EQ(testi(f.c), QStringList({QStringLiteral("Busta grande        "), "229", "324", "0", "229", "324"}));
}

TEST(CatalogoEtichette, EmptyMissingOrUnnamedCatalogueGivesEmptyList)
{
    const QStringList iniziali{QStringLiteral("A4 "), "210", "297", "25", "70", "34"};
    {
        CartellaProva cartella;
        cartella.scrivi(QStringLiteral("ulka/vorpla/etich.DB"), QByteArray());
        Finestra f(cartella);
        EXPECT_TRUE(f.c.cmbFormati.isEmpty());
        EXPECT_EQ(f.c.NumFormati, 0);
        EXPECT_EQ(f.c.ListIndex, -1);
        EXPECT_EQ(testi(f.c), iniziali);
    }
    {
        CartellaProva cartella;
        Finestra f(cartella);
        EXPECT_TRUE(f.c.cmbFormati.isEmpty());
        EXPECT_EQ(f.c.NumFormati, 0);
        EXPECT_FALSE(QFileInfo::exists(f.c.PercorsoDB));
    }
    {
        CartellaProva cartella;
        cartella.scrivi(QStringLiteral("ulka/vorpla/etich.DB"), A4_3x8);
        Finestra f(cartella, false);
        EXPECT_TRUE(f.c.cmbFormati.isEmpty());
        EXPECT_EQ(testi(f.c), iniziali);
    }
}

TEST(CatalogoEtichette, LabelJobFormStartsBrowsingOnTheProgramFolderCatalogue)
{
    CartellaProva cartella;
    cartella.scrivi(QStringLiteral("ulka/vorpla/etich.DB"), Busta);
    azzeraLavoro();
    lavoro().FileIngresso = cartella.scrivi(QStringLiteral("job/F1.txt"), "@LARG ETIC\r\n@PERC\r\n@TXTn x\r\n");
    FormVorpla form;
    form.Form_Load();
    CatalogoEtichette c;
    c.impostaDaForm(form);
    c.caricaCatalogo();
    attendiBrowsing(c);
    EXPECT_EQ(QFileInfo(c.PercorsoDB).fileName(), QStringLiteral("etich.DB"));
    EXPECT_EQ(QFileInfo(c.PercorsoTmp).fileName(), QStringLiteral("etich.tmp"));
    EXPECT_EQ(c.cmbFormati, QStringList({QStringLiteral("Busta grande        ")}));
    EXPECT_EQ(c.txtPX.Text, QStringLiteral("229"));
}

TEST(CatalogoEtichette, NuovoEntersAndConfermaStoresAndBrowses)
{
    CartellaProva cartella;
    cartella.scrivi(QStringLiteral("ulka/vorpla/etich.DB"), A4_3x8);
    Finestra f(cartella);
    CatalogoEtichette &c = f.c;
    c.cmdConferma.Visible = false; // as a label job starts
    c.cmdCrea_Click();
    attendiEntering(c);
    EXPECT_EQ(c.NumFormati, 2);
    EXPECT_EQ(c.Focus, QStringLiteral("txtDesc"));
    // The new format starts from the values shown.
    EXPECT_EQ(testi(c), QStringList({QStringLiteral("A4 3x8              "), "210", "297", "10", "70", "37"}));

    digita(c, QStringLiteral("Busta grande"), "229", "324", "0", "229", "324");
    c.cmdConferma_Click();
    attendiBrowsing(c);
    EXPECT_EQ(leggiFile(c.PercorsoDB), A4_3x8 + Busta);
    EXPECT_EQ(c.NumFormati, 2);
    // The list gets the text as typed; the new format is selected and shown
    // as stored.
    EXPECT_EQ(c.cmbFormati, QStringList({QStringLiteral("A4 3x8              "), QStringLiteral("Busta grande")}));
    EXPECT_EQ(c.ListIndex, 1);
    EXPECT_EQ(testi(c), QStringList({QStringLiteral("Busta grande        "), "229", "324", "0", "229", "324"}));

    // A reload shows every name with its padding.
    Finestra riletta(cartella);
    EXPECT_EQ(riletta.c.cmbFormati,
              QStringList({QStringLiteral("A4 3x8              "), QStringLiteral("Busta grande        ")}));
}

TEST(CatalogoEtichette, FirstFormatCreatesTheFileAndLongNamesAreCut)
{
    CartellaProva cartella;
    Finestra f(cartella);
    f.c.cmdCrea_Click();
    EXPECT_EQ(f.c.NumFormati, 1);
    digita(f.c, QStringLiteral("Etichette indirizzi grandi"), "210", "297", "12", "105", "48");
    f.c.cmdConferma_Click();
    EXPECT_EQ(leggiFile(f.c.PercorsoDB), record("Etichette indirizzi ", 210, 297, 12, 105, 48));
    EXPECT_EQ(f.c.cmbFormati, QStringList({QStringLiteral("Etichette indirizzi grandi")}));
    EXPECT_EQ(f.c.txtDesc.Text, QStringLiteral("Etichette indirizzi "));

    f.c.cmdCrea_Click();
    digita(f.c, QStringLiteral("Città €"), "1", "2", "3", "4", "5");
    f.c.cmdConferma_Click();
    EXPECT_EQ(leggiFile(f.c.PercorsoDB),
              record("Etichette indirizzi ", 210, 297, 12, 105, 48) + record("Citt\xE0 \x80             ", 1, 2, 3, 4, 5));

    Finestra riletta(cartella);
    EXPECT_EQ(riletta.c.cmbFormati,
              QStringList({QStringLiteral("Etichette indirizzi "), QStringLiteral("Città €             ")}));
}

TEST(CatalogoEtichette, MeasureThatIsNotANumberStoresNothingAndStaysEntering)
{
    MessaggiRegistrati messaggi;
    CartellaProva cartella;
    cartella.scrivi(QStringLiteral("ulka/vorpla/etich.DB"), A4_3x8);
    Finestra f(cartella);
    f.c.cmdCrea_Click();
    digita(f.c, QStringLiteral("Nuove"), "210", "trecento", "10", "70", "37");
    f.c.cmdConferma_Click();
    ASSERT_EQ(messaggi.testi.size(), 1);
    // The standard message, naming the field refused; the field has the focus.
    EXPECT_EQ(messaggi.testi[0], QStringLiteral("Routine frmvorpla - cmdConferma_Click\r Errore N.13 Type mismatch (Alt. pagina)"));
    EXPECT_EQ(f.c.Focus, QStringLiteral("txtPY"));
    EXPECT_EQ(leggiFile(f.c.PercorsoDB), A4_3x8);
    attendiEntering(f.c);
    EXPECT_EQ(f.c.NumFormati, 2);
    EXPECT_EQ(f.c.cmbFormati.size(), 1);
    EXPECT_EQ(f.c.txtPY.Text, QStringLiteral("trecento"));

    // Corrected, it is stored at the record it was given.
    f.c.txtPY.Text = QStringLiteral("297");
    f.c.cmdConferma_Click();
    EXPECT_EQ(leggiFile(f.c.PercorsoDB), A4_3x8 + record("Nuove               ", 210, 297, 10, 70, 37));
    attendiBrowsing(f.c);

    // An empty measure is not a number either.
    f.c.cmdCrea_Click();
    f.c.txtMarg.Text.clear();
    f.c.cmdConferma_Click();
    EXPECT_EQ(messaggi.testi.size(), 2);
    EXPECT_EQ(leggiFile(f.c.PercorsoDB).size(), 80);
    attendiEntering(f.c);

    // The measures are whole millimetres: "29,7" is refused, not stored as
    // 297 (nor rounded); so is "29.7".
    f.c.txtMarg.Text = QStringLiteral("10");
    for (const char *decimale : {"29,7", "29.7"}) {
        f.c.txtPY.Text = QLatin1String(decimale);
        f.c.cmdConferma_Click();
        EXPECT_EQ(messaggi.testi.last(), QStringLiteral("Routine frmvorpla - cmdConferma_Click\r Errore N.13 Type mismatch, "
                                                        "millimetri interi (Alt. pagina)"));
        EXPECT_EQ(f.c.Focus, QStringLiteral("txtPY"));
        EXPECT_EQ(leggiFile(f.c.PercorsoDB).size(), 80) << decimale;
    }
    f.c.txtPY.Text = QStringLiteral(" 297 ");
    f.c.cmdConferma_Click();
    EXPECT_EQ(leggiFile(f.c.PercorsoDB).size(), 120);
}

TEST(CatalogoEtichette, WithoutCatalogueTheFormatIsOnlyForThisPrint)
{
    MessaggiRegistrati messaggi;
    CartellaProva cartella;
    Finestra f(cartella, false);
    f.c.cmdCrea_Click();
    digita(f.c, QStringLiteral("Solo oggi"), "100", "150", "5", "50", "30");
    f.c.cmdConferma_Click();
    EXPECT_EQ(messaggi.testi, QStringList({CatalogoEtichette::MessaggioSenzaCatalogo}));
    attendiBrowsing(f.c);
    EXPECT_TRUE(f.c.cmbFormati.isEmpty());
    EXPECT_EQ(f.c.NumFormati, 0);
    EXPECT_EQ(testi(f.c), QStringList({QStringLiteral("Solo oggi"), "100", "150", "5", "50", "30"}));
    EXPECT_EQ(QDir(cartella.programma()).entryList(QDir::Files), QStringList());
}

TEST(CatalogoEtichette, DeleteRewritesTheCatalogueWithoutTheSelectedFormat)
{
    MessaggiRegistrati messaggi;
    messaggi.risposte << Risposta::Ok;
    CartellaProva cartella;
    cartella.scrivi(QStringLiteral("ulka/vorpla/etich.DB"), A4_3x8 + Busta + Piccole);
    Finestra f(cartella);
    f.c.selezionaFormato(1);
    f.c.cmdElimina_Click();
    EXPECT_EQ(messaggi.testi, QStringList({QStringLiteral("Sei sicuro di voler eliminare il formato corrente?")}));
    EXPECT_EQ(messaggi.titoli, QStringList{QStringLiteral("Conferma eliminazione")});
    EXPECT_EQ(leggiFile(f.c.PercorsoDB), A4_3x8 + Piccole);
    EXPECT_FALSE(QFileInfo::exists(f.c.PercorsoTmp));
    EXPECT_EQ(f.c.cmbFormati,
              QStringList({QStringLiteral("A4 3x8              "), QStringLiteral("Piccole 48x25       ")}));
    EXPECT_EQ(f.c.NumFormati, 2);
    EXPECT_EQ(f.c.ListIndex, 0);
    EXPECT_FALSE(f.c.InCaricamento);
    EXPECT_EQ(testi(f.c), QStringList({QStringLiteral("A4 3x8              "), "210", "297", "10", "70", "37"}));

    // The last one; a stale etich.tmp longer than the result is replaced.
    cartella.scrivi(QStringLiteral("ulka/vorpla/etich.tmp"), QByteArray(200, 'x'));
    messaggi.risposte << Risposta::Ok;
    f.c.selezionaFormato(1);
    f.c.cmdElimina_Click();
    EXPECT_EQ(leggiFile(f.c.PercorsoDB), A4_3x8);
    EXPECT_FALSE(QFileInfo::exists(f.c.PercorsoTmp));
}

TEST(CatalogoEtichette, DeletingTheOnlyFormatLeavesAnEmptyCatalogue)
{
    MessaggiRegistrati messaggi;
    messaggi.risposte << Risposta::Ok;
    CartellaProva cartella;
    cartella.scrivi(QStringLiteral("ulka/vorpla/etich.DB"), Busta);
    Finestra f(cartella);
    f.c.cmdElimina_Click();
    ASSERT_TRUE(QFileInfo::exists(f.c.PercorsoDB));
    EXPECT_EQ(QFileInfo(f.c.PercorsoDB).size(), 0);
    EXPECT_TRUE(f.c.cmbFormati.isEmpty());
    EXPECT_EQ(f.c.NumFormati, 0);
    EXPECT_EQ(f.c.ListIndex, -1);

    // Nothing left to delete: no question.
    f.c.cmdElimina_Click();
    EXPECT_EQ(messaggi.testi.size(), 1);
}

TEST(CatalogoEtichette, CancelChangesNothing)
{
    MessaggiRegistrati messaggi;
    messaggi.risposte << Risposta::Annulla;
    CartellaProva cartella;
    cartella.scrivi(QStringLiteral("ulka/vorpla/etich.DB"), A4_3x8 + Busta);
    Finestra f(cartella);
    f.c.selezionaFormato(1);
    const QStringList prima = testi(f.c);
    f.c.cmdElimina_Click();
    EXPECT_EQ(messaggi.testi.size(), 1);
    EXPECT_EQ(leggiFile(f.c.PercorsoDB), A4_3x8 + Busta);
    EXPECT_FALSE(QFileInfo::exists(f.c.PercorsoTmp));
    EXPECT_EQ(f.c.cmbFormati.size(), 2);
    EXPECT_EQ(f.c.NumFormati, 2);
    EXPECT_EQ(f.c.ListIndex, 1);
    EXPECT_EQ(testi(f.c), prima);
}

// A delete that cannot finish (etich.tmp cannot be written, or the disk is
// full while it is) leaves the old catalogue readable and unchanged.
TEST(CatalogoEtichette, FailedDeleteKeepsTheCatalogue)
{
    CartellaProva cartella;
    cartella.scrivi(QStringLiteral("ulka/vorpla/etich.DB"), A4_3x8 + Busta);
    {
        MessaggiRegistrati messaggi;
        messaggi.risposte << Risposta::Ok;
        Finestra f(cartella);
        ASSERT_TRUE(QDir().mkpath(f.c.PercorsoTmp));
        f.c.cmdElimina_Click();
        ASSERT_EQ(messaggi.testi.size(), 2);
        EXPECT_TRUE(messaggi.testi[1].startsWith(QStringLiteral("Routine frmvorpla - cmdElimina_Click\r Errore N.75 ")))
            << messaggi.testi[1].toStdString();
        EXPECT_EQ(leggiFile(f.c.PercorsoDB), A4_3x8 + Busta);
        EXPECT_EQ(f.c.cmbFormati.size(), 2);
        EXPECT_EQ(f.c.NumFormati, 2);
        ASSERT_TRUE(QDir(f.c.PercorsoTmp).removeRecursively());
    }
    {
        MessaggiRegistrati messaggi;
        messaggi.risposte << Risposta::Ok;
        Finestra f(cartella);
        // A device is never written into, let alone renamed over the catalogue.
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), f.c.PercorsoTmp));
        f.c.cmdElimina_Click();
        ASSERT_EQ(messaggi.testi.size(), 2);
        EXPECT_TRUE(messaggi.testi[1].startsWith(QStringLiteral("Routine frmvorpla - cmdElimina_Click\r Errore N.75 ")))
            << messaggi.testi[1].toStdString();
        EXPECT_EQ(leggiFile(f.c.PercorsoDB), A4_3x8 + Busta);
    }
    Finestra riletta(cartella);
    EXPECT_EQ(riletta.c.cmbFormati,
              QStringList({QStringLiteral("A4 3x8              "), QStringLiteral("Busta grande        ")}));
}

// A catalogue that is a FIFO is refused at once (it would never be read to
// its end); one that is a link stays a link through a delete.
TEST(CatalogoEtichette, SpecialCataloguesAndLinks)
{
    CartellaProva cartella;
    const QString db = cartella.programma() + QStringLiteral("/etich.DB");
    {
        ASSERT_EQ(::mkfifo(QFile::encodeName(db).constData(), 0666), 0);
        CatalogoEtichette c;
        c.PercorsoDB = db;
        EXPECT_EQ(erroreDi([&] { c.caricaCatalogo(); }), Err::AccessoPercorso);
        EXPECT_FALSE(c.InCaricamento);
        ASSERT_TRUE(QFile::remove(db));
    }
    const QString vero = cartella.scrivi(QStringLiteral("condivisa/etich.DB"), A4_3x8 + Busta);
    ASSERT_TRUE(QFile::link(vero, db));
    MessaggiRegistrati messaggi;
    messaggi.risposte << Risposta::Ok;
    Finestra f(cartella);
    f.c.cmdElimina_Click();
    EXPECT_EQ(messaggi.testi.size(), 1) << messaggi.testi.join(u'|').toStdString();
    EXPECT_TRUE(QFileInfo(db).isSymLink());
    EXPECT_EQ(leggiFile(vero), Busta);

    // A second name of the catalogue's file sees the change too; a group's
    // catalogue stays writable by the group.
    ASSERT_TRUE(QFile::remove(db));
    scriviFile(db, A4_3x8 + Busta);
    ASSERT_EQ(::chmod(QFile::encodeName(db).constData(), 0664), 0);
    const QString secondo = cartella.percorso(QStringLiteral("condivisa/secondo.DB"));
    ASSERT_EQ(::link(QFile::encodeName(db).constData(), QFile::encodeName(secondo).constData()), 0);
    messaggi.risposte << Risposta::Ok;
    Finestra g(cartella);
    g.c.cmdElimina_Click();
    EXPECT_EQ(leggiFile(secondo), Busta);
    ASSERT_TRUE(QFile::remove(secondo));
    messaggi.risposte << Risposta::Ok;
    Finestra h(cartella);
    h.c.cmdElimina_Click();
    EXPECT_EQ(leggiFile(db), QByteArray());
    struct stat st{};
    ASSERT_EQ(::stat(QFile::encodeName(db).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0664u);
}

TEST(CatalogoEtichette, SelectionErrorsShowTheRoutineMessage)
{
    MessaggiRegistrati messaggi;
    CartellaProva cartella;
    cartella.scrivi(QStringLiteral("ulka/vorpla/etich.DB"), A4_3x8 + Busta);
    Finestra f(cartella);
    ASSERT_TRUE(QFile::remove(f.c.PercorsoDB));
    f.c.selezionaFormato(1);
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_TRUE(messaggi.testi[0].startsWith(QStringLiteral("Routine frmvorpla - cmbFormati_Click\r Errore N.53 ")))
        << messaggi.testi[0].toStdString();
    EXPECT_EQ(f.c.txtPX.Text, QStringLiteral("210"));

    // While the list is being filled a selection reads nothing.
    f.c.InCaricamento = true;
    f.c.selezionaFormato(0);
    EXPECT_EQ(messaggi.testi.size(), 1);
}
