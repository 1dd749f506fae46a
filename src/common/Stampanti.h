#pragma once
// The installed printers and the program's current printer.
//
// A printer is known by its device name (the CUPS queue name). The program
// keeps one current printer, as the Windows program kept its Printer object:
// it starts as the system's default printer, the user changes it in the main
// window, hidden jobs and PDF jobs switch it. The platform layer answers
// from CUPS; tests use a fixed list.

#include <QString>
#include <QStringList>

namespace vorpla {

class Stampanti
{
public:
    virtual ~Stampanti() = default;

    // Device names of all installed printers, in the platform's order.
    virtual QStringList elenco() const = 0;
    // The system's default printer ("" when there is none).
    virtual QString predefinita() const = 0;
    // A printer's port: where its output goes (the CUPS device URI).
    virtual QString porta(const QString &nome) const = 0;

    // The program's current printer ("" when no printer is installed).
    const QString &corrente() const { return m_corrente; }
    void impostaCorrente(const QString &nome) { m_corrente = nome; }

    // The first installed printer whose name equals `nome` ignoring case
    // becomes the current one; false (nothing changed) when there is none.
    bool selezionaIgnorandoMaiuscole(const QString &nome);

private:
    QString m_corrente;
};

// A fixed list of printers: for tests, and for machines without a spooler.
class StampantiFisse : public Stampanti
{
public:
    struct Voce
    {
        QString nome;
        QString porta;
    };
    StampantiFisse(QList<Voce> voci, QString predefinita);
    QStringList elenco() const override;
    QString predefinita() const override { return m_predefinita; }
    QString porta(const QString &nome) const override;

private:
    QList<Voce> m_voci;
    QString m_predefinita;
};

} // namespace vorpla
