#pragma once
// A realistic batch in the marker language, page after page: a numbered
// document each page with fax directives, a logo or a text letterhead,
// address windows, references, dates, titles, a boxed table, free text with
// an inline picture, two-column small print, attachments, and every fourth
// page a character-grid page of "@RIGA" lines; "@FAXS" ends each document.
// `figura` is the path of a picture for the inline pictures; the logo is
// "logo.bmp" of the program folder.

#include <QByteArray>

namespace vorpla::bench {

inline QByteArray lavoroRealistico(int pagine, const QByteArray &figura = "figura.png")
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
        b += "@SNPG S\r\n@FAXN 051/" + n + "\r\n@FAXD Cliente " + n + "\r\n@TIFE Agenzia Viaggi Esempio\r\n";
        b += "@INTE\r\n";
        if (p % 2 == 0)
            b += "@LOGO logo.bmp\r\n";
        b += "@INT1 AGENZIA VIAGGI ESEMPIO S.R.L.\r\n@INT2 Via Roma 1 - 40100 Bologna\r\n"
             "@INT3 Tel. 051 000000 - P.IVA 00000000000\r\n@INT4 www.agenzia-esempio.it\r\n";
        b += "@INDI\r\n@INDs Agenzia Viaggi Esempio - Via Roma 1\r\n@INDb ROSSI MARIO\r\n"
             "@INDn Via della Libert\x85 " + n + "\r\n@INDf 47121 FORL\x8D (FC)\r\n";
        b += "@RIFE Pratica 2026/" + n + "\r\n@RIFr Cliente 000" + n + "\r\n";
        b += "@DATA Bologna, 9 dicembre 2026\r\n@TITO FATTURA N. " + n + "/2026\r\n";
        b += "@BOXt 080\r\n@BOXi 080\r\n"
             "@BXt1 c         Cd                         Dt        Tg      GI b        BF\r\n"
             "@BXI1 Codice    Descrizione                Data      Q.ta    Imp Totale\r\n";
        for (int r = 0; r < 4; ++r)
            b += "@BXr1 HTL" + QByteArray::number(r) + "      Hotel Bellavista camera " + QByteArray::number(r)
                 + "    01/12     2       10     120,00\r\n";
        b += "@BXRI\r\n@BOXf\r\n@BXT1 Totale                                                       480,00\r\n";
        b += "@TEXT\r\n@TXTn Programma <<IMG=" + figura + ";150;;20;10>>del viaggio\r\n";
        for (int r = 0; r < 8; ++r)
            b += "@TXTn Soggiorno a Citt\x85 di Castello, camera doppia, notte " + QByteArray::number(r + 1)
                 + ", trattamento di mezza pensione.\r\n";
        b += "@TXTb Totale da pagare: EUR 1.450,00\r\n@TXTc Grazie per averci scelto\r\n";
        for (int r = 0; r < 10; ++r)
            b += "@TXT2 Condizione generale di vendita numero " + QByteArray::number(r + 1)
                 + ": si veda il sito dell'agenzia.\r\n";
        b += "@FILE /srv/allegati/contratto" + n + ".pdf\r\n@FILE /srv/allegati/D" + n + ".TXT\r\n";
        b += "@TXTn Fine del documento.\r\n@PAGE\r\n@FAXS\r\n";
    }
    return b;
}

} // namespace vorpla::bench
