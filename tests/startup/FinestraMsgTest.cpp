// The "Vorpla in corso..." window as a real window (offscreen platform):
// its place, the Ctrl+C of its text box, and closing it ending the program.

#include "terminal/ui/FinestraMsg.h"

#include "common/FineProgramma.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace vorpla;

TEST(FinestraMsg, PlacedOnTopCopiesItsTextBoxAndEndsWhenClosed)
{
    FinestraMsg finestra;
    finestra.mostra();
    EXPECT_EQ(finestra.windowTitle(), QStringLiteral("Vorpla in corso..."));
    EXPECT_EQ(finestra.pos(), QPoint(200, 200));
    EXPECT_TRUE(finestra.windowFlags() & Qt::WindowStaysOnTopHint);

    QApplication::clipboard()->setText(QStringLiteral("before"));
    finestra.copia(QStringLiteral("STR2"));
    EXPECT_EQ(finestra.text1()->text(), QStringLiteral("STR2"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("STR2"));

    // Closed by the user: the wait running then ends the program.
    finestra.close();
    EXPECT_THROW(fineSeRichiesta(), FineProgramma);
    EXPECT_NO_THROW(fineSeRichiesta());
}
