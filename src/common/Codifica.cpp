#include "Codifica.h"

#include <QUtf8StringView>

namespace vorpla {

QString daWindows1252(QByteArrayView byte)
{
    QString t(byte.size(), Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(t.data());
    for (qsizetype i = 0; i < byte.size(); ++i)
        d[i] = carattereWindows1252(static_cast<unsigned char>(byte[i]));
    return t;
}

QByteArray aWindows1252(const QString &testo)
{
    QByteArray byte;
    byte.reserve(testo.size());
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const char16_t u = testo.at(i).unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            byte.append(char(u));
            continue;
        }
        char codice = '?';
        for (int k = 0; k < 32; ++k) {
            if (detail::Windows1252Alti[k] == u) {
                codice = char(0x80 + k);
                break;
            }
        }
        if (QChar::isHighSurrogate(u) && i + 1 < testo.size() && testo.at(i + 1).isLowSurrogate())
            ++i;
        byte.append(codice);
    }
    return byte;
}

bool eUtf8Valido(QByteArrayView byte)
{
    return QUtf8StringView(byte.data(), byte.size()).isValidUtf8();
}

QString testoDaByte(QByteArrayView byte)
{
    return eUtf8Valido(byte) ? QString::fromUtf8(byte) : daWindows1252(byte);
}

QString senzaSpazi(const QString &testo)
{
    qsizetype inizio = 0, fine = testo.size();
    while (inizio < fine && testo.at(inizio) == u' ')
        ++inizio;
    while (fine > inizio && testo.at(fine - 1) == u' ')
        --fine;
    return testo.mid(inizio, fine - inizio);
}

QString senzaAlcunoSpazio(QString testo)
{
    return testo.remove(u' ');
}

QByteArrayView senzaSpaziFinali(QByteArrayView riga)
{
    qsizetype n = riga.size();
    while (n > 0 && riga.at(n - 1) == ' ')
        --n;
    return riga.first(n);
}

} // namespace vorpla
