#include "common/TabellaCaratteri.h"

#include <gtest/gtest.h>

using namespace vorpla;

namespace {

QByteArray byte(std::initializer_list<int> valori)
{
    QByteArray b;
    for (int v : valori)
        b.append(static_cast<char>(v));
    return b;
}

} // namespace

TEST(TabellaCaratteri, TabellaHostWin)
{
    CARATTERI_WINPC();
    CARATTERI_WINPC(); // building again changes nothing
    const TabellaCaratteriHost &t = TabellaHostWin();

    // ASCII is the identity.
    for (int c = 0; c < 128; ++c)
        EXPECT_EQ(t[c], c) << c;

    // Letters moved to their Windows codes.
    EXPECT_EQ(t[0x80], 0x87);
    EXPECT_EQ(t[0x87], 0xE7);
    EXPECT_EQ(t[0x8D], 0xA1);
    EXPECT_EQ(t[0x90], 0xC9);
    EXPECT_EQ(t[0x9C], 0xA3);
    EXPECT_EQ(t[0xA3], 0xFA);
    EXPECT_EQ(t[0xF1], 0xB1);
    EXPECT_EQ(t[0xFD], 0xB2);

    // Codes left as the host wrote them, listed or not.
    for (int c : {0x81, 0x82, 0x85, 0x8A, 0x95, 0x97, 0xA1, 0xC4, 0xDA, 0xFB, 0x86, 0xE0, 0xFF})
        EXPECT_EQ(t[c], c) << std::hex << c;

    // Host "ÿ" becomes byte 0.
    EXPECT_EQ(t[0x98], 0x00);

    // Box drawing: shades to blanks, verticals to "|", doubles to "=",
    // crossings to "+", some corners to the Windows dash.
    for (int c : {0xB0, 0xB1, 0xB2})
        EXPECT_EQ(t[c], ' ') << std::hex << c;
    for (int c : {0xB3, 0xB4, 0xBA, 0xC3, 0xCC})
        EXPECT_EQ(t[c], '|') << std::hex << c;
    for (int c : {0xB8, 0xBB, 0xC8, 0xCD, 0xD8})
        EXPECT_EQ(t[c], '=') << std::hex << c;
    for (int c : {0xD0, 0xD2, 0xD7})
        EXPECT_EQ(t[c], '+') << std::hex << c;
    for (int c : {0xB7, 0xBD, 0xD3, 0xD6})
        EXPECT_EQ(t[c], 0x97) << std::hex << c;
}

TEST(TabellaCaratteri, ConvertiHostWin)
{
    // ASCII untouched (and control characters too).
    const QByteArray ascii("CONFERMA PRENOTAZIONE N. 123\t\r\f");
    EXPECT_EQ(convertiHostWin(ascii), ascii);
    EXPECT_EQ(convertiHostWin(QByteArray()), QByteArray());
    EXPECT_EQ(convertiHostWin(byte({'a', 0x00, 'b'})), byte({'a', 0x00, 'b'}));

    // Host 0x98 gives a 0 that stays inside the line.
    const QByteArray conZero = convertiHostWin(byte({'a', 0x98, 'b', 0xB3, 'c'}));
    ASSERT_EQ(conZero.size(), 5);
    EXPECT_EQ(conZero, byte({'a', 0x00, 'b', '|', 'c'}));

    // The first byte, the last byte and ASCII in between.
    EXPECT_EQ(convertiHostWin(byte({0xC9, 0xCD, 'X', 0xCD, 0xBB})), byte({'=', '=', 'X', '=', '='}));
    EXPECT_EQ(convertiHostWin(byte({'x', 0x87})), byte({'x', 0xE7}));

    // A framed line of a print file.
    EXPECT_EQ(convertiHostWin(byte({0xB3, ' ', 'R', 'o', 'm', 'a', ' ', 0xB3, 0xC5, 0xC4})),
              byte({'|', ' ', 'R', 'o', 'm', 'a', ' ', '|', 0xC5, 0xC4}));

    // Every byte goes through the table.
    QByteArray tutti;
    for (int c = 0; c < 256; ++c)
        tutti.append(static_cast<char>(c));
    const QByteArray convertiti = convertiHostWin(tutti);
    ASSERT_EQ(convertiti.size(), 256);
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(static_cast<unsigned char>(convertiti[c]), TabellaHostWin()[c]) << c;
}

TEST(TabellaCaratteri, FraseItalianaConFontSostitutivo)
{
    const QByteArray host("Citt\x85 di Forl\x8D, perch\x82 pi\x97 caff\x8A e per\x95");
    EXPECT_EQ(decodificaPerVisualizzazione(convertiHostWin(host), false),
              QStringLiteral("Città di Forlì, perché più caffè e però"));

    // Capitals and other letters the host writes.
    const QByteArray nomi("\x90LISE Fran\x87ois \x9C 10 \xAE\xF1\xAF \xC4\xC4 Ni\xA4o");
    EXPECT_EQ(decodificaPerVisualizzazione(convertiHostWin(nomi), false),
              QStringLiteral("ÉLISE François £ 10 «±» ── Niño"));
}

TEST(TabellaCaratteri, FontSostitutivo)
{
    // ASCII, 0 included.
    EXPECT_EQ(carattereFontSostitutivo(0).unicode(), 0);
    EXPECT_EQ(carattereFontSostitutivo('A'), QChar(u'A'));
    EXPECT_EQ(carattereFontSostitutivo(0x7F).unicode(), 0x7F);

    // Only the host writes these: cp437.
    EXPECT_EQ(carattereFontSostitutivo(0x85), QChar(u'à'));
    EXPECT_EQ(carattereFontSostitutivo(0x8A), QChar(u'è'));
    EXPECT_EQ(carattereFontSostitutivo(0x82), QChar(u'é'));
    EXPECT_EQ(carattereFontSostitutivo(0x81), QChar(u'ü'));
    EXPECT_EQ(carattereFontSostitutivo(0xC4), QChar(u'─'));
    EXPECT_EQ(carattereFontSostitutivo(0xDA), QChar(u'┌'));
    EXPECT_EQ(carattereFontSostitutivo(0xF8), QChar(u'°'));
    EXPECT_EQ(carattereFontSostitutivo(0xE0), QChar(u'α'));

    // Only the remapping produces these: cp1252.
    EXPECT_EQ(carattereFontSostitutivo(0x87), QChar(u'‡'));
    EXPECT_EQ(carattereFontSostitutivo(0xC9), QChar(u'É'));
    EXPECT_EQ(carattereFontSostitutivo(0xA3), QChar(u'£'));
    EXPECT_EQ(carattereFontSostitutivo(0xAB), QChar(u'«'));
    EXPECT_EQ(carattereFontSostitutivo(0xB1), QChar(u'±'));
    EXPECT_EQ(carattereFontSostitutivo(0xFA), QChar(u'ú'));

    // Never produced: cp1252, undefined codes as C1 controls.
    EXPECT_EQ(carattereFontSostitutivo(0x80), QChar(u'€'));
    EXPECT_EQ(carattereFontSostitutivo(0x8E), QChar(u'Ž'));
    EXPECT_EQ(carattereFontSostitutivo(0xB3), QChar(u'³'));
    EXPECT_EQ(carattereFontSostitutivo(0xD0), QChar(u'Ð'));
    for (int c : {0x8D, 0x90, 0x9D})
        EXPECT_EQ(carattereFontSostitutivo(c).unicode(), c) << std::hex << c;
}

TEST(TabellaCaratteri, ConflittiDelFontSostitutivo)
{
    // Italian letters win.
    EXPECT_EQ(carattereFontSostitutivo(0x95), QChar(u'ò'));
    EXPECT_EQ(carattereFontSostitutivo(0x97), QChar(u'ù'));
    EXPECT_EQ(carattereFontSostitutivo(0xA1), QChar(u'ì'));
    // Letters over rarely used symbols, the host's letter where both mean one.
    EXPECT_EQ(carattereFontSostitutivo(0x83), QChar(u'â'));
    EXPECT_EQ(carattereFontSostitutivo(0x84), QChar(u'ä'));
    EXPECT_EQ(carattereFontSostitutivo(0xA5), QChar(u'Ñ'));
    // The remapped letter where the host's code is a symbol or rarer letter.
    EXPECT_EQ(carattereFontSostitutivo(0xE1), QChar(u'á'));
    EXPECT_EQ(carattereFontSostitutivo(0xE6), QChar(u'æ'));
    EXPECT_EQ(carattereFontSostitutivo(0xE7), QChar(u'ç'));
    EXPECT_EQ(carattereFontSostitutivo(0xF3), QChar(u'ó'));

    // Through the whole chain: the host's own letters at those codes.
    const QByteArray host("M\xA0laga, \xA2, \x91, Ch\x83teau, ESPA\xA5\x41");
    EXPECT_EQ(decodificaPerVisualizzazione(convertiHostWin(host), false),
              QStringLiteral("Málaga, ó, æ, Château, ESPAÑA"));
}

TEST(TabellaCaratteri, FontOemInstallatoRiceveWindows1252)
{
    // Windows-1252 in full: the codes 0x80..0x9F, Latin-1 above.
    EXPECT_EQ(decodificaPerVisualizzazione(byte({0x80, 0x84, 0x85, 0x8A, 0x95, 0x97, 0x9F}), true),
              QStringLiteral("€„…Š•—Ÿ"));
    EXPECT_EQ(decodificaPerVisualizzazione(byte({0xA3, 0xC9, 0xE0, 0xE7, 0xFF}), true),
              QStringLiteral("£Éàçÿ"));

    // The undefined codes pass as the C1 controls of the same number.
    for (int c : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(decodificaPerVisualizzazione(byte({c}), true), QString(QChar(c))) << std::hex << c;

    // The font's own glyphs do the host's letters: the same bytes that read
    // "città" through the fallback are handed over unchanged.
    const QByteArray convertito = convertiHostWin(QByteArray("citt\x85"));
    EXPECT_EQ(decodificaPerVisualizzazione(convertito, true), QStringLiteral("citt…"));
    EXPECT_EQ(decodificaPerVisualizzazione(convertito, false), QStringLiteral("città"));
}

TEST(TabellaCaratteri, DecodificaConservaLoZero)
{
    const QByteArray convertito = convertiHostWin(byte({'a', 0x98, 'b'}));
    for (bool oem : {true, false}) {
        const QString testo = decodificaPerVisualizzazione(convertito, oem);
        ASSERT_EQ(testo.size(), 3);
        EXPECT_EQ(testo[0], QChar(u'a'));
        EXPECT_EQ(testo[1].unicode(), 0);
        EXPECT_EQ(testo[2], QChar(u'b'));
    }
    EXPECT_TRUE(decodificaPerVisualizzazione(QByteArray(), false).isEmpty());
}

// Host text everywhere but the page reads as the page shows it.
TEST(TabellaCaratteri, TestoDalHostComeSullaPagina)
{
    for (int h = 1; h < 256; ++h) {
        const QByteArray host = byte({h});
        const QChar pagina = decodificaPerVisualizzazione(convertiHostWin(host), false).at(0);
        if (pagina.unicode() == 0)
            continue; // host 0x98, below
        EXPECT_EQ(testoDalHost(host), QString(pagina)) << std::hex << h;
        EXPECT_EQ(testoDaConvertito(convertiHostWin(host)), QString(pagina)) << std::hex << h;
    }
    EXPECT_EQ(testoDalHost("CITT\x85 \x8A\x95\x97\x80 \xB3"), QStringLiteral("CITTà èòù‡ |"));
    // What the page draws as a missing glyph is said so, never a NUL that
    // would cut a clipboard text or a file name short.
    EXPECT_EQ(testoDalHost(byte({'a', 0x98, 0x00, 'b'})), QStringLiteral("a\uFFFD\uFFFDb"));
}

TEST(TabellaCaratteri, ByteHostRiscriveCiòCheLaPaginaMostra)
{
    // Every character the page shows from some host byte goes back to a
    // host byte that shows it again.
    for (int h = 0; h < 256; ++h) {
        const QString letto = testoDalHost(byte({h}));
        qsizetype rifiutato = 0;
        const QByteArray scritto = byteHost(letto, rifiutato);
        EXPECT_EQ(rifiutato, -1) << std::hex << h;
        EXPECT_EQ(testoDalHost(scritto), letto) << std::hex << h;
    }
    // The plainest code of several: ASCII, else the host's own letter.
    qsizetype rifiutato = 0;
    EXPECT_EQ(byteHost(QStringLiteral("CITTà èòù‡ | ì ç \uFFFD"), rifiutato),
              QByteArray("CITT\x85 \x8A\x95\x97\x80 | \x8D \x87 \x98"));
    EXPECT_EQ(rifiutato, -1);

    // What the host cannot hold, or would print as another character.
    for (const QString &testo : {QStringLiteral("prezzo 5€"), QStringLiteral("Andò…"), QStringLiteral("Andrés í"),
                                 QStringLiteral("Ça va"), QStringLiteral("viaggio \U0001F600")}) {
        byteHost(testo, rifiutato);
        ASSERT_GE(rifiutato, 0) << testo.toStdString();
        EXPECT_TRUE(QStringLiteral("€…íÇ\U0001F600").contains(testo.at(rifiutato))) << testo.toStdString();
    }
    byteHost(QStringLiteral("Ça va"), rifiutato);
    EXPECT_EQ(rifiutato, 0);
}
