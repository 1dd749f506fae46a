#pragma once
// Message boxes on the screen: Qt message boxes with the icon that fits and
// the buttons asked for, captioned with the program's name or the title
// given.

#include "common/Messaggi.h"

class QMessageBox;

namespace vorpla {

// The box for a message: title (the program's name when empty), text, the
// icon that fits (question, error, warning) and the buttons, in Italian.
void preparaMessaggio(QMessageBox &box, const QString &testo, Pulsanti pulsanti, const QString &titolo = {});

// Loads and installs Qt's Italian translations (qtbase_it); false when they
// are not installed.
bool installaTraduzioniQt();

class MessaggiQt : public Messaggi
{
public:
    Risposta mostra(const QString &testo, Pulsanti pulsanti, const QString &titolo) override;
};

} // namespace vorpla
