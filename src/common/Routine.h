#pragma once
// The error convention. Every procedure that traps errors first records its
// name in NomeRoutine ("frmMain - Form_Load"); where no specific handling
// exists the error is reported with the standard message
//   "Routine " + NomeRoutine + CR + " Errore N." + number + " " + description
// so the help desk can tell which procedure failed.

#include "ErroreVB.h"

#include <QString>

namespace vorpla {

// NomeRoutine = modulo + " - " + procedura.
void impostaRoutine(const QString &modulo, const QString &procedura);

// The standard message for an error, naming the current NomeRoutine.
QString messaggioRoutine(int numero, const QString &descrizione);
QString messaggioRoutine(const ErroreVB &errore);

// Writes one line on standard error, at once.
void scriviErrore(const QString &riga);

// Shows the standard message (OK button).
void mostraErroreRoutine(const ErroreVB &errore);

} // namespace vorpla
