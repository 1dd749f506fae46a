#include "VBZipBas.h"

#include "common/CartellaProgramma.h"
#include "common/FileRegolare.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <sys/stat.h>
#include <zip.h>

#include <algorithm>
#include <vector>

namespace vorpla {

namespace {

// One entry to write: its name in the archive and the file or folder it
// comes from.
struct Voce
{
    QString nome;       // "cartella/file.txt", folders end with "/"
    QString percorso;   // absolute path
    bool cartella = false;
};

// "c:\ulka" -> "/ulka"; "c:" alone -> "/"; other paths only get "/".
QString senzaUnita(const QString &percorso)
{
    QString p = separatoriLinux(percorso);
    static const QRegularExpression unita(QStringLiteral("^[A-Za-z]:"));
    if (unita.match(p).hasMatch()) {
        p = p.mid(2);
        if (!p.startsWith(u'/'))
            p.prepend(u'/');
    }
    return p;
}

QString cartellaRadice(const QString &radice)
{
    const QString r = radice.trimmed();
    if (r.isEmpty())
        return QDir::cleanPath(QDir::currentPath());
    return QDir::cleanPath(QDir::current().absoluteFilePath(senzaUnita(r)));
}

// The entry name of an absolute path: below the root folder its relative
// path, elsewhere the path without its leading "/".
QString nomeVoce(const QString &assoluto, const QString &base, bool soloNome)
{
    if (soloNome)
        return QFileInfo(assoluto).fileName();
    if (base == QLatin1String("/"))
        return assoluto.mid(1);
    if (assoluto.startsWith(base + u'/'))
        return assoluto.mid(base.size() + 1);
    return assoluto.mid(1);
}

enum class Tipo { File, Cartella, Altro };

// What a path is, links followed: a regular file, a folder, or something
// that cannot be archived (missing, a pipe, a device).
Tipo tipoDi(const QString &percorso)
{
    struct stat st{};
    if (::stat(QFile::encodeName(percorso).constData(), &st) != 0)
        return Tipo::Altro;
    if (S_ISDIR(st.st_mode))
        return Tipo::Cartella;
    return S_ISREG(st.st_mode) ? Tipo::File : Tipo::Altro;
}

// Modification time as the archive stores it: DOS times count even seconds.
qint64 secondiDos(qint64 secondi)
{
    return secondi - (secondi & 1);
}

} // namespace

qint32 VBZip(qint16 argc, const QString &archivio, const TabellaNomiZip &nomi, qint32 junk,
             qint32 recurse, qint32 update, qint32 freshen, const QString &radice)
{
    const int quanti = std::clamp<int>(argc, 0, int(nomi.size()));
    const QString base = cartellaRadice(radice);
    const QString percorsoArchivio = QDir::cleanPath(QDir::current().absoluteFilePath(senzaUnita(archivio)));
    const QString identitaArchivio = QFileInfo(percorsoArchivio).canonicalFilePath();
    qint32 esito = RisultatoZip::Ok;

    std::vector<Voce> voci;
    // Entry name -> canonical path of its file: the same file reached twice
    // (named twice, or through a link) is one entry.
    QHash<QString, QString> nomiUsati;
    bool ripetuti = false;
    auto aggiungi = [&](const QString &assoluto, bool cartella) {
        if (cartella && junk)
            return;
        const QFileInfo info(assoluto);
        const QString identita = info.canonicalFilePath();
        if (!identitaArchivio.isEmpty() && identita == identitaArchivio)
            return;
        QString nome = nomeVoce(assoluto, base, junk != 0);
        if (nome.isEmpty())
            return;
        if (cartella)
            nome += u'/';
        const auto gia = nomiUsati.constFind(nome);
        if (gia != nomiUsati.cend()) {
            if (*gia != identita)
                ripetuti = true;
            return;
        }
        nomiUsati.insert(nome, identita);
        voci.push_back({nome, assoluto, cartella});
    };

    for (int i = 0; i < quanti; ++i) {
        const QString nome = nomi[size_t(i)].trimmed();
        if (nome.isEmpty())
            continue;
        const QString assoluto = QDir::cleanPath(QDir(base).absoluteFilePath(senzaUnita(nome)));
        const Tipo tipo = tipoDi(assoluto);
        if (tipo == Tipo::Altro) {
            esito = RisultatoZip::FileNonLeggibile;
            continue;
        }
        aggiungi(assoluto, tipo == Tipo::Cartella);
        if (tipo != Tipo::Cartella || !recurse)
            continue;
        QDirIterator giro(assoluto, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        QStringList sotto;
        while (giro.hasNext())
            sotto << QDir::cleanPath(giro.next());
        sotto.sort();
        for (const QString &p : std::as_const(sotto)) {
            // Pipes, sockets and devices below the folder are not files to
            // archive (reading a pipe would wait for ever).
            const Tipo t = tipoDi(p);
            if (t != Tipo::Altro)
                aggiungi(p, t == Tipo::Cartella);
        }
    }
    if (ripetuti)
        return RisultatoZip::NomiRipetuti;
    if (voci.empty())
        return esito == RisultatoZip::Ok ? RisultatoZip::NienteDaFare : esito;

    // The archive is written beside its name and renamed over it: never over
    // a device or FIFO standing there.
    if (verificaDestinazione(percorsoArchivio) != EsitoFile::Aperto)
        return RisultatoZip::ArchivioNonScritto;
    int errore = 0;
    zip_t *archivioZip = zip_open(QFile::encodeName(percorsoArchivio).constData(), ZIP_CREATE, &errore);
    if (!archivioZip)
        return (errore == ZIP_ER_NOZIP || errore == ZIP_ER_INCONS) ? RisultatoZip::ArchivioNonValido
                                                                    : RisultatoZip::ArchivioNonScritto;

    int scritte = 0;
    for (const Voce &v : voci) {
        const QByteArray nome = v.nome.toUtf8();
        const zip_int64_t esistente = zip_name_locate(archivioZip, nome.constData(), 0);
        struct stat st{};
        if (::stat(QFile::encodeName(v.percorso).constData(), &st) != 0) {
            esito = RisultatoZip::FileNonLeggibile;
            continue;
        }
        const qint64 modificato = secondiDos(qint64(st.st_mtime));
        if (freshen || update) {
            bool piuNuovo = true;
            zip_stat_t sv;
            zip_stat_init(&sv);
            if (esistente >= 0 && zip_stat_index(archivioZip, zip_uint64_t(esistente), 0, &sv) == 0
                && (sv.valid & ZIP_STAT_MTIME))
                piuNuovo = modificato > qint64(sv.mtime);
            if (freshen && esistente < 0)
                continue;
            if (esistente >= 0 && !piuNuovo)
                continue;
        }

        zip_int64_t indice = esistente;
        if (v.cartella) {
            if (esistente >= 0)
                continue;
            indice = zip_dir_add(archivioZip, nome.constData(), ZIP_FL_ENC_UTF_8);
            if (indice < 0) {
                esito = RisultatoZip::FileNonLeggibile;
                continue;
            }
        } else {
            // A file that cannot be opened now is left out here: libzip reads
            // it only when the archive is closed, and a failure there would
            // lose the whole archive.
            QFile prova(v.percorso);
            if (!prova.open(QIODevice::ReadOnly)) {
                esito = RisultatoZip::FileNonLeggibile;
                continue;
            }
            prova.close();
            zip_source_t *sorgente = zip_source_file(archivioZip, QFile::encodeName(v.percorso).constData(), 0, 0);
            if (!sorgente) {
                esito = RisultatoZip::FileNonLeggibile;
                continue;
            }
            indice = zip_file_add(archivioZip, nome.constData(), sorgente, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
            if (indice < 0) {
                zip_source_free(sorgente);
                esito = RisultatoZip::FileNonLeggibile;
                continue;
            }
        }
        // Unix type and permissions in the high half, the MS-DOS folder
        // attribute in the low half for unzippers on Windows.
        const zip_uint32_t modo = (st.st_mode & (S_IFMT | 0777));
        zip_file_set_external_attributes(archivioZip, zip_uint64_t(indice), 0, ZIP_OPSYS_UNIX,
                                         (modo << 16) | (v.cartella ? 0x10u : 0u));
        zip_file_set_mtime(archivioZip, zip_uint64_t(indice), st.st_mtime, 0);
        ++scritte;
    }

    if (zip_close(archivioZip) != 0) {
        zip_discard(archivioZip);
        return RisultatoZip::ArchivioNonScritto;
    }
    if (scritte == 0 && esito == RisultatoZip::Ok)
        return RisultatoZip::NienteDaFare;
    return esito;
}

} // namespace vorpla
