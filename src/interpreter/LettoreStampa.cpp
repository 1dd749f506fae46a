#include "LettoreStampa.h"

#include "common/CartellaProgramma.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/FileIni.h"
#include "common/FileRegolare.h"
#include "common/LettoreRighe.h"
#include "common/Numeri.h"
#include "common/StatoLavoro.h"
#include "common/TabellaCaratteri.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
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

// ---- The reader ----------------------------------------------------------------

LettoreStampa::LettoreStampa(QString file) : m_file(std::move(file)) {}

LettoreStampa::~LettoreStampa() = default;

QString LettoreStampa::Leggi(const QString &sezione, const QString &chiave) const
{
    const QString nome = sezione.toUpper() + u'\n' + chiave.toUpper();
    const auto trovato = m_ini.constFind(nome);
    if (trovato != m_ini.constEnd())
        return *trovato;
    const QString valore = LeggiIni(sezione, chiave, fileIni());
    m_ini.insert(nome, valore);
    return valore;
}

void LettoreStampa::scrivilog(QByteArrayView riga) const
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

void LettoreStampa::primaDellaRiga(QByteArrayView) {}

bool LettoreStampa::recupera(const ErroreVB &)
{
    return false;
}

void LettoreStampa::fineFile() {}

void LettoreStampa::corsa(qint64 primaRiga)
{
    if (m_inCorso)
        return; // a run never starts inside another
    m_inCorso = true;
    struct Fine
    {
        bool &b;
        ~Fine() { b = false; }
    } fineCorsa{m_inCorso};

    m_rigaCorrente.clear();
    m_ini.clear();
    m_fermo = false;
    m_primaRiga = primaRiga;
    try {
        inizioCorsa();
        leggiFile();
    } catch (const ErroreVB &e) {
        errore(e.numero(), e.descrizione());
    } catch (const std::bad_alloc &) {
        errore(7, descrizioneErroreVB(7));
    }
}

void LettoreStampa::leggiFile()
{
    LettoreRighe lettore(m_file);
    QElapsedTimer orologio;
    orologio.start();
    qint64 righe = 0;
    QByteArrayView letta;
    while (lettore.prossima(letta)) {
        if (righe < m_primaRiga - 1) {
            ++righe;
            continue;
        }
        // Trailing blanks do not count.
        qsizetype n = letta.size();
        while (n > 0 && letta[n - 1] == ' ')
            --n;
        try {
            eseguiRiga(letta.first(n));
        } catch (const ErroreVB &e) {
            if (!recupera(e))
                throw;
        }
        if (m_fermo)
            return;
        if ((++righe & 63) == 0 && eventi && orologio.elapsed() >= 10) {
            eventi();
            orologio.restart();
        }
    }
    fineFile();
}

void LettoreStampa::eseguiRiga(QByteArrayView letta)
{
    m_rigaCorrente = letta.toByteArray();
    if (lavoro().ModoDebug)
        scrivilog(letta);
    primaDellaRiga(letta);
    if (m_fermo)
        return;
    m_rigaCorrente = convertiHostWin(m_rigaCorrente);
    disegnaRiga(RigaStampa(m_rigaCorrente));
}

} // namespace vorpla
