#pragma once
// Where a window stands on the screen. A place is always the corner of the
// window's frame, title bar included, as the user sees it: a window put at
// (0, 0) keeps its title bar on the screen and can be dragged.
//
// Under X11 a window manager frames a window only once it is mapped, and
// forgets the frame when it is unmapped (Qt unmaps a window to change its
// flags). QWidget::move on a created window places the client area by the
// frame Qt last knew of: before the frame exists, or right after a flag
// change, that puts the client area, not the frame, at the place, and the
// window ends a title bar lower than asked. These helpers give the window
// system the frame's corner instead, and change a shown window's staying on
// top without a new window.

class QPoint;
class QWidget;

namespace vorpla {

// Puts the frame's top-left corner of a top-level window at `angolo`.
void collocaFinestra(QWidget *finestra, const QPoint &angolo);

// Makes a window stay on top of the others or not, without moving, hiding
// or flashing it.
void impostaInPrimoPiano(QWidget *finestra, bool inPrimoPiano);

} // namespace vorpla
