#include "common/Codifica.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace vorpla;

namespace {

// Every byte survives decoding and encoding again, including the five the
// code page leaves undefined: a path or a number read from a print file is
// written back exactly as the workstation sent it.
TEST(Codifica, Windows1252AndataERitorno)
{
    QByteArray tutti(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        tutti[i] = char(i);
    const QString testo = daWindows1252(tutti);
    ASSERT_EQ(testo.size(), 256);
    EXPECT_EQ(aWindows1252(testo), tutti);
}

TEST(Codifica, Windows1252CaratteriNoti)
{
    const struct
    {
        unsigned char byte;
        char16_t carattere;
    } casi[] = {
        {0x00, 0x0000}, {0x41, u'A'},   {0x7F, 0x007F}, {0x80, u'€'},   {0x81, 0x0081}, {0x82, u'‚'},
        {0x8A, u'Š'},   {0x8C, u'Œ'},   {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x91, u'‘'},
        {0x92, u'’'},   {0x93, u'“'},   {0x96, u'–'},   {0x97, u'—'},   {0x99, u'™'},   {0x9D, 0x009D},
        {0x9F, u'Ÿ'},   {0xA0, 0x00A0}, {0xA3, u'£'},   {0xE0, u'à'},   {0xE8, u'è'},   {0xFF, u'ÿ'},
    };
    for (const auto &caso : casi) {
        const QByteArray byte(1, char(caso.byte));
        EXPECT_EQ(daWindows1252(byte), QString(QChar(caso.carattere))) << "byte " << int(caso.byte);
        EXPECT_EQ(aWindows1252(QString(QChar(caso.carattere))), byte) << "byte " << int(caso.byte);
    }
}

// A character the code page cannot hold becomes one "?", in place, and the
// characters around it are kept.
TEST(Codifica, CarattereFuoriCodificaDiventaPuntoInterrogativo)
{
    const struct
    {
        QString testo;
        QByteArray atteso;
    } casi[] = {
        {QStringLiteral("€"), "\x80"},
        {QStringLiteral("a€b"), "a\x80" "b"},
        {QStringLiteral("Ω"), "?"},
        {QStringLiteral("Ā"), "?"},                         // U+0100, just past Latin-1
        {QStringLiteral("北京"), "??"},
        {QStringLiteral("città Ω €"), "citt\xE0 ? \x80"},
        {QStringLiteral("x😀y"), "x?y"},                   // outside the BMP: one character, one "?"
        {QString(QChar(0xD83D)), "?"},                     // a lone surrogate
        {QString(QChar(0xD83D)) + u'a', "?a"},
        {QString(), ""},
    };
    for (const auto &caso : casi)
        EXPECT_EQ(aWindows1252(caso.testo), caso.atteso) << caso.testo.toStdString();
}

// Whole fields are read as UTF-8 when all their bytes form valid UTF-8 and
// as Windows-1252 otherwise; a single stray byte decides for the whole field.
TEST(Codifica, TestoDaByteSceglieLaCodifica)
{
    const struct
    {
        const char *nome;
        QByteArray byte;
        QString atteso;
    } casi[] = {
        {"UTF-8", "citt\xC3\xA0", QStringLiteral("città")},
        {"Windows-1252", "citt\xE0", QStringLiteral("città")},
        {"UTF-8 euro", "\xE2\x82\xAC", QStringLiteral("€")},
        {"Windows-1252 euro", "\x80", QStringLiteral("€")},
        {"UTF-8 outside the BMP", "\xF0\x9F\x98\x80", QStringLiteral("😀")},
        {"ASCII", "C:\\ulka\\D1.TXT", QStringLiteral("C:\\ulka\\D1.TXT")},
        {"empty", "", QString()},
        {"one stray byte among UTF-8", "Forl\xC3\xAC e citt\xE0", QStringLiteral("ForlÃ¬ e città")},
        {"UTF-8 sequence cut at the end", "citt\xC3", QStringLiteral("cittÃ")},
        {"overlong form", "\xC0\xAF", QStringLiteral("À¯")},
        {"encoded surrogate", "\xED\xA0\x80", QString::fromUtf16(u"í\u00A0€")},
        {"past U+10FFFF", "\xF4\x90\x80\x80", QString::fromUtf16(u"ô\u0090€€")},
        {"continuation byte alone", "a\xA9z", QStringLiteral("a©z")},
    };
    for (const auto &caso : casi)
        EXPECT_EQ(testoDaByte(caso.byte), caso.atteso) << caso.nome;
}

} // namespace
