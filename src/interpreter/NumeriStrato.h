#pragma once
// The numbers that make a layout, each layout's in one place: the size
// table of the text rules and the margins, in the layout's own unit. The
// renderers the layouts share take them from here, so a sister layout that
// differs by a number differs here, not by a copy of a renderer.

#include <array>

namespace vorpla {

struct NumeriStrato
{
    // The size table of the text rules, entries 1 to 10 (0 unused), points.
    std::array<double, 11> dimensioni;
    // L, R and G of the text rules.
    double margineSinistro, margineDestro, rientro;
    // The layout's unit in centimetres' tenths: 1 when it measures in
    // centimetres, 10 in millimetres. Lengths the layouts share are written
    // in centimetres and multiplied by it.
    double unita;
    // How much narrower than its label a label line must be, layout units.
    double scartoEtichetta;
    // The voucher mode of a first "@VRIP" (no vouchers a page set yet), and
    // what a voucher's step loses when it is the page or a third of it.
    short modoPrimoVoucher;
    double scartoPassoVoucher;
};

// The printer's layout, in centimetres.
inline constexpr NumeriStrato NumeriStampante{{0, 11, 10, 9, 7, 10, 11, 7.5, 10, 10, 6}, 0.7, 0.7, 0.2, 1, 0.3, 0, 0};

// The PDF form's layout, in millimetres: whole-point sizes.
inline constexpr NumeriStrato NumeriPdf{{0, 11, 10, 9, 9, 10, 11, 8, 10, 10, 6}, 7, 7, 2, 10, 0.3, 1, 1};

// The preview's page, in centimetres: a 19 cm wide page with margins and
// inner gap of 0.2 cm; base and free text 11 points, titles 12, table text
// 9.5, small table text 7, two-column text 5.5.
inline constexpr NumeriStrato NumeriAnteprima{{0, 11, 10, 9, 7, 11, 12, 7, 9.5, 11, 5.5}, 0.2, 0.2, 0.2, 1, 0.3, 0, 0};

} // namespace vorpla
