#pragma once
// Message boxes on the screen: plain Qt message boxes with an OK button, or
// Yes and No for questions, captioned with the program's name.

#include "common/Messaggi.h"

namespace vorpla {

class MessaggiQt : public Messaggi
{
public:
    Risposta mostra(const QString &testo, Pulsanti pulsanti) override;
};

} // namespace vorpla
