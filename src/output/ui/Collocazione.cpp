#include "Collocazione.h"

#include <QPoint>
#include <QWidget>
#include <QWindow>

namespace vorpla {

void collocaFinestra(QWidget *finestra, const QPoint &angolo)
{
    // The window system is given the frame's corner (north-west gravity):
    // the window manager puts the frame there, framed yet or not.
    if (finestra->isVisible()) {
        finestra->windowHandle()->setFramePosition(angolo);
        return;
    }
    // Hidden: Qt's own place too, so that a dialog keeps it instead of
    // centring itself over its parent. Showing the window then gives it its
    // final size, and Qt places it by its client area: once it is on the
    // screen (the next change of a hidden window's visibility), its frame's
    // corner is given again.
    finestra->move(angolo);
    finestra->winId();
    QWindow *w = finestra->windowHandle();
    w->setFramePosition(angolo);
    QObject::connect(
        w, &QWindow::visibleChanged, w, [w, angolo](bool) { w->setFramePosition(angolo); }, Qt::SingleShotConnection);
}

void impostaInPrimoPiano(QWidget *finestra, bool inPrimoPiano)
{
    Qt::WindowFlags flag = finestra->windowFlags();
    if (flag.testFlag(Qt::WindowStaysOnTopHint) == inPrimoPiano)
        return;
    flag.setFlag(Qt::WindowStaysOnTopHint, inPrimoPiano);
    QWindow *w = finestra->windowHandle();
    if (!w) {
        // Not created yet: nothing on the screen to keep in place.
        finestra->setWindowFlags(flag);
        return;
    }
    // The window system is told on the window as it is (a state change the
    // window manager applies), instead of the new window a change of the
    // widget's flags would make: nothing is hidden, remapped or moved.
    finestra->overrideWindowFlags(flag);
    w->setFlags(flag);
}

} // namespace vorpla
