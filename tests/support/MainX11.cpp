#include <QApplication>
#include <cstdio>
#include <gtest/gtest.h>

// Windows on the test X server with its window manager (scripts/
// schermo-di-prova.sh), under Qt's xcb platform: what a desktop user sees.
// Without that server (a CTest listing at build time, a run by hand) the
// program still starts, offscreen, and its tests fail saying why.
int main(int argc, char **argv)
{
    const QByteArray schermo = qgetenv("VORPLA_X_DISPLAY");
    if (qgetenv("VORPLA_X_TEST") == "1" && !schermo.isEmpty()) {
        qputenv("DISPLAY", schermo);
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
