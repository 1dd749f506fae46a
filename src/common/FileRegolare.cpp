#include "FileRegolare.h"

#include "ErroreVB.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorpla {

namespace {

EsitoFile esitoDaErrno(int numero)
{
    switch (numero) {
    case ENOENT:
    case ENOTDIR:
        return EsitoFile::Assente;
    case EACCES:
    case EPERM:
    case EROFS:
        return EsitoFile::Negato;
    case ENXIO:   // a FIFO without a reader, a device without its driver
    case EISDIR:
        return EsitoFile::NonRegolare;
    default:
        return EsitoFile::Errore;
    }
}

QByteArray nomeLocale(const QString &percorso)
{
    return QFile::encodeName(percorso);
}

// Opens a descriptor without blocking and without the file becoming the
// controlling terminal, checks what it is, and hands it to `file`.
EsitoFile apriDescrittore(QFile &file, const QString &percorso, int flags, QIODevice::OpenMode modo,
                          qint64 limite)
{
    const QByteArray locale = nomeLocale(percorso);
    struct stat st{};
    // Checked before the open, so a device is never opened at all.
    if (::stat(locale.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return EsitoFile::NonRegolare;
    } else if (errno != ENOENT || !(flags & O_CREAT)) {
        return esitoDaErrno(errno);
    }
    int fd;
    do
        fd = ::open(locale.constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return esitoDaErrno(errno);
    // And again on what was opened: the name may have changed hands.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return EsitoFile::NonRegolare;
    }
    if (limite >= 0 && st.st_size > limite) {
        ::close(fd);
        return EsitoFile::TroppoGrande;
    }
    const int stato = ::fcntl(fd, F_GETFL);
    if (stato >= 0)
        ::fcntl(fd, F_SETFL, stato & ~O_NONBLOCK);
    if (!file.open(fd, modo, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return EsitoFile::Errore;
    }
    return EsitoFile::Aperto;
}

mode_t maschera()
{
    static const mode_t m = [] {
        const mode_t valore = ::umask(022);
        ::umask(valore);
        return valore;
    }();
    return m;
}

} // namespace

QString descrizioneEsito(EsitoFile esito)
{
    switch (esito) {
    case EsitoFile::Aperto: return QStringLiteral("no error");
    case EsitoFile::Assente: return QStringLiteral("no such file");
    case EsitoFile::NonRegolare: return QStringLiteral("not a regular file");
    case EsitoFile::TroppoGrande: return QStringLiteral("too large");
    case EsitoFile::Negato: return QStringLiteral("permission denied");
    case EsitoFile::Errore: break;
    }
    return QStringLiteral("cannot be used");
}

int erroreVBDi(EsitoFile esito)
{
    switch (esito) {
    case EsitoFile::Assente: return Err::FileNonTrovato;
    case EsitoFile::Negato: return Err::PermessoNegato;
    default: return Err::AccessoPercorso;
    }
}

EsitoFile apriInLettura(QFile &file, const QString &percorso, qint64 limite)
{
    if (percorso.isEmpty())
        return EsitoFile::Assente;
    return apriDescrittore(file, percorso, O_RDONLY, QIODevice::ReadOnly, limite);
}

std::optional<QByteArray> leggiFileRegolare(const QString &percorso, qint64 limite, EsitoFile *esito)
{
    QFile file;
    const EsitoFile e = apriInLettura(file, percorso, limite);
    if (esito)
        *esito = e;
    if (e != EsitoFile::Aperto)
        return std::nullopt;
    // The size the file has now (a buffer sized by the bound would hold
    // the bound's memory as long as the content lives); the bound holds for
    // what is read too, should the file grow meanwhile.
    QByteArray contenuto = file.readAll();
    if (limite >= 0 && contenuto.size() > limite) {
        if (esito)
            *esito = EsitoFile::TroppoGrande;
        return std::nullopt;
    }
    if (file.error() != QFileDevice::NoError) {
        if (esito)
            *esito = EsitoFile::Errore;
        return std::nullopt;
    }
    return contenuto;
}

bool eFileRegolare(const QString &percorso)
{
    struct stat st{};
    return !percorso.isEmpty() && ::stat(nomeLocale(percorso).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

EsitoFile verificaDestinazione(const QString &percorso)
{
    if (percorso.isEmpty())
        return EsitoFile::Assente;
    struct stat st{};
    if (::stat(nomeLocale(percorso).constData(), &st) != 0)
        return errno == ENOENT ? EsitoFile::Aperto : esitoDaErrno(errno);
    return S_ISREG(st.st_mode) ? EsitoFile::Aperto : EsitoFile::NonRegolare;
}

EsitoFile apriInScrittura(QFile &file, const QString &percorso, QIODevice::OpenMode modo)
{
    if (percorso.isEmpty())
        return EsitoFile::Assente;
    int flags = O_CREAT;
    flags |= (modo & QIODevice::ReadOnly) ? O_RDWR : O_WRONLY;
    if (modo & QIODevice::Append)
        flags |= O_APPEND;
    if (modo & QIODevice::Truncate)
        flags |= O_TRUNC;
    return apriDescrittore(file, percorso, flags, modo, SenzaLimite);
}

QString percorsoReale(const QString &percorso)
{
    QString corrente = percorso;
    for (int salti = 0; salti < 40; ++salti) {
        const QFileInfo info(corrente);
        if (!info.isSymLink())
            return corrente;
        QString meta = info.symLinkTarget();
        if (meta.isEmpty()) {
            // A link leading nowhere: where it points, read by hand.
            QByteArray buffer(4096, Qt::Uninitialized);
            const ssize_t n = ::readlink(nomeLocale(corrente).constData(), buffer.data(), size_t(buffer.size()));
            if (n <= 0)
                return corrente;
            meta = QFile::decodeName(buffer.first(n));
            if (QDir::isRelativePath(meta))
                meta = info.absolutePath() + u'/' + meta;
        }
        corrente = QDir::cleanPath(meta);
    }
    return corrente;
}

// ---- FileDestinazione ---------------------------------------------------------

FileDestinazione::FileDestinazione(QString percorso) : m_percorso(std::move(percorso)) {}

FileDestinazione::~FileDestinazione()
{
    annulla();
}

bool FileDestinazione::fallisce(EsitoFile esito, const QString &motivo)
{
    m_esito = esito;
    m_errore = m_percorso + QStringLiteral(": ") + motivo;
    annulla();
    return false;
}

bool FileDestinazione::apri()
{
    annulla();
    m_errore.clear();
    m_esito = EsitoFile::Aperto;
    if (m_percorso.isEmpty())
        return fallisce(EsitoFile::Assente, QStringLiteral("no file name"));
    m_reale = percorsoReale(m_percorso);
    struct stat st{};
    const bool esiste = ::stat(nomeLocale(m_reale).constData(), &st) == 0;
    if (!esiste && errno != ENOENT)
        return fallisce(esitoDaErrno(errno), QString::fromLocal8Bit(std::strerror(errno)));
    if (esiste && !S_ISREG(st.st_mode))
        return fallisce(EsitoFile::NonRegolare,
                        descrizioneEsito(EsitoFile::NonRegolare) + QStringLiteral(", not overwritten"));

    const QFileInfo info(m_reale);
    QByteArray modello = nomeLocale(info.absolutePath() + QStringLiteral("/.") + info.fileName()
                                    + QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(modello.data(), O_CLOEXEC);
    if (fd < 0)
        return fallisce(esitoDaErrno(errno), QString::fromLocal8Bit(std::strerror(errno)));
    m_provvisorio = QFile::decodeName(modello);
    // The permissions the file has, or those a new file gets.
    ::fchmod(fd, esiste ? (st.st_mode & 07777) : (0666 & ~maschera()));
    m_file = std::make_unique<QFile>();
    if (!m_file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fallisce(EsitoFile::Errore, QStringLiteral("cannot write beside it"));
    }
    return true;
}

QIODevice *FileDestinazione::dispositivo()
{
    return m_file.get();
}

void FileDestinazione::annulla()
{
    if (m_file) {
        m_file->close();
        m_file.reset();
    }
    if (!m_provvisorio.isEmpty()) {
        ::unlink(nomeLocale(m_provvisorio).constData());
        m_provvisorio.clear();
    }
}

// A rename would give this name a file of its own and leave the other
// names with the old content: the file is rewritten instead. Only once the
// complete content is safe in the temporary file; should the rewrite fail
// half-way, that file stays and the error names it. False with no error
// when the target cannot be opened for writing (a read-only file in a
// writable folder): then it is replaced as any other file.
bool FileDestinazione::riscriviSulPosto()
{
    QFile destinazione;
    const EsitoFile e = apriInScrittura(destinazione, m_reale, QIODevice::WriteOnly | QIODevice::Truncate);
    if (e == EsitoFile::Negato)
        return false;
    if (e != EsitoFile::Aperto)
        return fallisce(e, descrizioneEsito(e));
    m_file->close();
    m_file.reset();
    QFile sorgente;
    bool copiato = apriInLettura(sorgente, m_provvisorio) == EsitoFile::Aperto;
    QByteArray blocco;
    while (copiato && !(blocco = sorgente.read(1 << 20)).isEmpty())
        copiato = destinazione.write(blocco) == blocco.size();
    copiato = copiato && sorgente.error() == QFileDevice::NoError && destinazione.flush()
              && ::fsync(destinazione.handle()) == 0;
    if (!copiato) {
        m_esito = EsitoFile::Errore;
        m_errore = m_percorso + QStringLiteral(": could not be rewritten (") + destinazione.errorString()
                   + QStringLiteral("); the complete content is in ") + m_provvisorio;
        m_provvisorio.clear(); // kept for the user
        return false;
    }
    ::unlink(nomeLocale(m_provvisorio).constData());
    m_provvisorio.clear();
    return true;
}

bool FileDestinazione::conferma()
{
    if (!m_file)
        return m_errore.isEmpty() ? fallisce(EsitoFile::Errore, QStringLiteral("not open")) : false;
    if (!m_file->flush() || m_file->error() != QFileDevice::NoError)
        return fallisce(EsitoFile::Errore, m_file->errorString());
    if (::fsync(m_file->handle()) != 0)
        return fallisce(esitoDaErrno(errno), QString::fromLocal8Bit(std::strerror(errno)));

    const QByteArray reale = nomeLocale(m_reale);
    const QByteArray provvisorio = nomeLocale(m_provvisorio);
    struct stat st{};
    if (::stat(reale.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return fallisce(EsitoFile::NonRegolare,
                            descrizioneEsito(EsitoFile::NonRegolare) + QStringLiteral(", not overwritten"));
        if (st.st_nlink > 1 && riscriviSulPosto())
            return true;
        if (!m_errore.isEmpty())
            return false;
    }
    m_file->close();
    m_file.reset();
    if (::rename(provvisorio.constData(), reale.constData()) != 0)
        return fallisce(esitoDaErrno(errno), QString::fromLocal8Bit(std::strerror(errno)));
    m_provvisorio.clear();
    // The rename itself made durable (best effort: not every file system
    // can sync a folder).
    const int cartella = ::open(nomeLocale(QFileInfo(m_reale).absolutePath()).constData(),
                                O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (cartella >= 0) {
        ::fsync(cartella);
        ::close(cartella);
    }
    return true;
}

} // namespace vorpla
