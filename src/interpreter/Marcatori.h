#pragma once
// Every marker of the print-stream format, with the interpreter method that
// renders it. This table is the only place a marker is named: the dispatch
// is generated from it, so a new marker is one line here and its method.
//
//   M(text, identifier)   renders with Interprete::m_<identifier>

#define VORPLA_MARCATORI(M)                                                                       \
    /* page geometry, vouchers, labels, character grid */                                        \
    M("@FORM", FORM) M("@LARG", LARG) M("@VNET", VNET) M("@PAGE", PAGE)                            \
    M("@VRIV", VRIV) M("@VRIP", VRIP) M("@PAGV", PAGV)                                             \
    M("@ETTI", ETTI) M("@ETDI", ETDI) M("@ETDF", ETDF) M("@ETRI", ETRI) M("@ETRB", ETRB)           \
    M("@ETFI", ETFI)                                                                              \
    /* text */                                                                                    \
    M("@RIGA", RIGA) M("@PgSP", PgSP)                                                             \
    M("@INTE", INTE) M("@INTV", INTV) M("@INT1", INT1) M("@INT2", INT2) M("@INT3", INT3)           \
    M("@INT4", INT4)                                                                              \
    M("@INDI", INDI) M("@IN2I", IN2I) M("@INDV", INDV) M("@INDs", INDs) M("@INDb", INDb)           \
    M("@INDn", INDn) M("@INDf", INDf) M("@IN2f", IN2f)                                             \
    M("@RIFE", RIFE) M("@RIFr", RIFr) M("@SCAD", SCAD)                                             \
    M("@TITO", TITO) M("@TIT1", TIT1) M("@TIT2", TIT2) M("@TIT3", TIT3) M("@TITB", TITB)           \
    M("@TITV", TITV) M("@TITn", TITn) M("@TITf", TITf) M("@TXTe", TXTe)                            \
    M("@DAT1", DAT1) M("@DATA", DATA) M("@DATV", DATV)                                             \
    M("@TEXT", TEXT) M("@TXTn", TXTn) M("@TXTb", TXTb) M("@TXTs", TXTs) M("@TXTc", TXTc)           \
    M("@TXTd", TXTd) M("@TXTa", TXTa)                                                             \
    M("@TXT2", TXT2) M("@TX2b", TX2b) M("@TX2s", TX2s) M("@TX2c", TX2c) M("@TX2d", TX2d)           \
    M("@TX2a", TX2a)                                                                              \
    M("@TXTV", TXTV) M("@TXVb", TXVb) M("@TXVn", TXVn)                                             \
    /* pictures */                                                                                \
    M("@LOGO", LOGO) M("@LOGV", LOGV)                                                             \
    /* fax directives, page numbers, job records */                                              \
    M("@SNPG", SNPG) M("@FILE", FILE) M("@TIFE", TIFE) M("@FAXN", FAXN) M("@FAXD", FAXD)           \
    M("@FAXS", FAXS)                                                                              \
    /* boxed tables */                                                                            \
    M("@FLDB", FLDB) M("@BOXt", BOXt) M("@BOXl", BOXl) M("@BOxp", BOxp) M("@BOXi", BOXi)           \
    M("@BoXi", BoXi) M("@BOxi", BOxi) M("@BXt1", BXt1) M("@Bxt1", Bxt1) M("@BXI1", BXI1)           \
    M("@BXi1", BXi1) M("@Bxi1", Bxi1) M("@BXr1", BXr1) M("@BXR1", BXR1) M("@BXr2", BXr2)           \
    M("@BXRI", BXRI) M("@BXri", BXri) M("@Bxfi", Bxfi) M("@Bxfn", Bxfn) M("@BxfI", BxfI)           \
    M("@BOXf", BOXf) M("@BOxf", BOxf) M("@BXT1", BXT1) M("@BXT2", BXT2)
