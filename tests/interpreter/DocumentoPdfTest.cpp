// What the PDF form's interpreter asks of the document object: the calls,
// their order and their values, on a recording document.

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/CartellaProgramma.h"
#include "common/StatoLavoro.h"
#include "interpreter/DocumentoRegistrato.h"
#include "interpreter/InterpretePdf.h"
#include "interpreter/SuperficieRegistrata.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace vorpla;
using namespace vorpla::prova;

namespace {

class ProvaDocumento : public ::testing::Test
{
protected:
    ProvaDocumento() { azzeraLavoro(); }

    void ini(const QByteArray &contenuto) { cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"), contenuto); }

    // Runs the PDF interpreter on the print file; false when it ended on an
    // error.
    bool disegna(const QByteArray &righe, const QString &dispositivo = QStringLiteral("Vorpla"))
    {
        documento = DocumentoRegistrato{};
        documento.esitoSalvataggio = esitoSalvataggio;
        const QString file = cartella.scrivi(QStringLiteral("job/stampa.txt"), righe);
        lavoro().FileIngresso = file;
        SuperficieRegistrata stampante(dispositivo);
        InterpretePdf interprete(documento, stampante, form, file);
        interprete.filePdf = cartella.temp() + QStringLiteral("stampa.PDF");
        interprete.foglioEtichette = [] { return QSizeF(297, 210); };
        interprete.avviaConvertitore = [this](const QString &p, const QString &a) {
            avviati << p + u' ' + a;
            if (convertitoreScrive) {
                QImage immagine(40, 20, QImage::Format_RGB32);
                immagine.fill(Qt::black);
                immagine.save(cartella.temp() + a.section(u';', 0, 0) + QStringLiteral(".jpg"), "JPEG");
            }
        };
        interprete.attendi = [](int) {};
        return interprete.GRAFICA();
    }

    QStringList operazioni() const
    {
        QStringList o;
        for (const ChiamataDocumento &c : documento.chiamate())
            o << c.operazione;
        return o;
    }

    QList<ChiamataDocumento> testi() const { return documento.chiamate(QStringLiteral("DrawText")); }

    ChiamataDocumento testo(const QString &t) const
    {
        for (const ChiamataDocumento &c : testi())
            if (c.argomenti.value(0).toString() == t)
                return c;
        ADD_FAILURE() << "no DrawText of " << t.toStdString();
        return {};
    }

    CartellaProva cartella;
    MessaggiRegistrati messaggi;
    ValoriForm form;
    DocumentoRegistrato documento;
    qint32 esitoSalvataggio = 0;
    QStringList avviati;
    bool convertitoreScrive = false;
};

} // namespace

TEST_F(ProvaDocumento, StartSequencePageSizeAndSave)
{
    ASSERT_TRUE(disegna("@INTE\r\n@INT1 AGENZIA\r\n"));
    const QStringList o = operazioni();
    ASSERT_GE(o.size(), 6);
    EXPECT_EQ(o.mid(0, 5), (QStringList{"LoadFontFile", "BeginDocument", "SetOptionA", "SetInfoText", "SetOptionB"}));
    const auto c = documento.chiamate();
    EXPECT_EQ(c[0].argomenti, QVariantList{inCartellaProgramma(QStringLiteral("ntoem.ttf"))});
    EXPECT_EQ(c[2].argomenti, QVariantList{1});
    EXPECT_EQ(c[3].argomenti, QVariantList{QStringLiteral("ULKA")});
    EXPECT_EQ(c[4].argomenti, QVariantList{1});
    // A4 of 21 x 29.7 cm is 595 x 841 points; the document gives the first page.
    const auto dimensioni = documento.chiamate(QStringLiteral("SetPageSize"));
    ASSERT_EQ(dimensioni.size(), 1);
    EXPECT_EQ(dimensioni[0].argomenti, (QVariantList{595, 841}));
    EXPECT_FALSE(o.contains(QStringLiteral("NewPage")));
    // Saved once at the end, then the size goes back to 8.
    const auto salvataggi = documento.chiamate(QStringLiteral("SaveDocument"));
    ASSERT_EQ(salvataggi.size(), 1);
    EXPECT_EQ(salvataggi[0].argomenti, QVariantList{cartella.temp() + QStringLiteral("stampa.PDF")});
    EXPECT_EQ(o.last(), QStringLiteral("DocFontSize"));
    EXPECT_EQ(documento.chiamate().last().argomenti, QVariantList{8});
    EXPECT_EQ(o.lastIndexOf(QStringLiteral("SaveDocument")), o.size() - 2);
}

TEST_F(ProvaDocumento, TextSizesAreWholePointsReadBackAndStyleMarksTheBoldLines)
{
    ASSERT_TRUE(disegna("@INTE\r\n@INT1 AGENZIA\r\n@INT2 Via Roma\r\n@INDI\r\n@INDb ROSSI\r\n@INDn Via Po\r\n"
                        "@TEXT\r\n@TXTV\r\n@TXTn dieci e mezzo\r\n"));
    // Every DrawText passes the size the document holds at that moment.
    qint32 dimensione = 10;
    for (const ChiamataDocumento &c : documento.chiamate()) {
        if (c.operazione == QLatin1String("DocFontSize"))
            dimensione = c.argomenti[0].toInt();
        if (c.operazione == QLatin1String("DrawText")) {
            EXPECT_EQ(c.argomenti[3].toInt(), dimensione) << c.argomenti[0].toString().toStdString();
            EXPECT_EQ(c.argomenti[4], QVariant(0));
            EXPECT_EQ(c.argomenti[5], QVariant(QStringLiteral("/F12")));
        }
    }
    EXPECT_EQ(testo(QStringLiteral("AGENZIA")).argomenti[6], QVariant(1));
    EXPECT_EQ(testo(QStringLiteral("ROSSI")).argomenti[6], QVariant(1));
    EXPECT_EQ(testo(QStringLiteral("Via Roma")).argomenti[6], QVariant(0));
    EXPECT_EQ(testo(QStringLiteral("Via Po")).argomenti[6], QVariant(0));
    // The address window's 10.5 and the voucher text's 9.5 both become 10.
    EXPECT_EQ(testo(QStringLiteral("ROSSI")).argomenti[3], QVariant(11));
    EXPECT_EQ(testo(QStringLiteral("dieci e mezzo")).argomenti[3], QVariant(10));
    const auto dimensioni = documento.chiamate(QStringLiteral("DocFontSize"));
    for (const auto &d : dimensioni)
        EXPECT_NE(d.argomenti[0].toInt(), 9) << "9.5 rounds to the even 10";
}

TEST_F(ProvaDocumento, PageSizeAgainAtWideLinesAndLabelSheets)
{
    ASSERT_TRUE(disegna("@LARG 132VER\r\n@LARG 099\r\n@LARG PRO\r\n@LARG 080\r\n@ETTI N\r\n"));
    const auto d = documento.chiamate(QStringLiteral("SetPageSize"));
    ASSERT_EQ(d.size(), 4);
    EXPECT_EQ(d[1].argomenti, (QVariantList{595, 841}));
    EXPECT_EQ(d[2].argomenti, (QVariantList{595, 841}));
    // The label sheet of the printer form, 297 x 210 mm.
    EXPECT_EQ(d[3].argomenti, (QVariantList{841, 595}));
    // 132 columns: size 8, bold off; 80 columns: size 10; "N" labels: the
    // fixed-pitch font at 9.
    const QStringList o = operazioni();
    const auto dimensioni = documento.chiamate(QStringLiteral("DocFontSize"));
    QList<int> valori;
    for (const auto &c : dimensioni)
        valori << c.argomenti[0].toInt();
    EXPECT_TRUE(valori.contains(8));
    EXPECT_EQ(valori.value(valori.size() - 2), 9);
    EXPECT_EQ(documento.chiamate(QStringLiteral("DocFontName")).last().argomenti[0], QVariant(QStringLiteral("NetTerm OEM")));
}

TEST_F(ProvaDocumento, FaxPrintersGetDirectivesAndTheFileAtEachSend)
{
    ASSERT_TRUE(disegna("@FAXN 02/1234\r\n@FAXD Mario Rossi\r\n@TIFE ACME\r\n@TEXT\r\n@TXTn uno\r\n@FAXS\r\n"
                        "@FAXN 02/1234\r\n@TXTn due\r\n",
                        QStringLiteral("ZETAFAX Office")));
    QStringList direttive;
    for (const auto &c : documento.chiamate(QStringLiteral("PutText"))) {
        direttive << c.argomenti[0].toString();
        EXPECT_EQ(c.argomenti.mid(1), (QVariantList{0, 0}));
    }
    // Every line writes its directive; no organisation directive.
    EXPECT_EQ(direttive, (QStringList{"%%[Fax: 021234]", "%%[Name: Mario Rossi]", "%%[SEND]", "%%[Fax: 021234]"}));
    EXPECT_EQ(documento.chiamate(QStringLiteral("DocFontName")).first().argomenti[0], QVariant(QStringLiteral("arial")));
    // "@FAXS" saves at once, the end saves again.
    const QStringList o = operazioni();
    const qsizetype invio = o.indexOf(QStringLiteral("PutText"), o.indexOf(QStringLiteral("PutText"), o.indexOf(QStringLiteral("PutText")) + 1) + 1);
    EXPECT_EQ(o.value(invio + 1), QStringLiteral("SaveDocument"));
    EXPECT_EQ(documento.chiamate(QStringLiteral("SaveDocument")).size(), 2);

    // Not on other printers, fax or not.
    ASSERT_TRUE(disegna("@FAXN 021234\r\n@FAXS\r\n", QStringLiteral("FAX Ufficio")));
    EXPECT_TRUE(documento.chiamate(QStringLiteral("PutText")).isEmpty());
    EXPECT_EQ(documento.chiamate(QStringLiteral("SaveDocument")).size(), 1);
}

TEST_F(ProvaDocumento, PageEndsStartTheNextPageAtOnceOrAsFaxPrintersWant)
{
    // A last "@PAGE" leaves an empty last page.
    ASSERT_TRUE(disegna("@TEXT\r\n@TXTn uno\r\n@PAGE\r\n@TXTn due\r\n@PAGE\r\n"));
    EXPECT_EQ(documento.pagine(), 3);
    EXPECT_EQ(testo(QStringLiteral("due")).pagina, 1);
    // Outside vouchers a fax printer starts a page only when lines follow.
    ASSERT_TRUE(disegna("@TEXT\r\n@TXTn uno\r\n@PAGE\r\n@TXTn due\r\n@PAGE\r\n", QStringLiteral("ZETAFAX")));
    EXPECT_EQ(documento.pagine(), 2);
    // In voucher layout the next "@INTV", "@FAXN" or "@FAXD" starts it.
    ASSERT_TRUE(disegna("@INTV\r\n@TXVn uno\r\n@PAGE\r\n@TXVn ancora sulla prima\r\n@FAXN 1\r\n@TXVn due\r\n",
                        QStringLiteral("ZETAFAX")));
    EXPECT_EQ(testo(QStringLiteral("ancora sulla prima")).pagina, 0);
    EXPECT_EQ(testo(QStringLiteral("due")).pagina, 1);
}

TEST_F(ProvaDocumento, MarkersTheLayoutDoesNotHandleDrawNothing)
{
    ASSERT_TRUE(disegna("@FORM FATTURE\r\n@VNET VER;10;80;60\r\n@PgSP INIZIO\r\n@INDs mittente\r\n@IN2I\r\n"
                        "@IN2f ultima\r\n@BXT2 totale\r\n@XXXX ignota\r\n"));
    EXPECT_TRUE(testi().isEmpty());
    EXPECT_TRUE(documento.chiamate(QStringLiteral("DrawBox")).isEmpty());
    EXPECT_TRUE(messaggi.testi.isEmpty());
}

TEST_F(ProvaDocumento, FailuresEndTheRunWithTheRoutineMessageOrSilently)
{
    // A document that cannot be saved is an error of the run.
    esitoSalvataggio = 75;
    EXPECT_FALSE(disegna("@TEXT\r\n@TXTn uno\r\n"));
    ASSERT_EQ(messaggi.testi.size(), 1);
    EXPECT_TRUE(messaggi.testi[0].startsWith(QStringLiteral("Routine FRMCreaPDF - GRAFICA\r Errore N.75")))
        << messaggi.testi[0].toStdString();
    // A printing error on a "pdf" printer ends it without a word.
    esitoSalvataggio = 482;
    form.StampanteSelezionata = QStringLiteral("Stampa-PDF");
    EXPECT_FALSE(disegna("@TEXT\r\n@TXTn uno\r\n"));
    EXPECT_EQ(messaggi.testi.size(), 1);
    form.StampanteSelezionata = QStringLiteral("Ufficio");
    EXPECT_FALSE(disegna("@TEXT\r\n@TXTn uno\r\n"));
    EXPECT_EQ(messaggi.testi.size(), 2);
}

TEST_F(ProvaDocumento, BarCodesBecomeTheConvertersPictureWhenTheConverterIsThere)
{
    const QByteArray riga = "@TEXT\r\n@TXTn Codice <<CB=12345;Code39;20;10;20;30;15>> fine\r\n";
    // Without the converter even a tag left open stays text.
    ASSERT_TRUE(disegna("@TEXT\r\n@TXTn Codice <<CB=12345;Code39\r\n"));
    ASSERT_TRUE(disegna(riga));
    EXPECT_TRUE(avviati.isEmpty());
    EXPECT_TRUE(documento.chiamate(QStringLiteral("AddImage")).isEmpty());
    EXPECT_EQ(testi().size(), 1); // the tag stays in the text

    // The converter leaves its JPEG in the temporary folder.
    cartella.scrivi(QStringLiteral("ulka/vorpla/pravolinkt.exe"), "#!/bin/sh\n");
    convertitoreScrive = true;
    ASSERT_TRUE(disegna(riga));
    ASSERT_EQ(avviati.size(), 1);
    const QStringList parti = avviati[0].split(u' ');
    EXPECT_TRUE(parti[0].endsWith(QStringLiteral("/pravolinkt.exe")));
    const QString nome = parti[1].section(u';', 0, 0);
    EXPECT_TRUE(nome.endsWith(QStringLiteral("CB")));
    const int numero = nome.chopped(2).toInt();
    EXPECT_TRUE(numero >= 1 && numero <= 100000);
    EXPECT_EQ(parti[1].section(u';', 1), QStringLiteral("12345;Code39;20;"));
    // The picture is the converter's JPEG, placed by the tag's fourth to
    // seventh fields: at 10, 20 mm (and the offset), 30 x 15 mm.
    const auto aggiunte = documento.chiamate(QStringLiteral("AddImage"));
    ASSERT_FALSE(aggiunte.isEmpty());
    for (const auto &a : aggiunte)
        EXPECT_EQ(a.argomenti[0].toString(), cartella.temp() + nome + QStringLiteral(".jpg"));
    const auto posate = documento.chiamate(QStringLiteral("DrawImage"));
    ASSERT_EQ(posate.size(), 1);
    EXPECT_EQ(posate[0].argomenti.mid(1), (QVariantList{30, 15, 11, 20}));
    // A tag without a size places the picture at its own size, where the
    // tag says.
    ASSERT_TRUE(disegna("@TEXT\r\n@TXTn Codice <<CB=12345;Code39;20;10;20>> fine\r\n"));
    ASSERT_EQ(documento.chiamate(QStringLiteral("AddImage")).size(), 1);
    ASSERT_EQ(documento.chiamate(QStringLiteral("DrawImage")).size(), 1);
    EXPECT_EQ(documento.chiamate(QStringLiteral("DrawImage"))[0].argomenti.mid(3), (QVariantList{11, 20}));
    // The text around the tag is drawn, the tag is not.
    QString disegnato;
    for (const auto &t : testi())
        disegnato += t.argomenti[0].toString();
    EXPECT_FALSE(disegnato.contains(QStringLiteral("<<")));
    EXPECT_TRUE(disegnato.contains(u'f'));
}
