#include "RegistroInvii.h"

#include "common/ErroreVB.h"
#include "common/FileRegolare.h"

#include <QCryptographicHash>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vorpla {

namespace {
// A record is a few lines a document; more than this is no record of ours.
constexpr qint64 DimensioneMassima = 64 * 1024 * 1024;
} // namespace

RegistroInvii::RegistroInvii(const QString &fileStampa) : m_percorso(fileStampa + QStringLiteral(".inviati")) {}

RegistroInvii::~RegistroInvii()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray RegistroInvii::chiave(int numero, const QByteArray &testo)
{
    return QByteArray::number(numero) + ' ' + QCryptographicHash::hash(testo, QCryptographicHash::Sha256).toHex();
}

void RegistroInvii::apri(bool daCapo)
{
    m_inviati.clear();
    if (!daCapo) {
        if (const std::optional<QByteArray> contenuto = leggiFileRegolare(m_percorso, DimensioneMassima)) {
            for (const QByteArray &riga : contenuto->split('\n')) {
                // "NUMBER SHA256<TAB>recipients"
                const QByteArray c = riga.left(riga.indexOf('\t')).trimmed();
                if (!c.isEmpty())
                    m_inviati.insert(c);
            }
        }
    }
    const QByteArray nome = QFile::encodeName(m_percorso);
    m_fd = ::open(nome.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW | (daCapo ? O_TRUNC : 0),
                  0644);
    if (m_fd < 0) {
        const int numero = erroreFileDaErrno(errno);
        throw ErroreVB(numero, descrizioneErroreVB(numero) + QStringLiteral(": l'elenco dei documenti inviati %1 non si "
                                                                            "può scrivere")
                                                                 .arg(m_percorso));
    }
}

bool RegistroInvii::inviato(int numero, const QByteArray &testo) const
{
    return m_inviati.contains(chiave(numero, testo));
}

void RegistroInvii::registra(int numero, const QByteArray &testo, const QString &destinatari)
{
    const QByteArray c = chiave(numero, testo);
    m_inviati.insert(c);
    if (m_fd < 0)
        return;
    QString a = destinatari;
    a.replace(u'\r', u' ').replace(u'\n', u' ').replace(u'\t', u' ');
    const QByteArray riga = c + '\t' + a.toUtf8() + '\n';
    // One write in append mode: a line is there whole or not at all.
    if (::write(m_fd, riga.constData(), size_t(riga.size())) != riga.size())
        throw ErroreVB(Err::AccessoPercorso, descrizioneErroreVB(Err::AccessoPercorso) + QStringLiteral(": ") + m_percorso);
}

void RegistroInvii::elimina()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    QFile::remove(m_percorso);
}

} // namespace vorpla
