#include "VBUnzBas.h"

#include "common/CartellaProgramma.h"
#include "common/FileIni.h"
#include "common/FileRegolare.h"
#include "common/Messaggi.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

namespace vorpla {

QString TestoUnzip;
QString ElencoUnzip;
QString SeparatoreUnzip = QStringLiteral("\r\n");

namespace {

// A message of the extraction, kept in TestoUnzip.
void RiceviTesto(const QString &testo)
{
    TestoUnzip += testo + u'\n';
}

// One line of the listing: the heading before the first entry of a run,
// then the entry.
void RiceviElenco(int &contati, const QString &nome, quint64 dimensione, time_t modificato)
{
    if (contati == 0) {
        QString intestazione(80, u' ');
        intestazione.replace(0, 9, QStringLiteral("Filename:"));
        intestazione.replace(52, 4, QStringLiteral("Size"));
        intestazione.replace(61, 4, QStringLiteral("Date"));
        intestazione.replace(70, 4, QStringLiteral("Time"));
        ElencoUnzip += SeparatoreUnzip + intestazione;
    }
    const QDateTime quando = QDateTime::fromSecsSinceEpoch(qint64(modificato));
    // Sizes of more than seven digits are shown whole and push the date and
    // time to the right rather than being cut to a wrong number.
    const QString riga = nome.left(50).leftJustified(50) + QString::number(dimensione).rightJustified(7)
                         + QStringLiteral("  ") + quando.toString(QStringLiteral("dd/MM/yy")).leftJustified(10)
                         + quando.toString(QStringLiteral("hh:mm"));
    ElencoUnzip += SeparatoreUnzip + riga.leftJustified(80);
    ++contati;
}

bool corrisponde(const QStringList &modelli, int quanti, const QByteArray &nome)
{
    for (int i = 0; i < quanti; ++i)
        if (::fnmatch(QFile::encodeName(modelli.at(i)).constData(), nome.constData(), 0) == 0)
            return true;
    return false;
}

QString erroreSistema()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool dentro(const QString &percorso, const QString &radice)
{
    return percorso == radice || percorso.startsWith(radice == QLatin1String("/") ? radice : radice + u'/');
}

// The folders and file name of an entry, or the reason it is refused.
// Archives made on Windows separate folders with "\" as well as "/".
struct NomeVoce
{
    QStringList parti;
    QString rifiuto;
};

NomeVoce scomponi(const QString &nome)
{
    NomeVoce v;
    static const QRegularExpression unita(QStringLiteral("^[A-Za-z]:"));
    if (nome.startsWith(u'/') || nome.startsWith(u'\\') || unita.match(nome).hasMatch()) {
        v.rifiuto = QStringLiteral("absolute path");
        return v;
    }
    static const QRegularExpression separatori(QStringLiteral("[/\\\\]"));
    for (const QString &parte : nome.split(separatori, Qt::SkipEmptyParts)) {
        if (parte == QLatin1String(".."))  {
            v.rifiuto = QStringLiteral("outside the extraction folder");
            v.parti.clear();
            return v;
        }
        if (parte != QLatin1String("."))
            v.parti << parte;
    }
    return v;
}

// Walks (and creates) the folders of an entry below the extraction folder.
// A folder that is a link is followed only when it leads to a folder inside
// the extraction folder. Returns the folder reached, or "" with the reason.
QString preparaCartelle(const QString &radice, const QStringList &cartelle, QString &motivo)
{
    QString corrente = radice;
    for (const QString &parte : cartelle) {
        const QString percorso = corrente + u'/' + parte;
        const QByteArray locale = QFile::encodeName(percorso);
        struct stat st{};
        if (::lstat(locale.constData(), &st) != 0) {
            if (errno != ENOENT || ::mkdir(locale.constData(), 0777) != 0) {
                motivo = erroreSistema();
                return {};
            }
            corrente = percorso;
            continue;
        }
        if (S_ISLNK(st.st_mode)) {
            const QString meta = QFileInfo(percorso).canonicalFilePath();
            if (meta.isEmpty() || !dentro(meta, radice) || !QFileInfo(meta).isDir()) {
                motivo = QStringLiteral("a link leading outside the extraction folder");
                return {};
            }
            corrente = meta;
            continue;
        }
        if (!S_ISDIR(st.st_mode)) {
            motivo = QStringLiteral("\"") + parte + QStringLiteral("\" is not a folder");
            return {};
        }
        corrente = percorso;
    }
    return corrente;
}

// Writes entry `indice` beside its destination and renames it over it, so an
// existing file (or a link standing there) is replaced whole.
bool scriviVoce(zip_t *archivio, zip_uint64_t indice, const QString &cartella, const QString &destinazione,
                mode_t modo, time_t modificato, QString &motivo)
{
    QByteArray provvisorio = QFile::encodeName(cartella + QStringLiteral("/.vorpla-unzip-XXXXXX"));
    const int fd = ::mkstemp(provvisorio.data());
    if (fd < 0) {
        motivo = erroreSistema();
        return false;
    }
    bool riuscito = true;
    zip_file_t *voce = zip_fopen_index(archivio, indice, 0);
    if (!voce) {
        motivo = QString::fromUtf8(zip_strerror(archivio));
        riuscito = false;
    } else {
        QByteArray blocco(1 << 16, Qt::Uninitialized);
        zip_int64_t letti = 0;
        while (riuscito && (letti = zip_fread(voce, blocco.data(), zip_uint64_t(blocco.size()))) > 0) {
            const char *p = blocco.constData();
            zip_int64_t resto = letti;
            while (resto > 0) {
                const ssize_t scritti = ::write(fd, p, size_t(resto));
                if (scritti < 0) {
                    if (errno == EINTR)
                        continue;
                    motivo = erroreSistema();
                    riuscito = false;
                    break;
                }
                p += scritti;
                resto -= scritti;
            }
        }
        if (riuscito && letti < 0) {
            // Damaged data or a wrong checksum: the file is not written.
            motivo = QString::fromUtf8(zip_file_strerror(voce));
            riuscito = false;
        }
        zip_fclose(voce);
    }
    if (riuscito) {
        ::fchmod(fd, modo);
        const struct timespec tempi[2] = {{modificato, 0}, {modificato, 0}};
        ::futimens(fd, tempi);
    }
    if (::close(fd) != 0 && riuscito) {
        motivo = erroreSistema();
        riuscito = false;
    }
    if (riuscito && ::rename(provvisorio.constData(), QFile::encodeName(destinazione).constData()) != 0) {
        motivo = erroreSistema();
        riuscito = false;
    }
    if (!riuscito)
        ::unlink(provvisorio.constData());
    return riuscito;
}

mode_t modoPredefinito()
{
    const mode_t maschera = ::umask(0);
    ::umask(maschera);
    return 0666 & ~maschera;
}

} // namespace

int ChiediSostituzione(const QString &nome)
{
    return messaggi().mostra(QStringLiteral("Overwrite ") + nome + u'?', Pulsanti::SiNo) == Risposta::Si
               ? RispostaSostituzione::Sostituisci
               : RispostaSostituzione::NonSostituire;
}

void EstraiInCartella(const QString &archivio)
{
    TestoUnzip.clear();
    ElencoUnzip.clear();
    SeparatoreUnzip = QStringLiteral("\r\n");
    EstraiZip(archivio, cartellaProgramma(), 1, 1, 0, 1, 0, 0);
}

void EstraiZip(const QString &archivio, const QString &cartella, int chiedi, int sovrascrivi,
               int soloElenco, int conCartelle, int numeroSelezionati, int numeroEsclusi,
               const QStringList &selezionati, const QStringList &esclusi)
{
    const int quantiSelezionati = qBound(0, numeroSelezionati, int(selezionati.size()));
    const int quantiEsclusi = qBound(0, numeroEsclusi, int(esclusi.size()));
    const QString percorsoArchivio = separatoriLinux(archivio);
    // What is extracted may replace a configuration file the program has
    // already read (vorpla.ini in the program folder): it is read again.
    const struct Dimentica
    {
        ~Dimentica() { dimenticaFileIni(); }
    } dimentica;

    if (QFileInfo::exists(percorsoArchivio) && !eFileRegolare(percorsoArchivio)) {
        // A device or FIFO would be read for ever.
        RiceviTesto(QStringLiteral("cannot open ") + percorsoArchivio + QStringLiteral(": not a regular file"));
        return;
    }
    int errore = 0;
    zip_t *zip = zip_open(QFile::encodeName(percorsoArchivio).constData(), ZIP_RDONLY, &errore);
    if (!zip) {
        zip_error_t e;
        zip_error_init_with_code(&e, errore);
        RiceviTesto(QStringLiteral("cannot open ") + percorsoArchivio + QStringLiteral(": ")
                    + QString::fromUtf8(zip_error_strerror(&e)));
        zip_error_fini(&e);
        return;
    }
    const zip_int64_t voci = zip_get_num_entries(zip, 0);

    if (soloElenco) {
        int contati = 0;
        for (zip_int64_t i = 0; i < voci; ++i) {
            zip_stat_t st;
            zip_stat_init(&st);
            if (zip_stat_index(zip, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
                continue;
            const QByteArray nome(st.name);
            if ((quantiSelezionati > 0 && !corrisponde(selezionati, quantiSelezionati, nome))
                || corrisponde(esclusi, quantiEsclusi, nome))
                continue;
            RiceviElenco(contati, QString::fromUtf8(nome), (st.valid & ZIP_STAT_SIZE) ? st.size : 0,
                         (st.valid & ZIP_STAT_MTIME) ? st.mtime : 0);
        }
        zip_discard(zip);
        return;
    }

    const QString destinazione =
        cartella.isEmpty() ? QDir::currentPath() : QDir::current().absoluteFilePath(separatoriLinux(cartella));
    QDir().mkpath(destinazione);
    const QString radice = QFileInfo(destinazione).canonicalFilePath();
    if (radice.isEmpty() || !QFileInfo(radice).isDir()) {
        RiceviTesto(QStringLiteral("cannot create the extraction folder ") + destinazione);
        zip_discard(zip);
        return;
    }

    const mode_t modoNormale = modoPredefinito();
    bool nessunaSostituzione = false;
    for (zip_int64_t i = 0; i < voci; ++i) {
        const zip_uint64_t indice = zip_uint64_t(i);
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(zip, indice, 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
            continue;
        const QByteArray nomeGrezzo(st.name);
        const QString nome = QString::fromUtf8(nomeGrezzo);
        if ((quantiSelezionati > 0 && !corrisponde(selezionati, quantiSelezionati, nomeGrezzo))
            || corrisponde(esclusi, quantiEsclusi, nomeGrezzo))
            continue;
        auto salta = [&](const QString &motivo) {
            RiceviTesto(QStringLiteral("skipping: ") + nome + QStringLiteral("  ") + motivo);
        };

        // The kind of entry, from the Unix mode of archives made on Unix.
        zip_uint8_t sistema = 0;
        zip_uint32_t attributi = 0;
        zip_file_get_external_attributes(zip, indice, 0, &sistema, &attributi);
        const mode_t modoVoce = sistema == ZIP_OPSYS_UNIX ? mode_t(attributi >> 16) : 0;
        const mode_t tipo = modoVoce & S_IFMT;
        if (tipo == S_IFLNK) {
            salta(QStringLiteral("symbolic link"));
            continue;
        }
        if (tipo != 0 && tipo != S_IFREG && tipo != S_IFDIR) {
            salta(QStringLiteral("not a regular file"));
            continue;
        }
        const bool eCartella = tipo == S_IFDIR || nome.endsWith(u'/') || nome.endsWith(u'\\');

        NomeVoce parti = scomponi(nome);
        if (!parti.rifiuto.isEmpty()) {
            salta(parti.rifiuto);
            continue;
        }
        if (parti.parti.isEmpty())
            continue;
        if (!conCartelle) {
            if (eCartella)
                continue;
            parti.parti = QStringList{parti.parti.last()};
        }
        if (!eCartella && (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
            salta(QStringLiteral("encrypted, no password given"));
            continue;
        }
        const QString relativo = parti.parti.join(u'/');
        const QStringList cartelle = eCartella ? parti.parti : parti.parti.mid(0, parti.parti.size() - 1);
        QString motivo;
        const QString dove = preparaCartelle(radice, cartelle, motivo);
        if (dove.isEmpty()) {
            salta(motivo);
            continue;
        }
        if (eCartella) {
            RiceviTesto(QStringLiteral("   creating: ") + relativo + u'/');
            continue;
        }

        const QString file = dove + u'/' + parti.parti.last();
        struct stat esistente{};
        if (::lstat(QFile::encodeName(file).constData(), &esistente) == 0) {
            if (S_ISDIR(esistente.st_mode)) {
                salta(QStringLiteral("a folder of that name exists"));
                continue;
            }
            if (!S_ISREG(esistente.st_mode) && !S_ISLNK(esistente.st_mode)) {
                salta(QStringLiteral("a device, FIFO or socket of that name exists"));
                continue;
            }
            if (!sovrascrivi) {
                if (!chiedi || nessunaSostituzione)
                    continue;
                const int risposta = ChiediSostituzione(relativo);
                if (risposta == RispostaSostituzione::NessunaSostituzione)
                    nessunaSostituzione = true;
                if (risposta != RispostaSostituzione::Sostituisci)
                    continue;
            }
        }
        const mode_t modo = (modoVoce & 0777) ? (modoVoce & 0777) : modoNormale;
        const time_t modificato = (st.valid & ZIP_STAT_MTIME) ? st.mtime : time(nullptr);
        if (!scriviVoce(zip, indice, dove, file, modo, modificato, motivo)) {
            salta(motivo);
            continue;
        }
        RiceviTesto(QStringLiteral("  inflating: ") + relativo);
    }
    zip_discard(zip);
}

bool ArchivioZipValido(const QString &archivio)
{
    if (!eFileRegolare(archivio))
        return false;
    int errore = 0;
    zip_t *zip = zip_open(QFile::encodeName(archivio).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &errore);
    if (!zip)
        return false;
    zip_discard(zip);
    return true;
}

} // namespace vorpla
