#pragma once
// Helpers shared by the test programs.

#include "common/ErroreVB.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <ostream>

namespace vorpla::prova {

// A program folder of the test's own: <tmp>/ulka/vorpla, with VORPLA_HOME
// pointing at it for the lifetime of the object (restored afterwards), and
// the job's temporary folder <tmp>/ulka/temp created beside it.
class CartellaProva
{
public:
    CartellaProva();
    ~CartellaProva();
    CartellaProva(const CartellaProva &) = delete;
    CartellaProva &operator=(const CartellaProva &) = delete;

    QString radice() const;                 // <tmp>
    QString programma() const;              // <tmp>/ulka/vorpla
    QString temp() const;                   // <tmp>/ulka/temp/
    QString percorso(const QString &relativo) const; // <tmp>/<relativo>

    // Writes bytes to <tmp>/<relativo> (folders created) and returns its path.
    QString scrivi(const QString &relativo, const QByteArray &contenuto) const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_vecchioHome;
    bool m_avevaHome = false;
};

QByteArray leggiFile(const QString &percorso);

// The private CUPS spooler the test command starts (scripts/cups-test-server.sh):
// its socket, or "" when the tests run without it (they skip, saying
// SenzaSpoolerDiProva).
QString spoolerDiProva();
inline constexpr const char *SenzaSpoolerDiProva =
    "No test spooler: these tests need the private cupsd of scripts/cups-test-server.sh (bash scripts/test.sh "
    "starts it; by hand: eval \"$(scripts/cups-test-server.sh start DIR build/pdfprinter)\", then export "
    "CUPS_SERVER CUPS_SERVERBIN VORPLA_CUPS_TEST=1 VORPLA_SPOOL_PDF=DIR/spool-pdf).";

// A program run to its end: exit status (-1 when it did not finish in a
// minute, -2 when it crashed), standard output and standard error.
struct EsitoProcesso
{
    int codice = -1;
    QString uscita;
    QString errori;
};
EsitoProcesso eseguiProcesso(const QString &programma, const QStringList &argomenti,
                             const QProcessEnvironment &ambiente = QProcessEnvironment::systemEnvironment());
// The vorpla program, headless, with the test's program folder and a font
// folder of its own; `ritocca` may change its environment further.
EsitoProcesso eseguiVorpla(const CartellaProva &cartella, const QStringList &argomenti,
                           const std::function<void(QProcessEnvironment &)> &ritocca = {});

// The error number an expression raises, 0 when it raises none.
template<typename F>
int erroreDi(F &&f)
{
    try {
        f();
    } catch (const ErroreVB &e) {
        return e.numero();
    }
    return 0;
}
void scriviFile(const QString &percorso, const QByteArray &contenuto);

// qpdf's structural check of a PDF the program made: "" when it passes,
// else what qpdf said.
QString controlloQpdf(const QString &pdf);

// The words of a PDF as poppler reads them (pdftotext -bbox-layout): page
// (from 0), text, and box in points from the page's top-left corner; the
// page count in `pagine` when given.
struct ParolaLetta
{
    int pagina;
    QString testo;
    double x1, y1, x2, y2;
};
QList<ParolaLetta> paroleLette(const QString &pdf, int *pagine = nullptr);

} // namespace vorpla::prova

// Readable QString values in test failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &testo, std::ostream *os)
{
    *os << '"' << testo.toStdString() << '"';
}
inline void PrintTo(const QStringList &testi, std::ostream *os)
{
    *os << '[';
    for (const QString &t : testi)
        *os << '"' << t.toStdString() << "\" ";
    *os << ']';
}
QT_END_NAMESPACE
