#include "TabellaCaratteri.h"

#include "Codifica.h"

#include <QHash>

#include <cstring>
#include <mutex>

namespace vorpla {

namespace {

// ---------------------------------------------------------------------------
// Host to Windows
// ---------------------------------------------------------------------------

// Every host byte above 127 that the program moves. The others stay as the
// host wrote them. Box-drawing characters become "|", "=", "+", blanks or
// the Windows dash 0x97; a few letters move to their Windows-1252 codes;
// host 0x98 ("ÿ") becomes byte 0.
struct Spostamento
{
    unsigned char host;
    unsigned char windows;
};

constexpr Spostamento spostamenti[] = {
    {0x80, 0x87}, {0x81, 0x81}, {0x82, 0x82}, {0x85, 0x85}, {0x87, 0xE7}, {0x8A, 0x8A},
    {0x8D, 0xA1}, {0x8E, 0x84}, {0x90, 0xC9}, {0x91, 0xE6}, {0x92, 0xC6}, {0x95, 0x95},
    {0x97, 0x97}, {0x98, 0x00}, {0x9B, 0x9B}, {0x9C, 0xA3}, {0x9D, 0xA5}, {0x9F, 0x83},
    {0xA0, 0xE1}, {0xA1, 0xA1}, {0xA2, 0xF3}, {0xA3, 0xFA}, {0xA4, 0xA4}, {0xA5, 0xA5},
    {0xAB, 0xBD}, {0xAC, 0xBC}, {0xAE, 0xAB}, {0xAF, 0xBB}, {0xB0, 0x20}, {0xB1, 0x20},
    {0xB2, 0x20}, {0xB3, 0x7C}, {0xB4, 0x7C}, {0xB5, 0x7C}, {0xB6, 0x7C}, {0xB7, 0x97},
    {0xB8, 0x3D}, {0xB9, 0x7C}, {0xBA, 0x7C}, {0xBB, 0x3D}, {0xBC, 0x3D}, {0xBD, 0x97},
    {0xBE, 0x3D}, {0xBF, 0xBF}, {0xC0, 0xC0}, {0xC1, 0xC1}, {0xC2, 0xC2}, {0xC3, 0x7C},
    {0xC4, 0xC4}, {0xC5, 0xC5}, {0xC6, 0x7C}, {0xC7, 0x7C}, {0xC8, 0x3D}, {0xC9, 0x3D},
    {0xCA, 0x3D}, {0xCB, 0x3D}, {0xCC, 0x7C}, {0xCD, 0x3D}, {0xCE, 0x3D}, {0xCF, 0x3D},
    {0xD0, 0x2B}, {0xD1, 0x3D}, {0xD2, 0x2B}, {0xD3, 0x97}, {0xD4, 0x3D}, {0xD5, 0x3D},
    {0xD6, 0x97}, {0xD7, 0x2B}, {0xD8, 0x3D}, {0xD9, 0xD9}, {0xDA, 0xDA}, {0xF1, 0xB1},
    {0xF9, 0x95}, {0xFA, 0xB7}, {0xFB, 0xFB}, {0xFD, 0xB2},
};

constexpr TabellaCaratteriHost costruisciTabellaHostWin()
{
    TabellaCaratteriHost t{};
    for (int c = 0; c < 256; ++c)
        t[c] = static_cast<unsigned char>(c);
    for (const Spostamento &s : spostamenti)
        t[s.host] = s.windows;
    return t;
}

// The same table, available while compiling so the display table below can
// be derived from it.
constexpr TabellaCaratteriHost tabellaHostWinCostante = costruisciTabellaHostWin();

TabellaCaratteriHost g_tabellaHostWin{};
std::once_flag g_tabellaCostruita;

// ---------------------------------------------------------------------------
// Code pages used for display
// ---------------------------------------------------------------------------

// OEM code page 437, codes 0x80..0xFF: what the host means by its bytes.
constexpr char16_t cp437Alto[128] = {
    u'Ç', u'ü', u'é', u'â', u'ä', u'à', u'å', u'ç', // 80
    u'ê', u'ë', u'è', u'ï', u'î', u'ì', u'Ä', u'Å', // 88
    u'É', u'æ', u'Æ', u'ô', u'ö', u'ò', u'û', u'ù', // 90
    u'ÿ', u'Ö', u'Ü', u'¢', u'£', u'¥', u'₧', u'ƒ', // 98
    u'á', u'í', u'ó', u'ú', u'ñ', u'Ñ', u'ª', u'º', // A0
    u'¿', u'⌐', u'¬', u'½', u'¼', u'¡', u'«', u'»', // A8
    u'░', u'▒', u'▓', u'│', u'┤', u'╡', u'╢', u'╖', // B0
    u'╕', u'╣', u'║', u'╗', u'╝', u'╜', u'╛', u'┐', // B8
    u'└', u'┴', u'┬', u'├', u'─', u'┼', u'╞', u'╟', // C0
    u'╚', u'╔', u'╩', u'╦', u'╠', u'═', u'╬', u'╧', // C8
    u'╨', u'╤', u'╥', u'╙', u'╘', u'╒', u'╓', u'╫', // D0
    u'╪', u'┘', u'┌', u'█', u'▄', u'▌', u'▐', u'▀', // D8
    u'α', u'ß', u'Γ', u'π', u'Σ', u'σ', u'µ', u'τ', // E0
    u'Φ', u'Θ', u'Ω', u'δ', u'∞', u'φ', u'ε', u'∩', // E8
    u'≡', u'±', u'≥', u'≤', u'⌠', u'⌡', u'÷', u'≈', // F0
    u'°', u'∙', u'·', u'√', u'ⁿ', u'²', u'■', u'\u00A0', // F8
};

constexpr char16_t carattereCp437(int codice)
{
    return codice < 0x80 ? char16_t(codice) : cp437Alto[codice - 0x80];
}

constexpr char16_t carattereCp1252(int codice)
{
    return carattereWindows1252(static_cast<unsigned char>(codice));
}

constexpr std::array<char16_t, 256> costruisciTabellaCp1252()
{
    std::array<char16_t, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = carattereCp1252(c);
    return t;
}

constexpr std::array<char16_t, 256> tabellaCp1252 = costruisciTabellaCp1252();

// ---------------------------------------------------------------------------
// Display through a fallback font
// ---------------------------------------------------------------------------
//
// "NetTerm OEM" shows, above 127, the host's cp437 glyph at the codes the
// host table leaves as the host wrote them, and the Windows-1252 glyph at the
// codes the table produces by remapping. A fallback font is given the
// character the OEM font would show:
//   - a code only the host writes unchanged       -> its cp437 character;
//   - a code only the remapping produces          -> its cp1252 character;
//   - a code neither writes (remapped away, never
//     produced)                                    -> its cp1252 character;
//   - a code both write (a conflict)               -> decided below.
//
// The conflicts, as they follow from the host table (code: unchanged host
// character / remapped-in host byte -> its cp1252 character), and how each is
// decided. The Italian letters à è é ì ò ù win every conflict; elsewhere a
// letter wins over a symbol the agency's documents hardly ever use.
//   0x83: host "â"  / host 0x9F "ƒ" -> "ƒ"   => "â"  a letter (French names)
//         against the florin sign, a currency long gone.
//   0x84: host "ä"  / host 0x8E "Ä" -> "„"   => "ä"  both writers mean an a
//         with umlaut; the low quotation mark means neither.
//   0x95: host "ò"  / host 0xF9 "∙" -> "•"   => "ò"  Italian letter.
//   0x97: host "ù"  / host 0xB7 "╖", 0xBD "╜", 0xD3 "╙", 0xD6 "╓" -> "—"
//                                             => "ù"  Italian letter; those
//         four box corners show as "ù" like on the OEM font.
//   0xA1: host "í"  / host 0x8D "ì" -> "¡"   => "ì"  Italian letter: host
//         "ì" lands here, and "í" in an Italian text is a mistyped "ì".
//   0xA5: host "Ñ"  / host 0x9D "¥" -> "¥"   => "Ñ"  a letter (Spanish
//         names, "ESPAÑA") against the yen sign.
//   0xE1: host "ß"  / host 0xA0 "á" -> "á"   => "á"  two letters: Spanish and
//         Portuguese names (Málaga, Cádiz) are far commoner in an Italian
//         agency's bookings than the German sharp s.
//   0xE6: host "µ"  / host 0x91 "æ" -> "æ"   => "æ"  a letter against the
//         micro sign.
//   0xE7: host "τ"  / host 0x87 "ç" -> "ç"   => "ç"  a letter (French names)
//         against a Greek tau used only in formulas.
//   0xF3: host "≤"  / host 0xA2 "ó" -> "ó"   => "ó"  a letter against a
//         mathematical sign.
struct Decisione
{
    unsigned char codice;
    char16_t carattere;
};

constexpr Decisione decisioniConflitti[] = {
    {0x83, u'â'}, {0x84, u'ä'}, {0x95, u'ò'}, {0x97, u'ù'}, {0xA1, u'ì'},
    {0xA5, u'Ñ'}, {0xE1, u'á'}, {0xE6, u'æ'}, {0xE7, u'ç'}, {0xF3, u'ó'},
};

enum Origine : unsigned char {
    Nessuna = 0,
    DalHost = 1,       // the host's byte, left as written
    DaRimappatura = 2, // produced by moving another host byte here
    Conflitto = DalHost | DaRimappatura
};

constexpr std::array<unsigned char, 256> calcolaOrigini(const TabellaCaratteriHost &t)
{
    std::array<unsigned char, 256> o{};
    for (int h = 0x80; h < 256; ++h) {
        if (t[h] == h)
            o[h] |= DalHost;
        else if (t[h] >= 0x80)
            o[t[h]] |= DaRimappatura;
    }
    return o;
}

constexpr std::array<unsigned char, 256> originiCodici = calcolaOrigini(tabellaHostWinCostante);

// Every conflict has exactly one decision and every decision is a conflict:
// a change to the host table that creates or removes a conflict stops the
// build here until the display table is decided again.
constexpr bool decisioniCompleteEdEsatte()
{
    int conflitti = 0;
    for (int c = 0x80; c < 256; ++c)
        if (originiCodici[c] == Conflitto)
            ++conflitti;
    int decise = 0;
    for (const Decisione &d : decisioniConflitti) {
        if (originiCodici[d.codice] != Conflitto)
            return false;
        for (const Decisione &altra : decisioniConflitti)
            if (&altra != &d && altra.codice == d.codice)
                return false;
        ++decise;
    }
    return decise == conflitti;
}
static_assert(decisioniCompleteEdEsatte(), "every display conflict needs exactly one decision");

constexpr std::array<char16_t, 256> costruisciTabellaSostitutiva()
{
    std::array<char16_t, 256> t{};
    for (int c = 0; c < 0x80; ++c)
        t[c] = char16_t(c);
    for (int c = 0x80; c < 256; ++c) {
        switch (originiCodici[c]) {
        case DalHost:
            t[c] = carattereCp437(c);
            break;
        case DaRimappatura:
        case Nessuna:
            t[c] = carattereCp1252(c);
            break;
        default:
            for (const Decisione &d : decisioniConflitti)
                if (d.codice == c)
                    t[c] = d.carattere;
            break;
        }
    }
    return t;
}

constexpr std::array<char16_t, 256> tabellaFontSostitutivo = costruisciTabellaSostitutiva();

// Sample checks that tie the derived table to what the OEM font shows.
static_assert(tabellaFontSostitutivo[0x85] == u'à' && tabellaFontSostitutivo[0xC4] == u'─');
static_assert(tabellaFontSostitutivo[0xC9] == u'É' && tabellaFontSostitutivo[0xA3] == u'£');
static_assert(tabellaFontSostitutivo[0x80] == u'€' && tabellaFontSostitutivo[0x00] == 0);

// ---------------------------------------------------------------------------
// Host text everywhere else
// ---------------------------------------------------------------------------

// The page's reading with the code 0 shown as U+FFFD (see testoDalHost).
constexpr std::array<char16_t, 256> costruisciTabellaTesto()
{
    std::array<char16_t, 256> t = tabellaFontSostitutivo;
    t[0] = u'\uFFFD';
    return t;
}

constexpr std::array<char16_t, 256> tabellaTesto = costruisciTabellaTesto();

// The same straight from the host's bytes: TabellaHostWin, then the text
// table.
constexpr std::array<char16_t, 256> costruisciTabellaTestoHost()
{
    std::array<char16_t, 256> t{};
    for (int h = 0; h < 256; ++h)
        t[h] = tabellaTesto[tabellaHostWinCostante[h]];
    return t;
}

constexpr std::array<char16_t, 256> tabellaTestoHost = costruisciTabellaTestoHost();

static_assert(tabellaTestoHost[0x85] == u'à' && tabellaTestoHost[0x8A] == u'è' && tabellaTestoHost[0x8D] == u'ì');
static_assert(tabellaTestoHost[0x95] == u'ò' && tabellaTestoHost[0x97] == u'ù' && tabellaTestoHost[0xB3] == u'|');

// How plain a host code is for writing a character back (lower is
// plainer): an ASCII code, then the host's own code for the character, then
// any other; a NUL byte last (host 0x98 is what reads "\uFFFD").
constexpr int semplicita(int host, char16_t carattere)
{
    if (host == 0)
        return 3;
    if (host < 0x80)
        return 0;
    if (cp437Alto[host - 0x80] == carattere)
        return 1;
    return 2;
}

// Character -> host byte, for every character some host byte shows.
const QHash<char16_t, unsigned char> &byteHostPerCarattere()
{
    static const QHash<char16_t, unsigned char> tabella = [] {
        QHash<char16_t, unsigned char> t;
        for (int h = 0; h < 256; ++h) {
            const char16_t c = tabellaTestoHost[h];
            const auto gia = t.constFind(c);
            // Ascending h: a later code replaces an earlier one only when
            // it is plainer.
            if (gia == t.cend() || semplicita(h, c) < semplicita(*gia, c))
                t.insert(c, static_cast<unsigned char>(h));
        }
        return t;
    }();
    return tabella;
}

QString decodificaConTabella(QByteArrayView byte, const std::array<char16_t, 256> &tabella)
{
    const qsizetype n = byte.size();
    QString testo(n, Qt::Uninitialized);
    const auto *in = reinterpret_cast<const unsigned char *>(byte.constData());
    auto *out = reinterpret_cast<char16_t *>(testo.data());
    for (qsizetype i = 0; i < n; ++i)
        out[i] = tabella[in[i]];
    return testo;
}

} // namespace

void CARATTERI_WINPC()
{
    std::call_once(g_tabellaCostruita, [] { g_tabellaHostWin = costruisciTabellaHostWin(); });
}

const TabellaCaratteriHost &TabellaHostWin()
{
    CARATTERI_WINPC();
    return g_tabellaHostWin;
}

QByteArray convertiHostWin(const QByteArray &riga)
{
    const auto *in = reinterpret_cast<const unsigned char *>(riga.constData());
    const qsizetype n = riga.size();

    // Most lines are plain ASCII: hand them back shared, without a copy.
    qsizetype i = 0;
    while (i < n && in[i] < 0x80)
        ++i;
    if (i == n)
        return riga;

    // Entries 0..127 are the identity, so the rest of the line goes through
    // the table without a branch per byte. Byte 0 (from host 0x98) is
    // ordinary data inside the QByteArray.
    const TabellaCaratteriHost &t = TabellaHostWin();
    QByteArray convertito(n, Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(convertito.data());
    std::memcpy(out, in, static_cast<size_t>(i));
    for (; i < n; ++i)
        out[i] = t[in[i]];
    return convertito;
}

QString decodificaPerVisualizzazione(const QByteArray &convertito, bool fontOemInstallato)
{
    return decodificaConTabella(convertito, fontOemInstallato ? tabellaCp1252 : tabellaFontSostitutivo);
}

QChar carattereFontSostitutivo(unsigned char codice)
{
    return QChar(tabellaFontSostitutivo[codice]);
}

QString testoDalHost(QByteArrayView host)
{
    return decodificaConTabella(host, tabellaTestoHost);
}

QString testoDaConvertito(QByteArrayView convertito)
{
    return decodificaConTabella(convertito, tabellaTesto);
}

QByteArray byteHost(QStringView testo, qsizetype &rifiutato)
{
    const QHash<char16_t, unsigned char> &tabella = byteHostPerCarattere();
    QByteArray byte;
    byte.reserve(testo.size());
    rifiutato = -1;
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const char16_t c = testo[i].unicode();
        if (c > 0 && c < 0x80) {
            byte.append(char(c));
            continue;
        }
        const auto h = tabella.constFind(c);
        if (h == tabella.cend()) {
            rifiutato = i;
            return byte;
        }
        byte.append(char(*h));
    }
    return byte;
}

} // namespace vorpla
