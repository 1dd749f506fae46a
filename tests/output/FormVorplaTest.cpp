// The printer output form's load: the header's job markers up to "@PERC"
// and the page-count table of the numbered documents over the whole file.

#include "output/FormVorpla.h"

#include "common/ErroreVB.h"
#include "common/StatoLavoro.h"

#include "TestSupport.h"

#include <QList>
#include <gtest/gtest.h>

using namespace vorpla;
using vorpla::prova::CartellaProva;
using vorpla::prova::erroreDi;

namespace {

// Loads a fresh form on a print file with the given bytes.
FormVorpla carica(const CartellaProva &cartella, const QByteArray &contenuto)
{
    azzeraLavoro();
    lavoro().FileIngresso = cartella.scrivi(QStringLiteral("job/F1.txt"), contenuto);
    FormVorpla form;
    form.Form_Load();
    return form;
}

QByteArray righe(const QList<QByteArray> &elenco)
{
    QByteArray b;
    for (const QByteArray &r : elenco)
        b += r + "\r\n";
    return b;
}

using Tabella = QList<qint16>;

} // namespace

TEST(FormVorpla, DocumentWithoutSectionsHasTwoEqualEntries)
{
    CartellaProva cartella;
    FormVorpla form = carica(cartella, righe({"@INTE", "@TXTn a", "@PAGE", "@TXTn b", "@PAGE", "@TXTn c", "@PAGE"}));
    EXPECT_EQ(form.valori.PagineSezione, Tabella({3, 3}));
    EXPECT_EQ(form.valori.ContaPagine, 3);
    EXPECT_TRUE(form.valori.NumerazioneAttiva);

    form = carica(cartella, righe({"@INTE", "@TXTn una pagina sola"}));
    EXPECT_EQ(form.valori.PagineSezione, Tabella({0, 0}));
    EXPECT_TRUE(form.valori.NumerazioneAttiva);
}

TEST(FormVorpla, NumberedSectionsCloseWithSnpgS)
{
    CartellaProva cartella;
    FormVorpla form = carica(cartella, righe({"@PAGE", "@PAGE", "@PAGE", "@SNPG S", "@PAGE", "@PAGE"}));
    EXPECT_EQ(form.valori.PagineSezione, Tabella({3, 2}));
    EXPECT_EQ(form.valori.ContaPagine, 2);
    EXPECT_TRUE(form.valori.NumerazioneAttiva);

    // Three sections: every "@SNPG S" closes one, the rest closes the last.
    form = carica(cartella, righe({"@PAGE", "@PAGE", "@SNPG S", "@PAGE", "@SNPG S", "@PAGE", "@PAGE", "@PAGE",
                                   "@PAGE"}));
    EXPECT_EQ(form.valori.PagineSezione, Tabella({2, 1, 4}));

    // A section closed at the very end leaves an empty last one.
    form = carica(cartella, righe({"@PAGE", "@SNPG S"}));
    EXPECT_EQ(form.valori.PagineSezione, Tabella({1, 0}));
}

TEST(FormVorpla, SnpgWithAnythingElseTurnsNumberingOff)
{
    CartellaProva cartella;
    FormVorpla form = carica(cartella, righe({"@PAGE", "@SNPG N", "@PAGE", "@PAGE"}));
    EXPECT_FALSE(form.valori.NumerazioneAttiva);
    EXPECT_EQ(form.valori.PagineSezione, Tabella({3}));

    // Only a capital S at column 7 opens a section.
    for (const QByteArray &riga : {QByteArray("@SNPG s"), QByteArray("@SNPG"), QByteArray("@SNPG  S"),
                                   QByteArray("@SNPGS")}) {
        form = carica(cartella, righe({"@PAGE", riga, "@PAGE"}));
        EXPECT_FALSE(form.valori.NumerazioneAttiva) << riga.constData();
        EXPECT_EQ(form.valori.PagineSezione, Tabella({2})) << riga.constData();
    }

    // The last "@SNPG" decides whether the final count is doubled; the
    // closed sections stay.
    form = carica(cartella, righe({"@PAGE", "@SNPG S", "@PAGE", "@SNPG N", "@PAGE"}));
    EXPECT_FALSE(form.valori.NumerazioneAttiva);
    EXPECT_EQ(form.valori.PagineSezione, Tabella({1, 2}));

    form = carica(cartella, righe({"@SNPG N", "@PAGE", "@SNPG S", "@PAGE", "@PAGE"}));
    EXPECT_TRUE(form.valori.NumerazioneAttiva);
    EXPECT_EQ(form.valori.PagineSezione, Tabella({1, 2}));
}

TEST(FormVorpla, PageCountTrimsBlanksAroundTheMarker)
{
    CartellaProva cartella;
    FormVorpla form = carica(cartella, righe({"  @PAGE", "@PAGE   ", "   @PAGE   ", "\t@PAGE", "@page", "@PAG"}));
    EXPECT_EQ(form.valori.PagineSezione, Tabella({3, 3}));

    // The section flag is still read at column 7 of the line as written:
    // indented, column 7 is not the flag.
    form = carica(cartella, righe({"@PAGE", "  @SNPG S", "@PAGE"}));
    EXPECT_FALSE(form.valori.NumerazioneAttiva);
    EXPECT_EQ(form.valori.PagineSezione, Tabella({2}));
    form = carica(cartella, righe({"@PAGE", "@SNPG S  ", "@PAGE"}));
    EXPECT_EQ(form.valori.PagineSezione, Tabella({1, 1}));
}

TEST(FormVorpla, HeaderMarkersUpToPerc)
{
    CartellaProva cartella;
    FormVorpla form = carica(cartella, righe({"@TIPS   ESTRATTO CONTO  ", "@COPI 3", "@INTV", "@PERC", "@INT1 X"}));
    EXPECT_EQ(form.valori.TipoDocumento, QStringLiteral("ESTRATTO CONTO"));
    EXPECT_TRUE(form.CopieDaFinestra);
    EXPECT_TRUE(form.valori.ConINTV);
    EXPECT_EQ(form.valori.NumCopie, QStringLiteral("1"));
    EXPECT_EQ(form.PercorsoDB, cartella.programma() + QStringLiteral("/etich.DB"));
    EXPECT_EQ(form.PercorsoTmp, cartella.programma() + QStringLiteral("/etich.tmp"));
    EXPECT_FALSE(form.EtichetteBloccate);

    // Without "@PERC" the catalogue paths stay empty and nothing is set.
    form = carica(cartella, righe({"@INTE", "@TXTn testo"}));
    EXPECT_TRUE(form.PercorsoDB.isEmpty());
    EXPECT_TRUE(form.PercorsoTmp.isEmpty());
    EXPECT_FALSE(form.CopieDaFinestra);
    EXPECT_FALSE(form.valori.ConINTV);
    EXPECT_TRUE(form.valori.TipoDocumento.isEmpty());
}

TEST(FormVorpla, MarkersAfterPercAreNotJobMarkersButTheirPagesCount)
{
    CartellaProva cartella;
    FormVorpla form = carica(cartella, righe({"@TIPS FATTURA", "@PAGE", "@PERC", "@COPI 2", "@TIPS ASTOI", "@INTV",
                                              "@LARG ETIC", "@PAGE", "@PAGE"}));
    EXPECT_EQ(form.valori.TipoDocumento, QStringLiteral("FATTURA"));
    EXPECT_FALSE(form.CopieDaFinestra);
    EXPECT_FALSE(form.valori.ConINTV);
    EXPECT_FALSE(form.EtichetteBloccate);
    EXPECT_FALSE(form.PercorsoDB.isEmpty());
    EXPECT_EQ(form.valori.PagineSezione, Tabella({3, 3}));
}

TEST(FormVorpla, HeaderMarkersAreReadAsWritten)
{
    CartellaProva cartella;
    // Indented or lower-case markers are not job markers.
    FormVorpla form = carica(cartella, righe({" @TIPS FATTURA", "@tips ASTOI", " @COPI 2", "@copi 2", " @INTV",
                                              " @PERC", "@perc", " @LARG ETIC"}));
    EXPECT_TRUE(form.valori.TipoDocumento.isEmpty());
    EXPECT_FALSE(form.CopieDaFinestra);
    EXPECT_FALSE(form.valori.ConINTV);
    EXPECT_TRUE(form.PercorsoDB.isEmpty());
    EXPECT_FALSE(form.EtichetteBloccate);

    // The last "@TIPS" wins; a bare one empties the type.
    form = carica(cartella, righe({"@TIPS FATTURA", "@TIPS ASTOI"}));
    EXPECT_EQ(form.valori.TipoDocumento, QStringLiteral("ASTOI"));
    form = carica(cartella, righe({"@TIPS FATTURA", "@TIPS"}));
    EXPECT_TRUE(form.valori.TipoDocumento.isEmpty());

    // Text from Linux (UTF-8) and from Windows (Windows-1252) alike.
    form = carica(cartella, righe({"@TIPS RICEVUTA CAFF\xC3\x88"}));
    EXPECT_EQ(form.valori.TipoDocumento, QStringLiteral("RICEVUTA CAFF\u00C8"));
    form = carica(cartella, righe({"@TIPS RICEVUTA CAFF\xC8"}));
    EXPECT_EQ(form.valori.TipoDocumento, QStringLiteral("RICEVUTA CAFF\u00C8"));
}

TEST(FormVorpla, LabelJobLocksTheLabelWindow)
{
    CartellaProva cartella;
    EXPECT_TRUE(carica(cartella, righe({"@LARG ETIC"})).EtichetteBloccate);
    EXPECT_TRUE(carica(cartella, righe({"@LARG ETICHETTE 3X8"})).EtichetteBloccate);
    EXPECT_FALSE(carica(cartella, righe({"@LARG 080"})).EtichetteBloccate);
    EXPECT_FALSE(carica(cartella, righe({"@LARG ETI"})).EtichetteBloccate);
    EXPECT_FALSE(carica(cartella, righe({"@LARG etic"})).EtichetteBloccate);
    EXPECT_FALSE(carica(cartella, righe({"@LARGETIC"})).EtichetteBloccate);
}

TEST(FormVorpla, EveryLineEndingEndsALine)
{
    CartellaProva cartella;
    FormVorpla form = carica(cartella, "@TIPS FATTURA\r@PAGE\n@PAGE\r\n@SNPG S\r@PAGE\r\n@COPI 1\n");
    EXPECT_EQ(form.valori.TipoDocumento, QStringLiteral("FATTURA"));
    EXPECT_TRUE(form.CopieDaFinestra);
    EXPECT_EQ(form.valori.PagineSezione, Tabella({2, 1}));
}

TEST(FormVorpla, LoadStartsFromAFreshForm)
{
    CartellaProva cartella;
    azzeraLavoro();
    lavoro().FileIngresso = cartella.scrivi(QStringLiteral("job/F2.txt"), righe({"@PAGE", "@SNPG S", "@PAGE"}));
    FormVorpla form;
    form.valori.NumCopie = QStringLiteral("4");
    form.valori.PagineSezione = {7, 7, 7, 7};
    form.valori.ContaPagine = 9;
    form.PercorsoDB = QStringLiteral("/vecchio/etich.DB");
    form.CopieDaFinestra = true;
    form.EtichetteBloccate = true;
    form.Form_Load();
    EXPECT_EQ(form.valori.NumCopie, QStringLiteral("1"));
    EXPECT_EQ(form.valori.PagineSezione, Tabella({1, 1}));
    EXPECT_EQ(form.valori.ContaPagine, 1);
    EXPECT_TRUE(form.PercorsoDB.isEmpty());
    EXPECT_FALSE(form.CopieDaFinestra);
    EXPECT_FALSE(form.EtichetteBloccate);
    EXPECT_EQ(lavoro().NomeRoutine, QStringLiteral("frmvorpla - Form_Load"));
}

TEST(FormVorpla, PageCountIsASixteenBitInteger)
{
    CartellaProva cartella;
    QByteArray pagine;
    for (int i = 0; i < 32767; ++i)
        pagine += "@PAGE\r\n";
    FormVorpla form = carica(cartella, pagine);
    EXPECT_EQ(form.valori.PagineSezione, Tabella({32767, 32767}));

    // One page more overflows; so does a section of as many.
    EXPECT_EQ(erroreDi([&] { carica(cartella, pagine + "@PAGE\r\n"); }), Err::Overflow);
    EXPECT_EQ(erroreDi([&] { carica(cartella, "@SNPG S\r\n" + pagine + "@PAGE\r\n"); }), Err::Overflow);
    EXPECT_EQ(erroreDi([&] { carica(cartella, pagine + "@SNPG S\r\n" + pagine); }), 0);
}

TEST(FormVorpla, MissingPrintFileIsFileNotFound)
{
    CartellaProva cartella;
    azzeraLavoro();
    lavoro().FileIngresso = cartella.percorso(QStringLiteral("job/manca.txt"));
    FormVorpla form;
    EXPECT_EQ(erroreDi([&] { form.Form_Load(); }), Err::FileNonTrovato);
    EXPECT_EQ(lavoro().NomeRoutine, QStringLiteral("frmvorpla - Form_Load"));
}
