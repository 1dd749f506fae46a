#include "FileIni.h"

#include "Codifica.h"
#include "FileRegolare.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMutex>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstdio>
#include <memory>

namespace vorpla {

namespace {

// How the bytes of a file are turned into text and back.
enum class Codifica { Utf8, Windows1252 };

Codifica codificaDi(const QByteArray &contenuto)
{
    return eUtf8Valido(contenuto) ? Codifica::Utf8 : Codifica::Windows1252;
}

QString decodifica(QByteArrayView byte, Codifica codifica)
{
    if (codifica == Codifica::Windows1252)
        return daWindows1252(byte);
    // The decoder drops a byte order mark at the start of what it is given,
    // so a BOM in front of the first line does not hide its section name.
    QStringDecoder decoder(QStringDecoder::Utf8);
    return decoder.decode(byte);
}

QByteArray codifica(const QString &testo, Codifica codifica)
{
    if (codifica == Codifica::Windows1252)
        return aWindows1252(testo);
    QStringEncoder encoder(QStringEncoder::Utf8);
    return encoder.encode(testo);
}

bool eSpazio(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

// Blanks and tabs around names and values do not count (a stray CR left by
// an odd line ending neither).
QString spoglia(QStringView testo)
{
    qsizetype inizio = 0;
    qsizetype fine = testo.size();
    while (inizio < fine && eSpazio(testo.at(inizio)))
        ++inizio;
    while (fine > inizio && eSpazio(testo.at(fine - 1)))
        --fine;
    return testo.mid(inizio, fine - inizio).toString();
}

bool stessoNome(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// One line of the file: where its bytes are, and what it says.
struct Riga
{
    enum class Tipo { Altro, Vuota, Sezione, Chiave };

    qsizetype inizio = 0;      // first byte of the line
    qsizetype fine = 0;        // end of the content, line break excluded
    Tipo tipo = Tipo::Altro;
    QString nome;              // section or key name, trimmed
    QString valore;            // raw text after "=" (keys only)
};

Riga analizzaRiga(const QString &testo)
{
    Riga riga;
    const QString pulita = spoglia(testo);
    if (pulita.isEmpty()) {
        riga.tipo = Riga::Tipo::Vuota;
    } else if (pulita.startsWith(u';')) {
        riga.tipo = Riga::Tipo::Altro; // comment
    } else if (pulita.startsWith(u'[')) {
        const qsizetype chiusa = pulita.indexOf(u']');
        if (chiusa > 0) {
            riga.tipo = Riga::Tipo::Sezione;
            riga.nome = spoglia(QStringView(pulita).mid(1, chiusa - 1));
        }
        // "[name" without its bracket is neither a section nor a key.
    } else {
        const qsizetype uguale = pulita.indexOf(u'=');
        if (uguale >= 0) {
            riga.tipo = Riga::Tipo::Chiave;
            riga.nome = spoglia(QStringView(pulita).left(uguale));
            riga.valore = pulita.mid(uguale + 1);
        }
    }
    return riga;
}

// Splits the bytes into lines at LF (a CR before it belongs to the line
// break) and hands each one, classified, to `fai`.
template <typename Fai>
void perOgniRiga(const QByteArray &contenuto, Codifica cod, Fai &&fai)
{
    qsizetype inizio = 0;
    while (inizio < contenuto.size()) {
        qsizetype lf = contenuto.indexOf('\n', inizio);
        qsizetype fine = lf < 0 ? contenuto.size() : lf;
        if (lf >= 0 && fine > inizio && contenuto.at(fine - 1) == '\r')
            --fine;
        Riga riga = analizzaRiga(
            decodifica(QByteArrayView(contenuto).sliced(inizio, fine - inizio), cod));
        riga.inizio = inizio;
        riga.fine = fine;
        fai(std::move(riga));
        if (lf < 0)
            break;
        inizio = lf + 1;
    }
}

QList<Riga> analizzaFile(const QByteArray &contenuto, Codifica cod)
{
    QList<Riga> righe;
    perOgniRiga(contenuto, cod, [&](Riga riga) { righe.append(std::move(riga)); });
    return righe;
}

// Where a section and a key of it are in the file.
struct Posizione
{
    qsizetype sezione = -1;        // index of the header line, -1 when absent
    qsizetype chiave = -1;         // index of the key line, -1 when absent
    qsizetype ultimaPiena = -1;    // last non-blank line of the section
};

Posizione cerca(const QList<Riga> &righe, const QString &sezione, const QString &chiave)
{
    Posizione pos;
    for (qsizetype i = 0; i < righe.size(); ++i) {
        if (righe[i].tipo == Riga::Tipo::Sezione && stessoNome(righe[i].nome, sezione)) {
            pos.sezione = i;
            break;
        }
    }
    if (pos.sezione < 0)
        return pos;
    pos.ultimaPiena = pos.sezione;
    for (qsizetype i = pos.sezione + 1; i < righe.size(); ++i) {
        const Riga &riga = righe[i];
        if (riga.tipo == Riga::Tipo::Sezione)
            break;
        if (riga.tipo != Riga::Tipo::Vuota)
            pos.ultimaPiena = i;
        if (pos.chiave < 0 && riga.tipo == Riga::Tipo::Chiave && stessoNome(riga.nome, chiave))
            pos.chiave = i;
    }
    return pos;
}

// The value as GetPrivateProfileString hands it back.
QString valoreLetto(const QString &grezzo)
{
    QString valore = spoglia(grezzo);
    if (valore.size() >= 2) {
        const QChar prima = valore.front();
        if ((prima == u'"' || prima == u'\'') && valore.back() == prima)
            valore = valore.mid(1, valore.size() - 2);
    }
    constexpr qsizetype massimo = LunghezzaBufferIni - 1; // room for the terminator
    if (valore.size() > massimo) {
        qsizetype taglio = massimo;
        // Never leave half of a surrogate pair at the end.
        if (valore.at(taglio - 1).isHighSurrogate())
            --taglio;
        valore.truncate(taglio);
    }
    return valore;
}

// vorpla.ini is a few kilobytes; anything past this bound is no
// configuration file.
constexpr qint64 DimensioneMassimaIni = 64 << 20;

// The file's bytes; false when it is absent or cannot be read. A file that
// is not a regular one (a device, a FIFO) or is beyond all bounds is said
// once on standard error and reads as absent: reading it could never end.
bool leggiTutto(const QString &file, QByteArray &contenuto)
{
    EsitoFile esito;
    std::optional<QByteArray> letto = leggiFileRegolare(file, DimensioneMassimaIni, &esito);
    if (!letto) {
        if (esito == EsitoFile::NonRegolare || esito == EsitoFile::TroppoGrande) {
            static QMutex mutex;
            static QSet<QString> detti;
            const QMutexLocker blocco(&mutex);
            if (!detti.contains(file)) {
                detti.insert(file);
                std::fprintf(stderr, "vorpla: %s: %s, read as empty\n", qPrintable(file),
                             qPrintable(descrizioneEsito(esito)));
            }
        }
        return false;
    }
    contenuto = std::move(*letto);
    return true;
}

// A file's sections and keys, ready for lookups: names case-folded, the
// first section of a name and the first key of a name in it counting, as in
// the line-by-line search that writes use.
struct IndiceIni
{
    QHash<QString, QHash<QString, QString>> sezioni; // raw values
};

QString nomeConfrontato(const QString &nome)
{
    return nome.toCaseFolded();
}

std::shared_ptr<const IndiceIni> indicizza(const QString &file)
{
    auto indice = std::make_shared<IndiceIni>();
    QByteArray contenuto;
    if (!leggiTutto(file, contenuto))
        return indice;
    QSet<QString> viste;
    QHash<QString, QString> *corrente = nullptr;
    // Line by line, keeping only what lookups need.
    perOgniRiga(contenuto, codificaDi(contenuto), [&](const Riga &riga) {
        if (riga.tipo == Riga::Tipo::Sezione) {
            const QString nome = nomeConfrontato(riga.nome);
            // A section named again later is never looked at.
            corrente = viste.contains(nome) ? nullptr : &indice->sezioni[nome];
            viste.insert(nome);
        } else if (riga.tipo == Riga::Tipo::Chiave && corrente) {
            const QString nome = nomeConfrontato(riga.nome);
            if (!corrente->contains(nome))
                corrente->insert(nome, riga.valore);
        }
    });
    return indice;
}

// Every file is parsed once a process: the program only reads its
// configuration, and its own writes refresh it.
struct CacheIni
{
    QMutex mutex;
    QHash<QString, std::shared_ptr<const IndiceIni>> file;
};

CacheIni &cacheIni()
{
    static CacheIni cache;
    return cache;
}

QString chiaveCache(const QString &file)
{
    return QDir::cleanPath(QDir::isAbsolutePath(file) ? file : QDir::current().absoluteFilePath(file));
}

std::shared_ptr<const IndiceIni> indiceDi(const QString &file)
{
    CacheIni &cache = cacheIni();
    const QString chiave = chiaveCache(file);
    {
        QMutexLocker blocco(&cache.mutex);
        const auto trovato = cache.file.constFind(chiave);
        if (trovato != cache.file.constEnd())
            return *trovato;
    }
    std::shared_ptr<const IndiceIni> indice = indicizza(file);
    QMutexLocker blocco(&cache.mutex);
    cache.file.insert(chiave, indice);
    return indice;
}

// A name the file could not hold as such: empty, or able to break a line or
// read back as something else.
bool nomeScrivibile(const QString &nome, bool chiave)
{
    if (nome.isEmpty() || nome.contains(u'\r') || nome.contains(u'\n'))
        return false;
    if (chiave)
        return !nome.contains(u'=') && !nome.startsWith(u';') && !nome.startsWith(u'[');
    return !nome.contains(u']');
}

} // namespace

QString LeggiIni(const QString &sezione, const QString &chiave, const QString &file)
{
    const QString nomeSezione = spoglia(sezione);
    const QString nomeChiave = spoglia(chiave);
    if (nomeSezione.isEmpty() || nomeChiave.isEmpty() || file.isEmpty())
        return {};
    const std::shared_ptr<const IndiceIni> indice = indiceDi(file);
    const auto s = indice->sezioni.constFind(nomeConfrontato(nomeSezione));
    if (s == indice->sezioni.constEnd())
        return {};
    const auto k = s->constFind(nomeConfrontato(nomeChiave));
    return k == s->constEnd() ? QString() : valoreLetto(*k);
}

void dimenticaFileIni(const QString &file)
{
    CacheIni &cache = cacheIni();
    QMutexLocker blocco(&cache.mutex);
    if (file.isEmpty())
        cache.file.clear();
    else
        cache.file.remove(chiaveCache(file));
}

bool ScriviIni(const QString &sezione, const QString &chiave, const QString &valore,
               const QString &file)
{
    const QString nomeSezione = spoglia(sezione);
    const QString nomeChiave = spoglia(chiave);
    if (!nomeScrivibile(nomeSezione, false) || !nomeScrivibile(nomeChiave, true))
        return false;

    QString valoreUnaRiga = valore;
    valoreUnaRiga.replace(u'\r', u' ').replace(u'\n', u' ');

    const QFileInfo info(file);
    QByteArray contenuto;
    if (info.exists()) {
        // A read-only configuration is left alone, as Windows does; one that
        // is no regular file is never replaced.
        if (!info.isFile() || !info.isWritable() || !leggiTutto(file, contenuto))
            return false;
    } else if (!info.absoluteDir().exists()) {
        return false;
    }

    const bool nuovo = !info.exists();
    const Codifica cod = nuovo ? Codifica::Utf8 : codificaDi(contenuto);
    // The file's own line break; a file that has none yet gets the
    // Windows one, so it stays readable on the workstations.
    QByteArray aCapo = QByteArrayLiteral("\r\n");
    const qsizetype primoLf = contenuto.indexOf('\n');
    if (primoLf >= 0 && !(primoLf > 0 && contenuto.at(primoLf - 1) == '\r'))
        aCapo = QByteArrayLiteral("\n");

    const QList<Riga> righe = analizzaFile(contenuto, cod);
    const Posizione pos = cerca(righe, nomeSezione, nomeChiave);

    QByteArray risultato;
    if (pos.chiave >= 0) {
        const Riga &riga = righe[pos.chiave];
        risultato = contenuto.left(riga.inizio);
        risultato += codifica(riga.nome + u'=' + valoreUnaRiga, cod);
        risultato += contenuto.mid(riga.fine);
    } else if (pos.sezione >= 0) {
        // After the section's last non-blank line and its own line break;
        // a last line of the file without one gets the file's.
        const qsizetype lf = contenuto.indexOf('\n', righe[pos.ultimaPiena].fine);
        const qsizetype punto = lf < 0 ? contenuto.size() : lf + 1;
        risultato = contenuto.left(punto);
        if (lf < 0)
            risultato += aCapo;
        risultato += codifica(nomeChiave + u'=' + valoreUnaRiga, cod);
        risultato += aCapo;
        risultato += contenuto.mid(punto);
    } else {
        risultato = contenuto;
        if (!risultato.isEmpty() && !risultato.endsWith('\n'))
            risultato += aCapo;
        risultato += codifica(u'[' + nomeSezione + u']', cod);
        risultato += aCapo;
        risultato += codifica(nomeChiave + u'=' + valoreUnaRiga, cod);
        risultato += aCapo;
    }

    // The new content goes to a temporary file beside the old one and
    // replaces it only when completely written.
    FileDestinazione salva(file);
    if (!salva.apri())
        return false;
    const bool scritto = salva.dispositivo()->write(risultato) == risultato.size() && salva.conferma();
    // Every file is read again: the one written may have other names (a
    // link, a linked folder) under which it was read.
    dimenticaFileIni();
    return scritto;
}

} // namespace vorpla
