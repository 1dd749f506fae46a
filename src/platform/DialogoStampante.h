#pragma once
// The system printer dialog (QPrintDialog over CUPS) on the program's
// current printer.

class QWidget;

namespace vorpla {

class Stampanti;

// Shows the dialog on the current printer; when the user confirms, the
// printer chosen becomes the current one and the answer is true. Cancelling
// changes nothing and answers false. Printing to a file is not offered: the
// program's files are made by its own PDF commands.
bool mostraDialogoStampante(Stampanti &stampanti, QWidget *padre);

} // namespace vorpla
