// The pages a copy of a job has, as a long run's progress counts them when
// the form loads the job.

#include "TestSupport.h"

#include "common/ErroreVB.h"
#include "output/CaricoLavoro.h"

#include <gtest/gtest.h>

using namespace vorpla;
using namespace vorpla::prova;

TEST(PagineCopia, EveryPageEndFollowedByMoreBeginsAPage)
{
    CartellaProva cartella;
    const auto pagine = [&](const QByteArray &righe) {
        ValoriForm valori;
        contaPagineLavoro(valori, cartella.scrivi(QStringLiteral("lavoro.txt"), righe));
        return valori.PagineCopia;
    };
    EXPECT_EQ(pagine("@TITO UNO\r\n"), 1);
    // The last page's end begins nothing, nor do empty lines after it.
    EXPECT_EQ(pagine("@TITO UNO\r\n@PAGE\r\n@TITO DUE\r\n@PAGE\r\n\r\n"), 2);
    // Page ends in a row begin one page; blanks before the marker count.
    EXPECT_EQ(pagine("@TITO UNO\r\n  @PAGE\r\n@PAGE\r\n@TITO DUE\r\n"), 2);
    // A fax directive right after a page end does not begin the page; the
    // line after it does.
    EXPECT_EQ(pagine("@TITO UNO\r\n@PAGE\r\n@FAXS 0612345\r\n@TITO DUE\r\n"), 2);
    EXPECT_EQ(pagine(""), 1);
    // A print file that is not there is the loader's error, as for the table.
    ValoriForm valori;
    try {
        contaPagineLavoro(valori, cartella.percorso(QStringLiteral("manca.txt")));
        ADD_FAILURE() << "no error for a missing print file";
    } catch (const ErroreVB &e) {
        EXPECT_EQ(e.numero(), 53);
    }
}
