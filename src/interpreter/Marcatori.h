#pragma once
// Every marker of the print-stream format, with the method that renders it
// and the layouts that render it. This table is the only place a marker is
// named: each layout's dispatch and its renderers' declarations are
// generated from its column, so a new marker is one line here and its
// method, and a marker a layout does not handle is absent from its dispatch.
//
//   M(text, identifier, printer, pdf, preview)
//
// The printer column holds S when the printer renders the marker with
// m_<identifier>. A sister layout's column holds its own letter (P the PDF
// form, A the preview) when it renders the marker with a renderer of its own
// (p_<identifier>, a_<identifier>), S when it renders it with the printer's
// renderer, lengths in its own unit, and _ when it does not handle it.
// "@PAGE" and "@PAGV" end the preview's page in its reader.

// A column's entry kept (its layout's letter) or dropped (_).
#define VORPLA_SE_S(...) __VA_ARGS__
#define VORPLA_SE_P(...) __VA_ARGS__
#define VORPLA_SE_A(...) __VA_ARGS__
#define VORPLA_SE__(...)

#define VORPLA_MARCATORI(M)                                                                       \
    /* page geometry, vouchers, labels, character grid */                                          \
    M("@FORM", FORM, S, _, _) M("@LARG", LARG, S, P, _) M("@VNET", VNET, S, _, _)                  \
    M("@PAGE", PAGE, S, P, _) M("@VRIV", VRIV, S, P, _) M("@VRIP", VRIP, S, S, _)                  \
    M("@PAGV", PAGV, S, S, _) M("@ETTI", ETTI, S, P, _) M("@ETDI", ETDI, S, S, _)                  \
    M("@ETDF", ETDF, S, S, _) M("@ETRI", ETRI, S, S, _) M("@ETRB", ETRB, S, S, _)                  \
    M("@ETFI", ETFI, S, S, _)                                                                      \
    /* text */                                                                                     \
    M("@RIGA", RIGA, S, P, _) M("@PgSP", PgSP, S, _, _) M("@INTE", INTE, S, S, S)                  \
    M("@INTV", INTV, S, S, A) M("@INT1", INT1, S, S, S) M("@INT2", INT2, S, S, S)                  \
    M("@INT3", INT3, S, S, S) M("@INT4", INT4, S, S, _) M("@INDI", INDI, S, P, A)                  \
    M("@IN2I", IN2I, S, _, _) M("@INDV", INDV, S, P, A) M("@INDs", INDs, S, _, _)                  \
    M("@INDb", INDb, S, P, S) M("@INDn", INDn, S, P, S) M("@INDf", INDf, S, P, A)                  \
    M("@IN2f", IN2f, S, _, _) M("@RIFE", RIFE, S, S, S) M("@RIFr", RIFr, S, S, S)                  \
    M("@SCAD", SCAD, S, P, _) M("@TITO", TITO, S, P, A) M("@TIT1", TIT1, S, P, A)                  \
    M("@TIT2", TIT2, S, P, S) M("@TIT3", TIT3, S, P, S) M("@TITB", TITB, S, P, A)                  \
    M("@TITV", TITV, S, P, A) M("@TITn", TITn, S, P, _) M("@TITf", TITf, S, P, _)                  \
    M("@TXTe", TXTe, S, P, _) M("@DAT1", DAT1, S, P, S) M("@DATA", DATA, S, P, A)                  \
    M("@DATV", DATV, S, P, A) M("@TEXT", TEXT, S, P, A) M("@TXTn", TXTn, S, P, S)                  \
    M("@TXTb", TXTb, S, P, S) M("@TXTs", TXTs, S, P, _) M("@TXTc", TXTc, S, P, _)                  \
    M("@TXTd", TXTd, S, P, _) M("@TXTa", TXTa, S, P, _) M("@TXT2", TXT2, S, P, S)                  \
    M("@TX2b", TX2b, S, P, _) M("@TX2s", TX2s, S, P, _) M("@TX2c", TX2c, S, P, _)                  \
    M("@TX2d", TX2d, S, P, _) M("@TX2a", TX2a, S, P, _) M("@TXTV", TXTV, S, P, A)                  \
    M("@TXVb", TXVb, S, P, S) M("@TXVn", TXVn, S, P, S)                                            \
    /* pictures */                                                                                 \
    M("@LOGO", LOGO, S, P, S) M("@LOGV", LOGV, S, P, A)                                            \
    /* fax directives, page numbers, job records */                                                \
    M("@SNPG", SNPG, S, S, _) M("@FILE", FILE, S, P, _) M("@TIFE", TIFE, S, P, _)                  \
    M("@FAXN", FAXN, S, P, _) M("@FAXD", FAXD, S, P, _) M("@FAXS", FAXS, S, P, _)                  \
    /* boxed tables */                                                                             \
    M("@FLDB", FLDB, S, S, _) M("@BOXt", BOXt, S, S, S) M("@BOXl", BOXl, S, S, S)                  \
    M("@BOxp", BOxp, S, S, S) M("@BOXi", BOXi, S, S, S) M("@BoXi", BoXi, S, S, S)                  \
    M("@BOxi", BOxi, S, S, S) M("@BXt1", BXt1, S, S, S) M("@Bxt1", Bxt1, S, S, S)                  \
    M("@BXI1", BXI1, S, S, S) M("@BXi1", BXi1, S, S, S) M("@Bxi1", Bxi1, S, S, S)                  \
    M("@BXr1", BXr1, S, S, S) M("@BXR1", BXR1, S, S, S) M("@BXr2", BXr2, S, S, _)                  \
    M("@BXRI", BXRI, S, S, S) M("@BXri", BXri, S, S, S) M("@Bxfi", Bxfi, S, S, S)                  \
    M("@Bxfn", Bxfn, S, S, S) M("@BxfI", BxfI, S, S, S) M("@BOXf", BOXf, S, S, S)                  \
    M("@BOxf", BOxf, S, S, S) M("@BXT1", BXT1, S, S, S) M("@BXT2", BXT2, S, _, _)                  \
    /* the sister layouts' own */                                                                  \
    M("@DAT3", DAT3, _, P, A) M("@TXTf", TXTf, _, _, A)
