#pragma once
// Every file the program reads or writes is a regular file.
//
// The program's files (print files, vorpla.ini, pictures, fonts, the label
// catalogue, archives, the PDFs it makes) are named by print files, by the
// configuration and by users on the command line, so any of them can turn out
// to be a device, a FIFO or a socket: reading /dev/zero never ends, opening a
// FIFO waits for a writer that never comes, and renaming a finished file over
// /dev/full replaces the system's device with a plain file. So:
// - a file is read only when it is a regular file (symbolic links followed),
//   checked before it is opened and again on the open descriptor, which is
//   opened without blocking, so a file swapped in between cannot hang the
//   program either; where a size bound is sane the caller gives one;
// - a file is written only when its target is absent or a regular file. The
//   content goes to a temporary file beside the target and replaces it only
//   when complete (a failure never leaves half a file); a symbolic link is
//   written through (the file it leads to is replaced, the link stays), and a
//   file with more than one hard link is rewritten in place, so every name of
//   it sees the new content (should that rewrite fail half-way, the complete
//   content stays in the temporary file, which the error names).

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>
#include <optional>

namespace vorpla {

enum class EsitoFile {
    Aperto,
    Assente,       // no such file (or a link leading nowhere)
    NonRegolare,   // a folder, device, FIFO or socket
    TroppoGrande,  // larger than the caller's bound
    Negato,        // no permission
    Errore,        // any other failure of the system
};

// Why a file could not be used, for messages ("... is not a regular file").
QString descrizioneEsito(EsitoFile esito);

// The Visual Basic error number the program's messages quote for an outcome:
// 53 file not found, 70 permission denied, 75 path/file access error.
int erroreVBDi(EsitoFile esito);

// No bound on the size.
inline constexpr qint64 SenzaLimite = -1;
// No TrueType font the program uses is larger.
inline constexpr qint64 DimensioneMassimaFont = qint64(64) << 20;

// Opens `percorso` read-only in `file` when it is a regular file of at most
// `limite` bytes.
EsitoFile apriInLettura(QFile &file, const QString &percorso, qint64 limite = SenzaLimite);

// The whole content of a regular file of at most `limite` bytes; nothing
// (and the outcome in `esito`) otherwise.
std::optional<QByteArray> leggiFileRegolare(const QString &percorso, qint64 limite,
                                            EsitoFile *esito = nullptr);

// Whether `percorso` may be read: a regular file (links followed).
bool eFileRegolare(const QString &percorso);

// Whether `percorso` may be written: absent, or a regular file (links
// followed). Anything else is refused with NonRegolare.
EsitoFile verificaDestinazione(const QString &percorso);

// Opens a file to change it in place (append or rewrite records): created
// when absent (with `modo` flags of QIODevice: WriteOnly, ReadWrite, Append,
// Truncate), refused when it is not a regular file.
EsitoFile apriInScrittura(QFile &file, const QString &percorso, QIODevice::OpenMode modo);

// The file a path leads to, its symbolic links followed (up to 40), even when
// that file does not exist yet. The path itself when it is no link.
QString percorsoReale(const QString &percorso);

// Writes a file whole or not at all; see the top of this file.
//
//   FileDestinazione uscita(percorso);
//   if (!uscita.apri()) ... uscita.errore()
//   write into *uscita.dispositivo()
//   if (!uscita.conferma()) ... uscita.errore()
//
// Destroyed without conferma(), it leaves the target as it was.
class FileDestinazione
{
public:
    explicit FileDestinazione(QString percorso);
    ~FileDestinazione();
    FileDestinazione(const FileDestinazione &) = delete;
    FileDestinazione &operator=(const FileDestinazione &) = delete;

    // Checks the target and creates the temporary file beside it.
    bool apri();
    QIODevice *dispositivo();
    // Puts the complete content in place of the target.
    bool conferma();
    // Forgets the content written so far.
    void annulla();

    EsitoFile esito() const { return m_esito; }
    // The reason of the last failure, naming the file.
    const QString &errore() const { return m_errore; }

private:
    bool fallisce(EsitoFile esito, const QString &motivo);
    bool riscriviSulPosto();

    QString m_percorso;   // as given, for messages
    QString m_reale;      // the file replaced
    QString m_provvisorio;
    std::unique_ptr<QFile> m_file;
    EsitoFile m_esito = EsitoFile::Aperto;
    QString m_errore;
};

} // namespace vorpla
