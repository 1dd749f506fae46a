#pragma once
// What the hand-over tests share: a clipboard that records what the program
// offered and answers reads from a script, and the system's unzip reading
// an archive's entries as bytes.

#include "terminal/Appunti.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vorpla::prova {

class AppuntiProva : public Appunti
{
public:
    bool apri() override { return apribili; }
    void svuota() override
    {
        ++svuotamenti;
        formato.clear();
        dati.clear();
        contenuto = QString();
        proprio = false;
    }
    QString registraFormato(const QString &nome) override
    {
        registrati << nome;
        return nome;
    }
    void impostaDati(const QString &f, const QByteArray &d) override
    {
        formato = f;
        dati = d;
        contenuto = QString();
        proprio = true;
    }
    void impostaTesto(const QString &t) override
    {
        scritti << t;
        if (orologio)
            istantiScritti << orologio();
        contenuto = t;
        formato.clear();
        dati.clear();
        proprio = true;
    }
    std::optional<QString> testo() override
    {
        ++letture;
        if (orologio)
            istantiLetture << orologio();
        if (risposta) {
            if (std::optional<QString> r = risposta(letture))
                contenuto = *r;
            else
                return std::nullopt;
        }
        return contenuto;
    }
    bool possiede() override { return proprio; }

    bool apribili = true;
    QStringList registrati;
    QString formato;
    QByteArray dati;
    std::optional<QString> contenuto = QString();
    QStringList scritti;
    int svuotamenti = 0;
    int letture = 0;
    bool proprio = false;
    // The test's clock, and when on it each text was written and each read
    // made.
    std::function<qint64()> orologio;
    QList<qint64> istantiScritti, istantiLetture;
    // The client's side: what the n-th read finds (nothing: the clipboard
    // is busy); unset, reads find what was last written.
    std::function<std::optional<QString>(int n)> risposta;
};

// A program's standard output as bytes (exit status in `codice`).
inline QByteArray uscitaDi(const QString &programma, const QStringList &argomenti, int *codice = nullptr,
                           const QByteArray &ingresso = {})
{
    QProcess p;
    p.start(programma, argomenti);
    if (!ingresso.isEmpty())
        p.write(ingresso);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    if (codice)
        *codice = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    return p.readAllStandardOutput();
}

// The archive inside a clipboard block (after 17, L and the leading 0).
inline QByteArray archivioDelBlocco(const QByteArray &blocco)
{
    return blocco.size() < 8 ? QByteArray() : blocco.mid(7, blocco.size() - 8);
}

// The entries of an archive, as the system's unzip lists them (names only).
QStringList vociArchivio(const QString &archivio);

} // namespace vorpla::prova
