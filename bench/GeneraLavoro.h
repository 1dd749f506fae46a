#pragma once
// A realistic batch in the marker language, page after page: letterheads,
// address windows, references, dates, titles, free text, two-column small
// print, and every fourth page a character-grid page of "@RIGA" lines;
// "@FAXS" ends each document of the batch.

#include <QByteArray>

namespace vorpla::bench {

inline QByteArray lavoroRealistico(int pagine)
{
    QByteArray b;
    b += "@TIPS FATTURA\r\n@COPI 1\r\n@EMAI amministrazione@esempio.it\r\n";
    for (int p = 1; p <= pagine; ++p) {
        const QByteArray n = QByteArray::number(p);
        if (p % 4 == 0) {
            b += "@LARG 080VER\r\n";
            for (int r = 0; r < 50; ++r)
                b += "@RIGA \x02" "CODICE" "\x01 " + n + "/" + QByteArray::number(r)
                     + "   Descrizione della riga di dettaglio     12,00   1   12,00\r\n";
            b += "@RIGA --------------------------------------------------------------\r\n";
            b += "@PAGE\r\n";
            continue;
        }
        b += "@INTE\r\n@INT1 AGENZIA VIAGGI ESEMPIO S.R.L.\r\n@INT2 Via Roma 1 - 40100 Bologna\r\n"
             "@INT3 Tel. 051 000000 - P.IVA 00000000000\r\n@INT4 www.agenzia-esempio.it\r\n";
        b += "@INDI\r\n@INDs Agenzia Viaggi Esempio - Via Roma 1\r\n@INDb ROSSI MARIO\r\n"
             "@INDn Via della Libert\x85 " + n + "\r\n@INDf 47121 FORL\x8D (FC)\r\n";
        b += "@RIFE Pratica 2026/" + n + "\r\n@RIFr Cliente 000" + n + "\r\n";
        b += "@DATA Bologna, 9 dicembre 2026\r\n@TITO FATTURA N. " + n + "/2026\r\n";
        b += "@TEXT\r\n";
        for (int r = 0; r < 12; ++r)
            b += "@TXTn Soggiorno a Citt\x85 di Castello, camera doppia, notte " + QByteArray::number(r + 1)
                 + ", trattamento di mezza pensione.\r\n";
        b += "@TXTb Totale da pagare: EUR 1.450,00\r\n@TXTc Grazie per averci scelto\r\n";
        for (int r = 0; r < 10; ++r)
            b += "@TXT2 Condizione generale di vendita numero " + QByteArray::number(r + 1)
                 + ": si veda il sito dell'agenzia.\r\n";
        b += "@TXTn Fine del documento.\r\n@PAGE\r\n@FAXS\r\n";
    }
    return b;
}

} // namespace vorpla::bench
