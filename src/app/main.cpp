// Vorpla: the print companion of Ulka. main only builds the job and runs it.

#include "startup/ui/Programma.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // Without a display (a server, a script) the job runs headless.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorpla"));
    QStringList argomenti = QApplication::arguments();
    argomenti.removeFirst();
    return vorpla::Programma(argomenti).esegui();
}
