#include "common/ErroreVB.h"
#include "common/Numeri.h"

#include <QLocale>

#include <cfenv>
#include <clocale>
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

// The test command runs this group once under C.UTF-8 (cron's, systemd's)
// and once under it_IT.UTF-8 (the agent's desktop), naming the locale in
// VORPLA_LOCALE_ATTESO: the run first proves it is in that locale, for Qt
// and for the C library alike, so the same answers below mean the same
// reading under both.
TEST(NumeriCDbl, LaStessaLetturaSottoOgniLocale)
{
    const QByteArray atteso = qgetenv("VORPLA_LOCALE_ATTESO");
    if (!atteso.isEmpty()) {
        const bool italiano = atteso.startsWith("it_IT");
        EXPECT_EQ(QLocale::system().decimalPoint(), italiano ? QStringLiteral(",") : QStringLiteral(".")) << atteso.constData();
        EXPECT_STREQ(std::localeconv()->decimal_point, italiano ? "," : ".") << "the C library's locale " << atteso.constData();
    }
    for (const Caso &c : std::initializer_list<Caso>{
             {"1,5", 1.5}, {"1.5", 1.5}, {"-0,5", -0.5}, {",5", 0.5}, {".5", 0.5}, {"1,", 1}, {"1.", 1},
             // With both, "." groups thousands, as Italian writes them.
             {"1.500,25", 1500.25}, {"1.234.567,5", 1234567.5},
             {" 3 ", 3}, {"\t-3.25\t", -3.25}, {"+2.5e3", 2500}, {"2,5E3", 2500}, {"-1E-2", -0.01},
             {"&HFFFF", -1}, {"&o10", 8}, {"1e-400", 0}}) {
        EXPECT_EQ(CDbl(c.testo), c.atteso) << c.testo;
        EXPECT_TRUE(IsNumeric(c.testo)) << c.testo;
    }
}

TEST(NumeriIsNumeric, TestiCheNonSonoNumeri)
{
    for (const char *testo : {"", " ", "abc", "1a", "1 2", "-", ".", ",", "1e", "1e+", "e5", "&H", "&HG", "&H1 x",
                              "--1", "1-", "0x10",
                              // One decimal separator at most; "," after "." is no Italian number.
                              "1.2.3", "1.234.567", "1,5,3", "1,234.5"}) {
        EXPECT_FALSE(IsNumeric(testo)) << testo;
        EXPECT_EQ(erroreDi([&] { CDbl(testo); }), Err::TipoNonCorrispondente) << testo;
    }
    EXPECT_FALSE(IsNumeric("1e400"));
    EXPECT_EQ(erroreDi([] { CDbl("1e400"); }), Err::Overflow);
    EXPECT_EQ(erroreDi([] { CDbl("&H100000000"); }), Err::Overflow);
}

TEST(NumeriCInt, ArrotondamentoEIntervallo)
{
    EXPECT_EQ(CInt("2.5"), 2);
    EXPECT_EQ(CInt("3,5"), 4);
    EXPECT_EQ(CInt("-2.5"), -2);
    EXPECT_EQ(CInt("2,51"), 3);
    EXPECT_EQ(CInt("32767"), 32767);
    EXPECT_EQ(CInt("-32768.5"), -32768);
    EXPECT_EQ(CLng("2147483646.5"), 2147483646);
    EXPECT_EQ(CLng("-2147483648"), -2147483647 - 1);
    for (const char *fuori : {"32768", "32767.5", "-32769"})
        EXPECT_EQ(erroreDi([&] { CInt(fuori); }), Err::Overflow) << fuori;
    EXPECT_EQ(erroreDi([] { CLng("2147483648"); }), Err::Overflow);
    EXPECT_EQ(erroreDi([] { CInt(std::nan("")); }), Err::Overflow);

    try {
        CInt("abc");
        FAIL() << "no error raised";
    } catch (const ErroreVB &e) {
        EXPECT_EQ(e.numero(), 13);
        EXPECT_EQ(e.descrizione(), "Type mismatch");
    }
    EXPECT_EQ(erroreDi([] { CLng(""); }), Err::TipoNonCorrispondente);
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
