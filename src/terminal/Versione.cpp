#include "Versione.h"

#include "common/Messaggi.h"

#include <QFile>
#include <QRegularExpression>

#include <cstring>
#include <elf.h>

#define VORPLA_TESTO(x) #x
#define VORPLA_NUMERO(x) VORPLA_TESTO(x)
#define VORPLA_VERSIONE                                                                                       \
    VORPLA_NUMERO(VORPLA_VERSION_MAJOR) "." VORPLA_NUMERO(VORPLA_VERSION_MINOR) "." VORPLA_NUMERO(VORPLA_VERSION_PATCH)

// The version block of the program file: its own section, found by name.
// versioneProgramma reads it, so every program that asks for its version
// links it in.
extern "C" {
__attribute__((used, section(".vorpla.versione"))) const char vorplaVersioneFissa[] = VORPLA_VERSIONE;
}

namespace vorpla {

namespace {

constexpr char NomeSezione[] = ".vorpla.versione";

template<typename T>
bool leggi(const QByteArray &b, quint64 posizione, T &valore)
{
    if (posizione > quint64(b.size()) || quint64(b.size()) - posizione < sizeof(T))
        return false;
    std::memcpy(&valore, b.constData() + posizione, sizeof(T));
    return true;
}

} // namespace

QString versioneProgramma()
{
    return QString::fromLatin1(vorplaVersioneFissa);
}

QString versioneNelFile(const QByteArray &b)
{
    // A 64-bit little-endian ELF file, as the program is built here.
    Elf64_Ehdr testata;
    if (!leggi(b, 0, testata) || std::memcmp(testata.e_ident, ELFMAG, SELFMAG) != 0
        || testata.e_ident[EI_CLASS] != ELFCLASS64 || testata.e_ident[EI_DATA] != ELFDATA2LSB
        || testata.e_shentsize != sizeof(Elf64_Shdr) || testata.e_shstrndx >= testata.e_shnum)
        return {};
    auto sezione = [&](quint64 indice, Elf64_Shdr &s) {
        return leggi(b, testata.e_shoff + indice * sizeof(Elf64_Shdr), s);
    };
    Elf64_Shdr nomi;
    if (!sezione(testata.e_shstrndx, nomi) || nomi.sh_offset > quint64(b.size())
        || nomi.sh_size > quint64(b.size()) - nomi.sh_offset)
        return {};
    for (quint64 i = 0; i < testata.e_shnum; ++i) {
        Elf64_Shdr s;
        if (!sezione(i, s))
            return {};
        if (s.sh_name >= nomi.sh_size || nomi.sh_size - s.sh_name < sizeof(NomeSezione)
            || std::memcmp(b.constData() + nomi.sh_offset + s.sh_name, NomeSezione, sizeof(NomeSezione)) != 0)
            continue;
        if (s.sh_type != SHT_PROGBITS || s.sh_offset > quint64(b.size()) || s.sh_size > quint64(b.size()) - s.sh_offset
            || s.sh_size > 64)
            return {};
        const QByteArray contenuto(b.constData() + s.sh_offset, qsizetype(s.sh_size));
        const QString versione = QString::fromLatin1(contenuto.left(contenuto.indexOf('\0')));
        static const QRegularExpression forma(QStringLiteral("^\\d{1,5}\\.\\d{1,5}\\.\\d{1,5}$"));
        return forma.match(versione).hasMatch() ? versione : QString();
    }
    return {};
}

QString KV_GetVersion(const QString &percorso)
{
    QFile file(percorso);
    QString versione;
    if (file.open(QIODevice::ReadOnly)) {
        // The section headers sit at the end of the file: read it whole only
        // when mapping it is refused.
        const qint64 dimensione = file.size();
        if (uchar *mappa = file.map(0, dimensione)) {
            versione = versioneNelFile(QByteArray::fromRawData(reinterpret_cast<const char *>(mappa), qsizetype(dimensione)));
            file.unmap(mappa);
        } else {
            versione = versioneNelFile(file.readAll());
        }
    }
    if (versione.isEmpty())
        messaggi().mostra(QStringLiteral("No fixed version information in this file"));
    return versione;
}

} // namespace vorpla
