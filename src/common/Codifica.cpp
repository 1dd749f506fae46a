#include "Codifica.h"

#include <array>

namespace vorpla {

namespace {
// Windows-1252 positions 0x80..0x9F; the five undefined ones map to the C1
// control of the same number, as Windows' own conversion does.
constexpr std::array<char16_t, 32> k1252Alti = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
} // namespace

QString daWindows1252(QByteArrayView byte)
{
    QString t(byte.size(), Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(t.data());
    for (qsizetype i = 0; i < byte.size(); ++i) {
        const auto c = static_cast<unsigned char>(byte[i]);
        d[i] = (c >= 0x80 && c < 0xA0) ? k1252Alti[c - 0x80] : char16_t(c);
    }
    return t;
}

QByteArray aWindows1252(const QString &testo)
{
    QByteArray b;
    b.reserve(testo.size());
    for (const QChar ch : testo) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            b.append(char(u));
            continue;
        }
        char trovato = '?';
        for (int i = 0; i < 32; ++i) {
            if (k1252Alti[size_t(i)] == u) {
                trovato = char(0x80 + i);
                break;
            }
        }
        b.append(trovato);
    }
    return b;
}

bool eUtf8Valido(QByteArrayView byte)
{
    const auto *p = reinterpret_cast<const unsigned char *>(byte.data());
    const qsizetype n = byte.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int seguito;
        char32_t cp;
        if ((c & 0xE0) == 0xC0) {
            seguito = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            seguito = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            seguito = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + seguito >= n)
            return false;
        for (int k = 1; k <= seguito; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((seguito == 1 && cp < 0x80) || (seguito == 2 && cp < 0x800) || (seguito == 3 && cp < 0x10000)
            || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += seguito + 1;
    }
    return true;
}

QString testoDaByte(QByteArrayView byte)
{
    return eUtf8Valido(byte) ? QString::fromUtf8(byte) : daWindows1252(byte);
}

} // namespace vorpla
