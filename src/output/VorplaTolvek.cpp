#include "VorplaTolvek.h"

#include "common/CartellaProgramma.h"
#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/LettoreRighe.h"
#include "common/Messaggi.h"
#include "common/Numeri.h"
#include "common/Routine.h"
#include "interpreter/Superficie.h"

#include <QFileInfo>
#include <QHash>
#include <QImage>

namespace vorpla {

namespace {

constexpr int Orizzontale = 2;

class Pagine
{
public:
    explicit Pagine(const std::function<Superficie &()> &s) : m_dammi(s) {}

    Superficie &s()
    {
        if (!m_s)
            m_s = &m_dammi();
        return *m_s;
    }
    // A page begins: the one before it is closed first. The background
    // covers the printable area, in centimetres like every field (Width and
    // Height are the sheet in twips, not the scale).
    void inizia(const QImage &sfondo)
    {
        if (m_pendente)
            s().NewPage();
        m_pendente = false;
        s().ScaleMode7();
        s().PaintPicture(sfondo, 0, 0, s().ScaleWidth(), s().ScaleHeight());
    }
    void finisci() { m_pendente = true; }

    void scrivi(double x, double y, double punti, const QByteArray &testo)
    {
        s().FontSize(punti);
        s().CurrentX = x;
        s().CurrentY = y;
        s().Print(testo);
    }

private:
    const std::function<Superficie &()> &m_dammi;
    Superficie *m_s = nullptr;
    bool m_pendente = false;
};

QImage sfondo(const char *nome)
{
    const QString file = trovaIgnorandoMaiuscole(inCartellaProgramma(QLatin1String(nome)));
    if (!QFileInfo(file).isFile())
        throw ErroreVB(Err::FileNonTrovato);
    QImage immagine(file);
    if (immagine.isNull())
        throw ErroreVB(Err::ImmagineNonValida);
    return immagine;
}

// A background loaded for the first page that needs it: a print with
// nothing to draw asks for no picture.
class Sfondo
{
public:
    explicit Sfondo(const char *nome) : m_nome(nome) {}
    const QImage &immagine()
    {
        if (m_immagine.isNull())
            m_immagine = sfondo(m_nome);
        return m_immagine;
    }

private:
    const char *m_nome;
    QImage m_immagine;
};

} // namespace

int DatiTolvek::record() const
{
    return int(arrotondaPari(double(valori.size() - 1) / 3.0));
}

DatiTolvek leggiDatiTolvek(const QString &file)
{
    DatiTolvek dati;
    LettoreRighe lettore(file);
    QByteArrayView riga;
    while (lettore.prossima(riga)) {
        const qsizetype uguale = riga.indexOf('=');
        if (riga.isEmpty() || uguale < 0)
            continue;
        dati.chiavi << riga.first(uguale).toByteArray();
        dati.valori << riga.sliced(uguale + 1).toByteArray();
    }
    return dati;
}

void VorplaTolvek(const std::function<Superficie &()> &stampante, const QString &fileDati, const QString &tipo,
                  const QString &copie)
{
    impostaRoutine(QStringLiteral("frmMain"), QStringLiteral("VorplaTolvek"));
    const DatiTolvek dati = leggiDatiTolvek(fileDati);
    const int n = dati.record();
    if (!IsNumeric(copie)) {
        messaggi().mostra(QStringLiteral("Numero di copie errato!"));
        fine(FineConErrore);
    }
    const int numeroCopie = CInt(copie);
    Pagine pagine(stampante);
    for (int copia = 1; copia <= numeroCopie; ++copia) {
        if (tipo == QLatin1String("Valigie")) {
            // Four tags a sheet, each with the name and the code.
            static const double X[] = {3, 3, 17.2, 17.2}, YNome[] = {4.5, 14.7, 4.5, 14.7}, YCodice[] = {6.5, 16, 6.5, 16};
            Sfondo immagine("tolvek_valigie.jpg");
            for (int r = 0; r < n; ++r) {
                pagine.s().impostaOrientamento(Orizzontale);
                pagine.inizia(immagine.immagine());
                for (int f = 0; f < 3; ++f) {
                    const QByteArray chiave = dati.chiave(f);
                    for (int t = 0; t < 4; ++t) {
                        if (chiave == "ANANOM") {
                            pagine.scrivi(X[t], YNome[t], 19, dati.valore(r, f));
                        } else if (chiave == "ANAKEY") {
                            // Bold stays on for the rest of the run.
                            pagine.s().FontBold(true);
                            pagine.scrivi(X[t], YCodice[t], 48, dati.valore(r, f));
                        }
                    }
                }
                pagine.finisci();
            }
        } else if (tipo == QLatin1String("Passaporti")) {
            // 24 records a page, three columns of eight.
            Sfondo immagine("tolvek_passaporti.jpg");
            const int fogli = (n + 23) / 24;
            int r = 0;
            for (int foglio = 0; foglio < fogli; ++foglio) {
                pagine.inizia(immagine.immagine());
                for (int posto = 0; posto < 24 && r < n; ++posto, ++r) {
                    const int c = posto / 8, riga = posto % 8;
                    for (int f = 0; f < 3; ++f) {
                        const QByteArray chiave = dati.chiave(f);
                        if (chiave == "ANANOM")
                            pagine.scrivi(0.6 + 6.8 * c, 2.7 + 3.6 * riga, 11, dati.valore(r, f));
                        else if (chiave == "ANAKEY")
                            pagine.scrivi(5.0 + 6.8 * c, 1.1 + 3.6 * riga, 9, dati.valore(r, f));
                        else if (chiave == "SERDES")
                            pagine.scrivi(0.6 + 6.8 * c, 2.0 + 3.6 * riga, 11, "Hotel: " + dati.valore(r, f));
                    }
                }
                pagine.finisci();
            }
        } else if (tipo == QLatin1String("Nota Spese")) {
            Sfondo immagine("tolvek_notaspese.jpg");
            for (int r = 0; r < n; ++r) {
                pagine.inizia(immagine.immagine());
                for (int f = 0; f < 3; ++f) {
                    const QByteArray chiave = dati.chiave(f);
                    if (chiave == "ANANOM")
                        pagine.scrivi(6.5, 4.6, 16, dati.valore(r, f));
                    else if (chiave == "ANAKEY")
                        pagine.scrivi(17.2, 4.6, 16, dati.valore(r, f));
                }
                pagine.finisci();
            }
        }
    }
}

} // namespace vorpla
