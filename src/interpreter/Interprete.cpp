#include "Interprete.h"

#include "Superficie.h"
#include "common/CartellaProgramma.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/FileIni.h"
#include "common/FileRegolare.h"
#include "common/FineProgramma.h"
#include "common/LettoreRighe.h"
#include "common/Messaggi.h"
#include "common/Numeri.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"
#include "common/TabellaCaratteri.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cstring>
#include <new>

namespace vorpla {

// ---- Lines -----------------------------------------------------------------

QByteArrayView RigaStampa::colonne(int c, int n) const
{
    const qsizetype inizio = c - 1;
    if (inizio >= m_byte.size())
        return {};
    return m_byte.sliced(inizio, qMin<qsizetype>(n, m_byte.size() - inizio));
}

qint16 RigaStampa::num2() const
{
    return CInt(daWindows1252(colonne(7, 2)));
}

double RigaStampa::num3() const
{
    return Val(daWindows1252(colonne(7, 3)));
}

// ---- Dispatch ----------------------------------------------------------------

namespace {

// A marker's five bytes as one number, for a sorted lookup.
constexpr quint64 chiave(const char *m)
{
    quint64 k = 0;
    for (int i = 0; i < 5; ++i)
        k = (k << 8) | static_cast<unsigned char>(m[i]);
    return k;
}

quint64 chiave(QByteArrayView m)
{
    quint64 k = 0;
    for (int i = 0; i < 5; ++i)
        k = (k << 8) | static_cast<unsigned char>(m[i]);
    return k;
}

} // namespace

Interprete::Renderer Interprete::renderer(QByteArrayView marcatore)
{
    struct Voce
    {
        quint64 chiave;
        Renderer renderer;
    };
    static const auto tabella = [] {
        std::vector<Voce> t = {
#define VORPLA_VOCE(testo, nome) {chiave(testo), &Interprete::m_##nome},
            VORPLA_MARCATORI(VORPLA_VOCE)
#undef VORPLA_VOCE
        };
        std::sort(t.begin(), t.end(), [](const Voce &a, const Voce &b) { return a.chiave < b.chiave; });
        return t;
    }();
    if (marcatore.size() < 5)
        return nullptr;
    const quint64 k = chiave(marcatore);
    const auto it = std::lower_bound(tabella.begin(), tabella.end(), k,
                                     [](const Voce &v, quint64 c) { return v.chiave < c; });
    return it != tabella.end() && it->chiave == k ? it->renderer : nullptr;
}

// ---- The run -------------------------------------------------------------------

Interprete::Interprete(Superficie &superficie, ValoriForm &form, QString file)
    : m_sup(superficie), m_form(form), m_file(std::move(file))
{
}

QString Interprete::Leggi(const QString &sezione, const QString &chiave) const
{
    const QString nome = sezione.toUpper() + u'\n' + chiave.toUpper();
    const auto trovato = m_ini.constFind(nome);
    if (trovato != m_ini.constEnd())
        return *trovato;
    const QString valore = LeggiIni(sezione, chiave, fileIni());
    m_ini.insert(nome, valore);
    return valore;
}

double Interprete::numeroIni(const QString &sezione, const QString &chiave, double seVuoto) const
{
    const QString valore = Leggi(sezione, chiave);
    return valore.isEmpty() ? seVuoto : CDbl(valore);
}

void Interprete::scrivilog(QByteArrayView riga) const
{
    // One file a day: vorpla + the short date without its "/" + ".log".
    QString data = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    data.remove(u'/');
    QFile log;
    if (apriInScrittura(log, inCartellaProgramma(QStringLiteral("vorpla") + data + QStringLiteral(".log")),
                        QIODevice::WriteOnly | QIODevice::Append)
        == EsitoFile::Aperto) {
        log.write(riga.data(), riga.size());
        log.write("\r\n");
    }
}

void Interprete::fontOem(double punti)
{
    m_sup.FontName(QLatin1String(FontOem));
    m_sup.FontSize(punti);
}

void Interprete::GRAFICA()
{
    if (m_inCorso)
        return; // a run never starts inside another
    m_inCorso = true;
    struct Fine
    {
        bool &b;
        ~Fine() { b = false; }
    } fineCorsa{m_inCorso};

    impostaRoutine(QStringLiteral("frmvorpla"), QStringLiteral("GRAFICA"));
    m_s = Stato{};
    m_t = StatoTabelle{};
    m_rigaCorrente.clear();
    m_ini.clear();
    m_immagini.svuota();
    try {
        preparaPagina();
        leggiFile();
    } catch (const ErroreVB &e) {
        errore(e.numero(), e.descrizione());
    } catch (const std::bad_alloc &) {
        errore(7, descrizioneErroreVB(7));
    }
}

void Interprete::errore(int numero, const QString &descrizione)
{
    if (numero == Err::ErroreStampante && m_form.StampanteSelezionata.contains(QStringLiteral("PDF"), Qt::CaseInsensitive))
        return; // the PDF printer stopped the job: end the run quietly
    messaggi().mostra(messaggioRoutine(numero, descrizione) + QStringLiteral("\r\nTag: ")
                      + daWindows1252(m_rigaCorrente));
    fine(FineConErrore);
}

void Interprete::leggiFile()
{
    LettoreRighe lettore(m_file);
    QElapsedTimer orologio;
    orologio.start();
    qint64 righe = 0;
    QByteArrayView letta;
    while (lettore.prossima(letta)) {
        // Trailing blanks do not count.
        qsizetype n = letta.size();
        while (n > 0 && letta[n - 1] == ' ')
            --n;
        try {
            eseguiRiga(letta.first(n));
        } catch (const ErroreVB &e) {
            const QByteArrayView m = QByteArrayView(m_rigaCorrente).first(qMin<qsizetype>(5, m_rigaCorrente.size()));
            const bool logo = m == "@LOGO" || m == "@LOGV";
            if (e.numero() != Err::ErroreStampante || logo == false
                || m_form.StampanteSelezionata.contains(QStringLiteral("PDF"), Qt::CaseInsensitive))
                throw;
            // The logo cannot go on the page: the text letterhead stands in.
            messaggi().mostra(QStringLiteral("Errore di Windows!\rImpossibile inserire il logo nella pagina.\r"
                                             "Verrà inserita l'intestazione."));
            m_s.IntestazioneAttiva = QStringLiteral("SI");
        }
        if ((++righe & 63) == 0 && eventi && orologio.elapsed() >= 10) {
            eventi();
            orologio.restart();
        }
    }
    if (m_s.PaginaDocumento == 1)
        Trattino();
}

void Interprete::eseguiRiga(QByteArrayView letta)
{
    m_rigaCorrente = letta.toByteArray();
    if (lavoro().ModoDebug)
        scrivilog(letta);

    const QByteArrayView marcatoreLetto = letta.first(qMin<qsizetype>(5, letta.size()));
    if (m_s.DueColonnePendenti && !letta.startsWith("@TXT2") && !letta.startsWith("@TX2"))
        stampaDueColonne();

    if (m_s.PiedeAttivo && !Leggi(QStringLiteral("FOOTER"), QStringLiteral("FOOTER")).isEmpty() && !m_form.ConINTV) {
        const QString altezza = Leggi(QStringLiteral("FOOTER"), QStringLiteral("HEIGHT"));
        m_s.AltezzaPiede = altezza.isEmpty() ? 0 : CDbl(altezza);
    }

    if (m_sup.CurrentY >= m_s.AltezzaPagina - 0.9 - m_s.AltezzaPiede) {
        if (m_s.DueColonnePendenti)
            stampaDueColonne();
        if (letta != "@PAGE")
            fineDiPagina();
    }

    if (marcatoreLetto != "@FAXS" && m_s.NuovaPaginaPendente && !letta.isEmpty()) {
        Trattino();
        m_sup.NewPage();
        m_s.NuovaPaginaPendente = false;
    }

    m_sup.DrawStyle(0);

    m_rigaCorrente = convertiHostWin(m_rigaCorrente);
    const RigaStampa riga(m_rigaCorrente);
    if (const Renderer r = renderer(riga.byte()))
        (this->*r)(riga);
}

// The fold mark: a short grey line in the left margin two thirds down the
// sheet, where a window envelope's letter is folded.
void Interprete::Trattino()
{
    const double y = m_sup.Height() / 567.0 / 3.0 * 2.0;
    m_sup.Line(LineaColoreDato, 0, y, 0.1, y, 0x808080);
}


} // namespace vorpla
