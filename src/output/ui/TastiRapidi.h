#pragma once
// Access keys for a window's buttons and check boxes, so every command is
// reached from the keyboard (Alt+letter). Each gets the first letter of its
// text that no button before it took, underlined in its caption; a picture
// button (no caption) or a caption with no free letter gets a free letter of
// its tooltip, or else of the alphabet, as its shortcut, and its tooltip
// names that key ("Vorpla (Alt+V)"); its plain tooltip is its accessible
// name. Called again whenever captions change:
// the captions given are the plain ones.

#include <QList>

class QAbstractButton;
class QAction;

namespace vorpla {

void assegnaTastiRapidi(const QList<QAbstractButton *> &pulsanti);

// The same for the items of one menu (given in their order, with their
// plain captions).
void assegnaTastiVoci(const QList<QAction *> &voci);

// The letter of a button's access key ('\0' when it has none), for checks.
QChar tastoRapido(const QAbstractButton *pulsante);

} // namespace vorpla
