// Fax directives, clipboard titles, the mail subject, page numbers and the
// attachment list.

#include "ProvaInterprete.h"

using namespace vorpla;
using namespace vorpla::prova;

namespace {
QStringList direttive(const QList<OperazioneRegistrata> &testi)
{
    QStringList d;
    for (const auto &op : testi)
        if (op.testo.startsWith(QStringLiteral("%%[")))
            d << op.testo;
    return d;
}
} // namespace

TEST_F(ProvaInterprete, ZetafaxDevicesGetEachDirectiveOncePerChange)
{
    const QByteArray righe = "@FAXN 02/1234\r\n@FAXD Mario Rossi\r\n@TIFE ACME Viaggi\r\n@TEXT\r\n@TXTn lettera\r\n"
                             "@FAXN 021234\r\n@FAXD Mario Rossi\r\n@TIFE ACME Viaggi\r\n@PAGE\r\n@FAXS\r\n";
    disegna(righe, QStringLiteral("ZETAFAX Office"));
    EXPECT_EQ(direttive(di(Tipo::Testo)),
              (QStringList{"%%[Fax: 021234]", "%%[Name: Mario Rossi]", "%%[Organisation: ACME Viaggi]", "%%[SEND]"}));
    const auto fax = testo(QStringLiteral("%%[Fax: 021234]"));
    EXPECT_NEAR(fax.dimensione, 1, 0.2);
    EXPECT_NE(fax.famiglia, testo(QStringLiteral("lettera")).famiglia);
    EXPECT_EQ(testo(QStringLiteral("%%[SEND]")).pagina, 0); // on the last page
    EXPECT_TRUE(appunti.contains(QStringLiteral("ACME Viaggi")));

    // A second copy: the same number is not written again.
    disegna(righe, QStringLiteral("ZETAFAX Office"));
    EXPECT_EQ(direttive(di(Tipo::Testo)), (QStringList{"%%[Organisation: ACME Viaggi]", "%%[SEND]"}));
}

TEST_F(ProvaInterprete, FaxDevicesGetClipboardTitlesButNoDirectives)
{
    disegna("@TIFE ACME\r\n@TIT1 Estratto conto\r\n@TITB Voucher\r\n@FAXN 021234\r\n@FAXS\r\n", QStringLiteral("FAX Ufficio"));
    EXPECT_TRUE(direttive(di(Tipo::Testo)).isEmpty());
    // Emptied at the start; every title gathers one more separator.
    EXPECT_EQ(appunti, (QStringList{"", "Estratto conto - ACME", "Voucher -  - ACME"}));
    disegna("@TIFE ACME\r\n@TIT1 Estratto conto\r\n");
    EXPECT_TRUE(appunti.size() == 3); // a plain printer adds nothing
}

TEST_F(ProvaInterprete, TitlesMakeTheMailSubjectAndTitleList)
{
    disegna("@TIFE ACME\r\n@TITO FATTURA 12\r\n@TITO FATTURA 12\r\n");
    EXPECT_EQ(lavoro().OggettoMail, QStringLiteral("FATTURA 12 -  - ACME"));
    EXPECT_EQ(lavoro().ElencoTitoli, QStringLiteral("\r\nACME\r\nFATTURA 12 - ACME\r\nFATTURA 12 -  - ACME\r\n"));
    disegna("@TITO ESTRATTO\r\n@TITO ESTRATTO\r\n");
    EXPECT_EQ(lavoro().ElencoTitoli, QStringLiteral("ESTRATTO\r\n"));
}

// Host letters (0x85 "à", 0x8A "è", 0x95 "ò", 0x97 "ù", 0x80 "‡") read in the
// mail subject and titles, the fax directives and the clipboard titles as
// the page prints them.
TEST_F(ProvaInterprete, HostLettersReadAsOnThePageWhereverTheTitlesGo)
{
    disegna("@FAXN 021234\r\n@FAXD CLIENTE CITT\x85\r\n@TIFE AGENZIA \x8A\x95\r\n"
            "@TITO FATTURA CITT\x85 \x97\x80\r\n@TIT1 ESTRATTO PER\x95\r\n@PAGE\r\n@FAXS\r\n",
            QStringLiteral("ZETAFAX Office"));
    EXPECT_TRUE(haTesto(QStringLiteral("FATTURA CITTà ù‡"))) << "the page";
    EXPECT_EQ(lavoro().OggettoMail, QStringLiteral("FATTURA CITTà ù‡ - AGENZIA èò"));
    EXPECT_EQ(lavoro().ElencoTitoli, QStringLiteral("\r\nAGENZIA èò\r\nFATTURA CITTà ù‡ - AGENZIA èò\r\n"));
    EXPECT_EQ(direttive(di(Tipo::Testo)), (QStringList{"%%[Fax: 021234]", "%%[Name: CLIENTE CITTà]",
                                                       "%%[Organisation: AGENZIA èò]", "%%[SEND]"}));
    EXPECT_EQ(appunti, (QStringList{"", "AGENZIA èò", "ESTRATTO PERò -  - AGENZIA èò"}));
}

TEST_F(ProvaInterprete, PageNumbersOfNumberedDocuments)
{
    form.NumerazioneAttiva = true;
    form.PagineSezione = {2, 2};
    disegna("@TEXT\r\n@TXTn a\r\n@PAGE\r\n@TXTn b\r\n@PAGE\r\n");
    const auto p1 = testo(QStringLiteral("Pagina 1 di 2"));
    const auto p2 = testo(QStringLiteral("Pagina 2 di 2"));
    EXPECT_EQ(p1.pagina, 0);
    EXPECT_EQ(p2.pagina, 1);
    EXPECT_NEAR(p1.a.x(), 19, 1e-9);
    EXPECT_NEAR(p1.a.y(), 29, 1e-9);
    EXPECT_NEAR(p1.dimensione, 6, 0.05);

    ini("[FOOTER]\r\nPOSNUMPAGINA=CN\r\n");
    disegna("@TEXT\r\n@TXTn a\r\n@PAGE\r\n");
    EXPECT_NEAR(testo(QStringLiteral("Pagina 1 di 2")).a.x(), 9.5, 1e-9);

    // A new numbered document starts again at page 1 of its own count.
    form.PagineSezione = {0, 1, 3};
    disegna("@SNPG S\r\n@TXTn a\r\n@PAGE\r\n@SNPG S\r\n@TXTn b\r\n@PAGE\r\n");
    EXPECT_TRUE(haTesto(QStringLiteral("Pagina 1 di 1")));
    EXPECT_TRUE(haTesto(QStringLiteral("Pagina 1 di 3")));
}

TEST_F(ProvaInterprete, AttachmentsLeaveOutTheBookingFile)
{
    disegna("@FILE /srv/allegati/D000123.TXT\r\n@FILE /srv/allegati/d000124.txt\r\n@FILE /srv/allegati/contratto.pdf\r\n"
            "@FILE C:\\ulka\\DOC.PDF\r\n");
    EXPECT_EQ(lavoro().ElencoAllegati, (QStringList{"", "/srv/allegati/contratto.pdf", "C:\\ulka\\DOC.PDF"}));
    disegna("@FILE /a/uno.pdf\r\n@SNPG S\r\n@FILE /a/due.pdf\r\n");
    EXPECT_EQ(lavoro().ElencoAllegati, (QStringList{"", "/a/due.pdf"}));
}
