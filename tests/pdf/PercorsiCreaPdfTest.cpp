// Where the quality PDF route spools and writes, by [PDF] of vorpla.ini and
// the kind of job.

#include "pdf/PercorsiCreaPdf.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace vorpla;

namespace {
const QString Temp = QStringLiteral("/opt/ulka/temp/");
const QString Spool = QStringLiteral("/srv/spool/");
} // namespace

TEST(PercorsiCreaPdf, SpoolFolderAndPdfByTheSettingsAndTheJob)
{
    // Interactive, no FORZAPORTA: PORTA is not even looked at.
    ImpostazioniPdf ini{QString(), QStringLiteral("\\\\server\\spool"), QStringLiteral("/srv/pdf/x.pdf")};
    EXPECT_EQ(cartellaSpool(ini, false, Temp), Temp);
    EXPECT_EQ(percorsoPdf(ini, false, Temp, Temp, QStringLiteral("D0012345"), QString()),
              QStringLiteral("/opt/ulka/temp/D0012345.PDF"));
    // A PDF-only job spools where PORTA says, separators made Linux's.
    EXPECT_EQ(cartellaSpool(ini, true, Temp), QStringLiteral("//server/spool/"));
    ini.porta.clear();
    EXPECT_EQ(cartellaSpool(ini, true, Temp), Temp);

    // "PDF" without CARTELLA and FORZAPORTA: the "WB" sibling of the
    // temporary folder.
    ImpostazioniPdf vuoto;
    EXPECT_EQ(percorsoPdf(vuoto, true, Temp, Temp, QStringLiteral("D1"), QString()),
              QStringLiteral("/opt/ulka/tempWB/D1.PDF"));
    // With FORZAPORTA: the spool folder, for interactive jobs too.
    ImpostazioniPdf forza{QStringLiteral("1"), QString(), QString()};
    EXPECT_EQ(percorsoPdf(forza, false, Spool, Temp, QStringLiteral("D1"), QString()),
              QStringLiteral("/srv/spool/D1.PDF"));
    // CARTELLA without ".pdf" gets it; a "NO" destination beats CARTELLA.
    ImpostazioniPdf cartella{QString(), QString(), QStringLiteral("C:\\Ulka\\pdf\\ultimo")};
    EXPECT_EQ(percorsoPdf(cartella, true, Temp, Temp, QStringLiteral("D1"), QString()),
              QStringLiteral("C:/Ulka/pdf/ultimo.pdf"));
    EXPECT_EQ(percorsoPdf(cartella, true, Temp, Temp, QStringLiteral("D1"), QStringLiteral("/srv/out/doc.PDF")),
              QStringLiteral("/srv/out/doc.PDF"));
    EXPECT_EQ(percorsoPdf(vuoto, true, Temp, Temp, QStringLiteral("D1"), QStringLiteral("/srv/out/doc")),
              QStringLiteral("/srv/out/doc.pdf"));
}
