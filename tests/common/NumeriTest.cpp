#include "common/ErroreVB.h"
#include "common/Numeri.h"

#include <cfenv>
#include <cmath>
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <utility>

using namespace vorpla;
using vorpla::prova::erroreDi;

namespace {


struct Caso
{
    const char *testo;
    double atteso;
};

TEST(NumeriVal, NumeroInTestaAlTesto)
{
    for (const Caso &c : std::initializer_list<Caso>{
             {"12abc", 12}, {"  -3.5e2x", -350}, {"1 2", 12}, {" 1\t2\n3 . 5", 123.5}, {"abc", 0}, {"", 0},
             {".5", 0.5}, {"+7", 7}, {"1.2.3", 1.2}, {"--1", 0}, {"1,5", 1}, {"1e", 1}, {"1e+", 1},
             {"1D2", 100}, {"2.5E-1", 0.25}, {"1e-400", 0},
             {"&H1F", 31}, {"&h1fz", 31}, {"&O17", 15}, {"&O178", 15}, {"&H", 0}, {"&X1", 0},
             // 16-bit values carry their sign bit, larger ones are 32-bit.
             {"&HFFFF", -1}, {"&H8000", -32768}, {"&O177777", -1}, {"&H10000", 65536},
             {"&H7FFFFFFF", 2147483647}, {"&HFFFFFFFF", -1}, {"&H0000000000FF", 255}})
        EXPECT_EQ(Val(c.testo), c.atteso) << c.testo;
    EXPECT_EQ(erroreDi([] { Val("1e400"); }), Err::Overflow);
    EXPECT_EQ(erroreDi([] { Val("&H100000000"); }), Err::Overflow);
}

TEST(NumeriIsNumeric, NelleDueConvenzioni)
{
    for (const Caso &c : std::initializer_list<Caso>{
             {"1,5", 1.5}, {"1.500,25", 1500.25}, {"1.5", 15}, {"-0,5", -0.5}, {",5", 0.5}, {"1,", 1},
             {" 3 ", 3}, {"&HFFFF", -1}})
        EXPECT_EQ(CDbl(c.testo, u','), c.atteso) << c.testo;
    for (const Caso &c : std::initializer_list<Caso>{
             {"1.5", 1.5}, {"1,500.25", 1500.25}, {"1,5", 15}, {"\t-3.25\t", -3.25}, {"+2.5e3", 2500},
             {"-1E-2", -0.01}, {"&o10", 8}, {"1e-400", 0}})
        EXPECT_EQ(CDbl(c.testo, u'.'), c.atteso) << c.testo;

    const QChar sep = separatoreDecimaleSistema();
    EXPECT_EQ(CDbl(QStringLiteral("1") + sep + QStringLiteral("5")), 1.5) << "the system's convention by default";
}

TEST(NumeriIsNumeric, TestiCheNonSonoNumeri)
{
    for (const char *testo : {"", " ", "abc", "1a", "1 2", "-", ".", "1e", "1e+", "e5", "&H", "&HG", "&H1 x",
                              "--1", "1-", "0x10", "1.2.3", ",5"}) {
        EXPECT_FALSE(IsNumeric(testo, u'.')) << testo;
        EXPECT_EQ(erroreDi([&] { CDbl(testo, u'.'); }), Err::TipoNonCorrispondente) << testo;
    }
    EXPECT_FALSE(IsNumeric("1,5,3", u','));
    EXPECT_FALSE(IsNumeric("1e400", u'.'));
    EXPECT_EQ(erroreDi([] { CDbl("1e400", u'.'); }), Err::Overflow);
    EXPECT_EQ(erroreDi([] { CDbl("&H100000000", u'.'); }), Err::Overflow);
}

TEST(NumeriCInt, ArrotondamentoEIntervallo)
{
    EXPECT_EQ(CInt("2.5", u'.'), 2);
    EXPECT_EQ(CInt("3,5", u','), 4);
    EXPECT_EQ(CInt("-2.5", u'.'), -2);
    EXPECT_EQ(CInt("2.51", u'.'), 3);
    EXPECT_EQ(CInt("32767", u'.'), 32767);
    EXPECT_EQ(CInt("-32768.5", u'.'), -32768);
    EXPECT_EQ(CLng("2147483646.5", u'.'), 2147483646);
    EXPECT_EQ(CLng("-2147483648", u'.'), -2147483647 - 1);
    for (const char *fuori : {"32768", "32767.5", "-32769"})
        EXPECT_EQ(erroreDi([&] { CInt(fuori, u'.'); }), Err::Overflow) << fuori;
    EXPECT_EQ(erroreDi([] { CLng("2147483648", u'.'); }), Err::Overflow);
    EXPECT_EQ(erroreDi([] { CInt(std::nan("")); }), Err::Overflow);

    try {
        CInt("abc", u'.');
        FAIL() << "no error raised";
    } catch (const ErroreVB &e) {
        EXPECT_EQ(e.numero(), 13);
        EXPECT_EQ(e.descrizione(), "Type mismatch");
    }
    EXPECT_EQ(erroreDi([] { CLng("", u'.'); }), Err::TipoNonCorrispondente);
}

TEST(NumeriArrotondaPari, MetaVersoIlPari)
{
    for (const auto &[valore, atteso] : std::initializer_list<std::pair<double, double>>{
             {0.5, 0}, {1.5, 2}, {2.5, 2}, {-1.5, -2}, {-2.5, -2},
             // Just beside a half the nearest integer wins.
             {0.49999999999999994, 0}, {2.5000000000000004, 3}, {-3.4999999999999996, -3},
             {4503599627370497.0, 4503599627370497.0}})
        EXPECT_EQ(arrotondaPari(valore), atteso) << valore;
    EXPECT_FALSE(std::signbit(arrotondaPari(0.5)));
    EXPECT_TRUE(std::signbit(arrotondaPari(-0.5)));

    // Whatever rounding mode the process runs in.
    const int modo = std::fegetround();
    std::fesetround(FE_UPWARD);
    const double su = arrotondaPari(2.5), suNegativo = arrotondaPari(-1.2);
    std::fesetround(FE_DOWNWARD);
    const double giu = arrotondaPari(3.5);
    std::fesetround(modo);
    EXPECT_EQ(su, 2);
    EXPECT_EQ(suNegativo, -1);
    EXPECT_EQ(giu, 4);
}

} // namespace
