#pragma once
// The voucher page settings dialog ("Impostazioni "): the four keys of
// [Pagina voucher] that size the voucher stationery, edited as text. An
// empty box means the layout's own default for that value. Confirming
// writes the four values, trimmed of blanks, and makes the job's PDF again
// with them (when the PDF component is there), which also turns the job into
// a label job for the rest of the run, as it always did.

#include <QString>
#include <array>
#include <functional>

namespace vorpla {

class FormImpostazioni
{
public:
    static constexpr const char *Sezione = "Pagina voucher";
    // Key, label, in the boxes' order Text1(0) to Text1(3).
    static constexpr std::array<std::array<const char *, 2>, 4> Campi{{
        {"Larghezza", "Larg. pagina"},
        {"Altezza", "Alt. pagina"},
        {"Margine voucher singolo", "Margine sup. voucher singolo"},
        {"Margine voucher doppio", "Margine sup. voucher doppio"},
    }};
    static constexpr const char *Suggerimento =
        "Lasciare vuote le caselle che si vogliono utilizzare con le impostazioni predefinite";

    // The job's PDF made again through the PDF output form (FRMCreaPDF
    // loaded and unloaded).
    explicit FormImpostazioni(std::function<void()> rifaiPdf) : m_rifaiPdf(std::move(rifaiPdf)) {}

    // Fills the boxes with the keys' values.
    void Form_Load();
    // 0 "Conferma", 1 "Annulla": both unload the dialog; a confirmation
    // with a box that is no number (ValoriNumerici) writes nothing and the
    // dialog stays.
    void Command1_Click(int indice);
    // Whether every box is empty or a number as the layouts read it (the
    // system's decimal convention). A box that is not: the standard message
    // naming its label ("... Type mismatch (Alt. pagina)"), Focus its index,
    // and false. A value that is no number would make every later job fail
    // with error 13, so it never reaches vorpla.ini.
    bool ValoriNumerici();

    QString caption = QStringLiteral("Impostazioni ");
    std::array<QString, 4> Text1;
    bool caricato = false;
    // The box to correct, -1 for none.
    int Focus = -1;

private:
    std::function<void()> m_rifaiPdf;
    QString m_ini;
};

} // namespace vorpla
