#pragma once
// Message boxes. Every message and question of the program goes through one
// process-wide Messaggi object: Qt message boxes when there is a display,
// standard error when there is none, scripted answers in tests.

#include <QString>

namespace vorpla {

enum class Pulsanti { Ok, SiNo, SiNoAnnulla, OkAnnulla };
enum class Risposta { Ok, Si, No, Annulla };

class Messaggi
{
public:
    virtual ~Messaggi() = default;
    // Shows the text (lines separated by CR, LF or CR LF) under the title
    // (the program's name when empty) and waits for the answer. Questions
    // answer Si or No, and Annulla with SiNoAnnulla; OkAnnulla answers Ok or
    // Annulla.
    virtual Risposta mostra(const QString &testo, Pulsanti pulsanti = Pulsanti::Ok, const QString &titolo = {}) = 0;
};

// Writes every message to standard error. A question cannot be answered
// without a user: it is written with its answer, No (Annulla when it can
// be cancelled), the choice that keeps the job where it is.
class MessaggiErroreStandard : public Messaggi
{
public:
    Risposta mostra(const QString &testo, Pulsanti pulsanti, const QString &titolo) override;
};

// The process-wide message boxes (standard error until set).
Messaggi &messaggi();
// Installs m (not owned; nullptr restores standard error). Returns the
// previous one.
Messaggi *impostaMessaggi(Messaggi *m);

// What a message is, for the icon it carries: a question (it has a choice),
// an error (the routine message, and the texts that report a failure) or a
// warning (every other message asks the user to look at something).
enum class TipoMessaggio { Errore, Avviso, Domanda };
TipoMessaggio tipoMessaggio(const QString &testo, Pulsanti pulsanti);

// A message's text with its line breaks made readable on a terminal.
QString testoPerTerminale(const QString &testo);

} // namespace vorpla
