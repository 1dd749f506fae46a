#pragma once
// State of the boxed tables while a document is drawn (one set per run).
//
// A table is laid out on a grid of N characters (`CaratteriTabella`) that
// spans the space between the margins. Boxes can be nested side by side: each
// nesting level keeps its own columns, left edge, opening height, frame style
// and the horizontal rules it draws when the frame closes.

#include <QList>
#include <array>

namespace vorpla {

// One column of a template line.
struct ColonnaTabella
{
    // 'C' text, 'T', 'G' bold, 'D' right-aligned, 'B' right-aligned framed
    // total, 'I' inner vertical rule, 'F' right edge of the frame, 'i' the
    // vertical rule of heading rows.
    char tipo = 'C';
    int inizio = 1;     // start position, characters from 1
    int larghezza = 1;  // width, characters
    double x = 0;       // left edge, cm from the left margin plus the inner gap
};

struct LivelloTabella
{
    static constexpr int ColonneMassime = 30;
    static constexpr int RigheDifferiteMassime = 10;

    // Columns of the last template read at this level.
    std::array<ColonnaTabella, ColonneMassime> Colonne{};
    int NumeroColonne = 0;

    double SinistraLivello = 0; // left edge of the level's frame
    double AltoLivello = 0;     // YCorrente when the next level was opened
    char StileLivello = 'S';    // 'S' framed, 'N' unframed (outer frame), 's' thin frame
    QList<double> RigheDifferite; // heights of the rules drawn on closing
};

struct StatoTabelle
{
    static constexpr int LivelliMassimi = 10;

    double CaratteriTabella = 0;    // N
    double ScostamentoColonne = 0;  // S
    int LivelloBox = 1;             // 1 .. LivelliMassimi
    std::array<LivelloTabella, LivelliMassimi + 1> livelli{}; // [1] .. [10]

    double AltoCornice = 0;
    double AltoBox = 0;
    double AltoAnnidato = 0;
    double LarghezzaAnnidata = 0;
    double AltoTotali = 0;
    bool CorniceEsterna = false; // an outer frame is drawn on closing
    double YModello = 0;
    double XColonnaI = 0;

    LivelloTabella &livello() { return livelli[LivelloBox]; }
    const LivelloTabella &livello() const { return livelli[LivelloBox]; }
};

} // namespace vorpla
