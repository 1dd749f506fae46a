#include "common/ErroreVB.h"
#include "common/LettoreRighe.h"

#include "TestSupport.h"

#include <QFile>
#include <QFileDevice>
#include <QScopeGuard>
#include <gtest/gtest.h>
#include <initializer_list>
#include <random>
#include <sys/stat.h>
#include <string>
#include <vector>

using namespace vorpla;
using vorpla::prova::erroreDi;
using vorpla::prova::CartellaProva;

namespace {

// Lines as std::string: exact bytes (zero bytes included) that failure
// messages print readably.
using Righe = std::vector<std::string>;

constexpr qsizetype MiB = LettoreRighe::LunghezzaMassima;

// Block sizes that put every position of a file on a buffer boundary
// sooner or later: the smallest buffer, an odd one (whose doublings never
// meet a power of two), and the reader's default.
constexpr qsizetype Blocchi[] = {16, 17, 1 << 20};

std::string nomeBlocco(qsizetype blocco)
{
    return "block " + std::to_string(blocco);
}

// Every line of a file as the reader returns it. Also checks that the end,
// once reached, stays the end and that no line is ever longer than the cut.
Righe leggiTutte(const QString &percorso, qsizetype blocco)
{
    LettoreRighe lettore(percorso, blocco);
    Righe righe;
    QByteArrayView riga;
    while (lettore.prossima(riga)) {
        EXPECT_LE(riga.size(), MiB);
        righe.emplace_back(riga.data(), size_t(riga.size()));
    }
    EXPECT_FALSE(lettore.prossima(riga)) << "a further call after the end must report the end again";
    return righe;
}

// The plain definition of the reader's lines, to compare against: CR LF, LF
// and CR each end a line, a final line without a break still counts, nothing
// follows the last break, and a line keeps only its first MiB bytes.
Righe dividi(const QByteArray &byte)
{
    Righe righe;
    std::string corrente;
    bool aperta = false;
    for (qsizetype i = 0; i < byte.size(); ++i) {
        const char c = byte[i];
        if (c == '\r' || c == '\n') {
            righe.push_back(corrente.substr(0, size_t(MiB)));
            corrente.clear();
            aperta = false;
            if (c == '\r' && i + 1 < byte.size() && byte[i + 1] == '\n')
                ++i;
        } else {
            corrente += c;
            aperta = true;
        }
    }
    if (aperta)
        righe.push_back(corrente.substr(0, size_t(MiB)));
    return righe;
}

// Bytes that differ from position to position, so a line cut or joined at
// the wrong place cannot compare equal by chance.
QByteArray riempitivo(qsizetype lunghezza)
{
    QByteArray b(lunghezza, Qt::Uninitialized);
    for (qsizetype i = 0; i < lunghezza; ++i)
        b[i] = char('A' + i % 23 + (i / 23) % 3);
    return b;
}

// ---- line ends ---------------------------------------------------------------

struct CasoRighe
{
    const char *nome;
    QByteArray contenuto;
    Righe attese;
};

TEST(LettoreRighe, FineRigaERigheVuote)
{
    const std::vector<CasoRighe> casi = {
        {"empty file", QByteArray(), {}},
        {"CR LF only", "\r\n", {""}},
        {"LF only", "\n", {""}},
        {"CR only", "\r", {""}},
        {"no break at all", "abc", {"abc"}},
        {"CR LF", "uno\r\ndue\r\n", {"uno", "due"}},
        {"LF", "uno\ndue\n", {"uno", "due"}},
        {"CR", "uno\rdue\r", {"uno", "due"}},
        {"last line without break", "uno\r\ndue", {"uno", "due"}},
        {"empty line between CR LF", "a\r\n\r\nb", {"a", "", "b"}},
        {"two CR", "a\r\rb", {"a", "", "b"}},
        {"two LF", "a\n\nb", {"a", "", "b"}},
        {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"CR CR LF", "a\r\r\nb", {"a", "", "b"}},
        {"mixed ends", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"trailing empty lines", "a\r\n\r\n\n", {"a", "", ""}},
        {"leading breaks", "\n\r\nx", {"", "", "x"}},
        {"zero byte kept", QByteArray("a\0b\r\n\0\r\n", 8), {std::string("a\0b", 3), std::string(1, '\0')}},
        {"high bytes kept", "\xFF\xE0\x80\r\n", {"\xFF\xE0\x80"}},
        {"line longer than the block", "0123456789abcdefghijklmnopqrstuvwxyz\r\nend",
         {"0123456789abcdefghijklmnopqrstuvwxyz", "end"}},
        {"long final line without break", "x\r\n0123456789abcdefghijklmnopqrstuvwxyz0123456789",
         {"x", "0123456789abcdefghijklmnopqrstuvwxyz0123456789"}},
    };
    CartellaProva cartella;
    for (const CasoRighe &caso : casi) {
        const QString f = cartella.scrivi(QStringLiteral("righe.prn"), caso.contenuto);
        for (const qsizetype blocco : Blocchi)
            EXPECT_EQ(leggiTutte(f, blocco), caso.attese) << caso.nome << ", " << nomeBlocco(blocco);
    }
}

// A line break (or a pair of them) at every offset from the start of the
// file, so that with small blocks it falls on each position around a buffer
// boundary: the CR as the last byte read and its LF as the first of the next
// read, a break right after the buffer was grown or compacted, and so on.
TEST(LettoreRighe, InterruzioniSuiBordiDelBuffer)
{
    struct Forma
    {
        const char *interruzione;
        Righe dopo; // lines after the leading one
    };
    const Forma forme[] = {
        {"\r\n", {"y", "z"}},
        {"\r", {"y", "z"}},
        {"\n", {"y", "z"}},
        {"\r\r\n", {"", "y", "z"}},
        {"\r\n\r\n", {"", "y", "z"}},
        {"\n\r", {"", "y", "z"}},
    };
    CartellaProva cartella;
    for (const Forma &forma : forme) {
        for (qsizetype k = 0; k <= 70; ++k) {
            const QByteArray primo = riempitivo(k);
            const QString f = cartella.scrivi(QStringLiteral("bordi.prn"),
                                              primo + forma.interruzione + "y\r\nz");
            Righe attese{primo.toStdString()};
            attese.insert(attese.end(), forma.dopo.begin(), forma.dopo.end());
            for (const qsizetype blocco : {qsizetype(16), qsizetype(17)})
                ASSERT_EQ(leggiTutte(f, blocco), attese)
                    << "break " << QByteArray(forma.interruzione).toHex().constData() << " after " << k
                    << " bytes, " << nomeBlocco(blocco);
        }
    }
}

TEST(LettoreRighe, FileVuoto)
{
    CartellaProva cartella;
    const QString vuoto = cartella.scrivi(QStringLiteral("vuoto.prn"), {});
    const QString soloAcapo = cartella.scrivi(QStringLiteral("acapo.prn"), "\r\n");

    LettoreRighe lettore(vuoto, 16);
    EXPECT_TRUE(lettore.vuoto());
    QByteArrayView riga;
    EXPECT_FALSE(lettore.prossima(riga));

    LettoreRighe unaRiga(soloAcapo, 16);
    EXPECT_FALSE(unaRiga.vuoto()) << "a file with a line break holds one (empty) line";
    ASSERT_TRUE(unaRiga.prossima(riga));
    EXPECT_TRUE(riga.isEmpty());
    EXPECT_FALSE(unaRiga.prossima(riga));
}

// Random bytes with many line breaks of every kind, zero bytes and runs
// long enough to span several blocks, against the plain splitter.
TEST(LettoreRighe, ConfrontoConDivisioneSemplice)
{
    std::mt19937 generatore(20240611u);
    const auto numero = [&](int da, int a) { return std::uniform_int_distribution<int>(da, a)(generatore); };

    CartellaProva cartella;
    for (int file = 0; file < 150; ++file) {
        QByteArray contenuto;
        const int lunghezza = numero(0, 3000);
        while (contenuto.size() < lunghezza) {
            const int tipo = numero(0, 99);
            if (tipo < 8)
                contenuto += "\r\n";
            else if (tipo < 13)
                contenuto += '\n';
            else if (tipo < 18)
                contenuto += '\r';
            else if (tipo < 20)
                contenuto += '\0';
            else if (tipo < 22)
                contenuto += riempitivo(numero(20, 300)); // longer than the small blocks
            else
                contenuto += char(numero(0, 255));
        }
        const QString f = cartella.scrivi(QStringLiteral("caso.prn"), contenuto);
        const Righe attese = dividi(contenuto);
        for (const qsizetype blocco : {qsizetype(16), qsizetype(17), qsizetype(31), qsizetype(64),
                                       qsizetype(4096)})
            ASSERT_EQ(leggiTutte(f, blocco), attese) << "file " << file << " ("
                                                     << contenuto.toHex().constData() << "), "
                                                     << nomeBlocco(blocco);
    }
}

// Lines ended by CR alone, of lengths around the slices the reader searches
// for a line end in, and one long file of them: the same lines as CR LF.
TEST(LettoreRighe, SoloCRComeCRLF)
{
    CartellaProva cartella;
    QByteArray cr, crlf;
    Righe attese;
    for (int i = 0; i < 3000; ++i) {
        const QByteArray riga = riempitivo(i < 600 ? i : i % 7);
        cr += riga + '\r';
        crlf += riga + "\r\n";
        attese.push_back(riga.toStdString());
    }
    const QString soloCr = cartella.scrivi(QStringLiteral("cr.prn"), cr);
    const QString conLf = cartella.scrivi(QStringLiteral("crlf.prn"), crlf);
    for (const qsizetype blocco : Blocchi) {
        EXPECT_TRUE(leggiTutte(soloCr, blocco) == attese) << nomeBlocco(blocco);
        EXPECT_TRUE(leggiTutte(conLf, blocco) == attese) << nomeBlocco(blocco);
    }

    // 4 million one-character lines: looking for an LF that never comes
    // through the rest of the buffer at every line takes about a minute.
    QByteArray molte(8 << 20, 'x');
    for (qsizetype i = 1; i < molte.size(); i += 2)
        molte[i] = '\r';
    const QString grande = cartella.scrivi(QStringLiteral("molte.prn"), molte);
    molte.clear();
    LettoreRighe lettore(grande);
    QByteArrayView riga;
    qint64 righe = 0, diverse = 0;
    while (lettore.prossima(riga)) {
        ++righe;
        diverse += riga != "x";
    }
    EXPECT_EQ(righe, 4 << 20);
    EXPECT_EQ(diverse, 0);
}

// ---- over-long lines -------------------------------------------------------------

// A line longer than the maximum comes back cut to its first MiB bytes, the
// rest of it (line break included) is skipped and the next line is read
// whole. Lengths around the cut and around the buffer sizes the reader
// reaches (the odd block grows past one MiB before it is full), with the
// break right after the line and with the CR as the last byte of a read.
TEST(LettoreRighe, RigaTroppoLungaTagliata)
{
    CartellaProva cartella;
    for (const qsizetype lunghezza : {MiB - 1, MiB, MiB + 1, MiB + 100, 2 * MiB - 1, 3 * MiB}) {
        const QByteArray lunga = riempitivo(lunghezza);
        const QString f = cartella.scrivi(QStringLiteral("lunga.prn"), lunga + "\r\nseguente\r\n\r\nultima");
        const Righe attese{lunga.left(MiB).toStdString(), "seguente", "", "ultima"};
        for (const qsizetype blocco : {qsizetype(16), qsizetype(17), qsizetype(1 << 20), qsizetype(4 << 20)}) {
            const Righe lette = leggiTutte(f, blocco);
            ASSERT_EQ(lette.size(), attese.size()) << "line of " << lunghezza << " bytes, " << nomeBlocco(blocco);
            EXPECT_EQ(qsizetype(lette[0].size()), qMin(lunghezza, MiB))
                << "line of " << lunghezza << " bytes, " << nomeBlocco(blocco);
            EXPECT_TRUE(lette == attese) << "line of " << lunghezza << " bytes, " << nomeBlocco(blocco);
        }
    }
}

TEST(LettoreRighe, RigaTroppoLungaSenzaAcapo)
{
    CartellaProva cartella;
    const QByteArray lunga = riempitivo(3 * MiB);
    const QString soloLunga = cartella.scrivi(QStringLiteral("a.prn"), lunga);
    const QString dopoCorta = cartella.scrivi(QStringLiteral("b.prn"), "prima\n" + lunga);
    const QString finisceCR = cartella.scrivi(QStringLiteral("c.prn"), lunga + "\r");
    const std::string tagliata = lunga.left(MiB).toStdString();
    for (const qsizetype blocco : Blocchi) {
        EXPECT_TRUE(leggiTutte(soloLunga, blocco) == Righe{tagliata}) << nomeBlocco(blocco);
        EXPECT_TRUE(leggiTutte(dopoCorta, blocco) == (Righe{"prima", tagliata})) << nomeBlocco(blocco);
        EXPECT_TRUE(leggiTutte(finisceCR, blocco) == Righe{tagliata}) << nomeBlocco(blocco);
    }
}

// Several over-long lines in a row, separated by every kind of break: each
// is cut on its own and none swallows the next.
TEST(LettoreRighe, PiuRigheTroppoLunghe)
{
    CartellaProva cartella;
    const QByteArray a = riempitivo(MiB + 5);
    const QByteArray b(MiB + 7, 'b');
    const QByteArray c(2 * MiB, 'c');
    const QString f = cartella.scrivi(QStringLiteral("lunghe.prn"), a + "\r" + b + "\n" + c + "\r\nfine");
    const Righe attese{a.left(MiB).toStdString(), b.left(MiB).toStdString(), c.left(MiB).toStdString(), "fine"};
    for (const qsizetype blocco : Blocchi)
        EXPECT_TRUE(leggiTutte(f, blocco) == attese) << nomeBlocco(blocco);
}

// ---- open errors -----------------------------------------------------------------


TEST(LettoreRighe, ErroriDiApertura)
{
    CartellaProva cartella;
    const QString esistente = cartella.scrivi(QStringLiteral("c.prn"), "x\r\n");
    const QString fifo = cartella.percorso(QStringLiteral("fifo.prn"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    const QString zero = cartella.percorso(QStringLiteral("zero.prn"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const struct
    {
        const char *nome;
        QString percorso;
        int errore;
    } casi[] = {
        {"missing file", cartella.percorso(QStringLiteral("manca.prn")), Err::FileNonTrovato},
        {"missing folder", cartella.percorso(QStringLiteral("manca/c.prn")), Err::FileNonTrovato},
        {"empty name", QString(), Err::AccessoPercorso},
        {"a folder", cartella.radice(), Err::AccessoPercorso},
        // Neither would ever end or start: refused before they are read.
        {"a FIFO", fifo, Err::AccessoPercorso},
        {"a link to /dev/zero", zero, Err::AccessoPercorso},
        {"readable file", esistente, 0},
    };
    for (const auto &caso : casi) {
        EXPECT_EQ(erroreDi([&] { LettoreRighe l(caso.percorso); }), caso.errore) << caso.nome;
        EXPECT_EQ(erroreDi([&] { LettoreRighe::verificaApertura(caso.percorso); }), caso.errore) << caso.nome;
    }
}

TEST(LettoreRighe, FileNonLeggibile)
{
    CartellaProva cartella;
    const QString f = cartella.scrivi(QStringLiteral("chiuso.prn"), "x\r\n");
    ASSERT_TRUE(QFile::setPermissions(f, QFileDevice::WriteOwner));
    const auto ripristina =
        qScopeGuard([&] { QFile::setPermissions(f, QFileDevice::ReadOwner | QFileDevice::WriteOwner); });
    {
        QFile prova(f);
        if (prova.open(QIODevice::ReadOnly))
            GTEST_SKIP() << "permissions do not stop this user (root) from reading";
    }
    EXPECT_EQ(erroreDi([&] { LettoreRighe l(f); }), Err::PermessoNegato);
    EXPECT_EQ(erroreDi([&] { LettoreRighe::verificaApertura(f); }), Err::PermessoNegato);
}

} // namespace
