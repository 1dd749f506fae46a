#pragma once
// Pages as a user sees them: the interpreter draws into a real PDF (a 600 dpi
// A4 page standing for a printer) and poppler reads the words back with
// their positions, in centimetres from the page's top-left corner.

#include "ProvaInterprete.h"

#include "interpreter/SuperficiePittore.h"

#include <QMarginsF>
#include <QPageSize>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>

namespace vorpla::prova {

inline constexpr double PuntiPerCm = 72 / 2.54;
inline constexpr double Tolleranza = 0.05; // cm

struct Parola
{
    int pagina;
    QString testo;
    double x1, y1, x2, y2; // cm
};

class ProvaPdf : public ProvaInterprete
{
protected:
    QList<Parola> pdf(const QByteArray &righe, const QString &dispositivo = QStringLiteral("Vorpla"))
    {
        const QString uscita = cartella.percorso(QStringLiteral("out.pdf"));
        {
            QPdfWriter writer(uscita);
            writer.setResolution(600);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            SuperficiePittore s(&writer, dispositivo, 600);
            esito = disegnaSu(s, righe);
            s.FineDocumento();
        }
        EXPECT_EQ(controlloQpdf(uscita), QString());
        QList<Parola> parole;
        for (const ParolaLetta &w : paroleLette(uscita, &pagine))
            parole << Parola{w.pagina, w.testo, w.x1 / PuntiPerCm, w.y1 / PuntiPerCm, w.x2 / PuntiPerCm,
                             w.y2 / PuntiPerCm};
        return parole;
    }

    // The same, for a print file that must draw without an error.
    QList<Parola> pdfSenzaErrori(const QByteArray &righe)
    {
        QList<Parola> parole = pdf(righe);
        EXPECT_EQ(esito, std::nullopt);
        return parole;
    }

    static Parola parola(const QList<Parola> &parole, const QString &testo)
    {
        for (const Parola &p : parole)
            if (p.testo == testo)
                return p;
        ADD_FAILURE() << "the PDF has no word " << testo.toStdString();
        return {};
    }

    static bool ha(const QList<Parola> &parole, const QString &testo)
    {
        for (const Parola &p : parole)
            if (p.testo == testo)
                return true;
        return false;
    }

    int pagine = 0;
    std::optional<int> esito; // how the last run ended
};


} // namespace vorpla::prova
