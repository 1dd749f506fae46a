#pragma once
// The number conversions the program relies on, with the behaviour of the
// Visual Basic conversions they replace; failures raise ErroreVB with the
// number the messages quote (13 type mismatch, 6 overflow).
//
// - Val: the leading decimal number of a text ("12abc" -> 12, "abc" -> 0),
//   "." as decimal point whatever the locale, blanks, tabs and line feeds
//   anywhere in the number ignored ("1 2" -> 12), "&H1F"/"&O17" prefixes.
// - CDbl / IsNumeric: a whole text that is a number, read the same under
//   every locale (the desktop's it_IT and the night batch's C alike): ","
//   or "." is the decimal separator ("1,5" and "1.5" are both 1.5); a text
//   holding both follows the Italian convention, "." grouping thousands in
//   the integer part ("1.234,5" is 1234.5, "1,234.5" is no number); one
//   decimal separator at most ("1.234.567" is no number). Optional blanks
//   around, optional sign, digits, decimal part, exponent; "&H"/"&O" forms.
//   The empty text is not a number.
// - CInt / CLng: CDbl, then rounded half to even, then range checked into a
//   16-bit (CInt) or 32-bit (CLng) integer (overflow is error 6).
//
// Numbers the program writes (page numbers, the settings it stores) are
// written as they always were: whole numbers, or the text the user typed.

#include <QString>
#include <QtGlobal>

namespace vorpla {

double Val(const QString &testo);

bool IsNumeric(const QString &testo);
double CDbl(const QString &testo);
qint16 CInt(const QString &testo);
qint32 CLng(const QString &testo);

// Rounding half to even ("banker's rounding"): 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
double arrotondaPari(double valore);
// arrotondaPari into a 16-bit integer; error 6 when it does not fit.
qint16 CInt(double valore);
qint32 CLng(double valore);

} // namespace vorpla
