#pragma once
// The number conversions the program relies on, with the behaviour of the
// Visual Basic conversions they replace; failures raise ErroreVB with the
// number the messages quote (13 type mismatch, 6 overflow).
//
// - Val: the leading decimal number of a text ("12abc" -> 12, "abc" -> 0),
//   "." as decimal point whatever the locale, blanks, tabs and line feeds
//   anywhere in the number ignored ("1 2" -> 12), "&H1F"/"&O17" prefixes.
// - CDbl / IsNumeric: a whole text that is a number in the system's decimal
//   convention (the decimal separator of the user's locale; the other one of
//   "," and "." is a grouping separator and is ignored): optional blanks
//   around, optional sign, digits, decimal part, exponent; "&H"/"&O" forms.
//   The empty text is not a number.
// - CInt / CLng: CDbl, then rounded half to even, then range checked into a
//   16-bit (CInt) or 32-bit (CLng) integer (overflow is error 6).

#include <QChar>
#include <QString>
#include <QtGlobal>

namespace vorpla {

// The decimal separator of the user's locale ("," for it_IT, "." for C).
QChar separatoreDecimaleSistema();

double Val(const QString &testo);

bool IsNumeric(const QString &testo, QChar separatoreDecimale = separatoreDecimaleSistema());
double CDbl(const QString &testo, QChar separatoreDecimale = separatoreDecimaleSistema());
qint16 CInt(const QString &testo, QChar separatoreDecimale = separatoreDecimaleSistema());
qint32 CLng(const QString &testo, QChar separatoreDecimale = separatoreDecimaleSistema());

// Rounding half to even ("banker's rounding"): 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
double arrotondaPari(double valore);
// arrotondaPari into a 16-bit integer; error 6 when it does not fit.
qint16 CInt(double valore);
qint32 CLng(double valore);

} // namespace vorpla
