#include "common/FunzioniRegistro.h"

#include "TestSupport.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>

using namespace vorpla;

namespace {

const QString chiaveMailto = QStringLiteral("HKEY_CLASSES_ROOT\\mailto\\shell\\open\\command");

// Saves environment variables and puts them back as they were.
class AmbienteSalvato
{
public:
    explicit AmbienteSalvato(std::initializer_list<const char *> nomi)
    {
        for (const char *nome : nomi)
            m_valori[nome] = qEnvironmentVariableIsSet(nome) ? std::optional(qgetenv(nome)) : std::nullopt;
    }
    ~AmbienteSalvato()
    {
        for (const auto &[nome, valore] : m_valori) {
            if (valore)
                qputenv(nome.c_str(), *valore);
            else
                qunsetenv(nome.c_str());
        }
    }
    AmbienteSalvato(const AmbienteSalvato &) = delete;
    AmbienteSalvato &operator=(const AmbienteSalvato &) = delete;

private:
    std::map<std::string, std::optional<QByteArray>> m_valori;
};

// A desktop of the test's own in a temporary folder, answered by the real
// xdg-mime in its generic mode: the session variables that would pick a
// method of a particular desktop are unset. xdg-mime accepts a handler only when
// the first word of its Exec line is a program on PATH, so the handlers'
// programs are made in <tmp>/bin, put in front of PATH.
class FunzioniRegistro : public ::testing::Test
{
protected:
    AmbienteSalvato m_ambiente{"HOME", "PATH", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                               "XDG_DATA_DIRS", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
                               "KDE_FULL_SESSION", "KDE_SESSION_VERSION", "GNOME_DESKTOP_SESSION_ID",
                               "MATE_DESKTOP_SESSION_ID", "LXQT_SESSION_CONFIG", "XDG_MENU_PREFIX"};
    QTemporaryDir m_dir;

    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
            GTEST_SKIP() << "xdg-mime is not installed";
        ASSERT_TRUE(m_dir.isValid());
        for (const char *nome : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                 "KDE_SESSION_VERSION", "GNOME_DESKTOP_SESSION_ID",
                                 "MATE_DESKTOP_SESSION_ID", "LXQT_SESSION_CONFIG", "XDG_MENU_PREFIX"})
            qunsetenv(nome);
        imposta("HOME", QStringLiteral("home"));
        imposta("XDG_CONFIG_HOME", QStringLiteral("config"));
        imposta("XDG_CONFIG_DIRS", QStringLiteral("config-sistema"));
        imposta("XDG_DATA_HOME", QStringLiteral("dati"));
        qputenv("XDG_DATA_DIRS",
                (percorso(QStringLiteral("sistema1")) + u':' + percorso(QStringLiteral("sistema2"))).toLocal8Bit());
        qputenv("PATH", (percorso(QStringLiteral("bin")) + u':').toLocal8Bit() + qgetenv("PATH"));
        prova::scriviFile(percorso(QStringLiteral("home/.keep")), {});
    }

    QString percorso(const QString &relativo) const { return m_dir.path() + u'/' + relativo; }

    void imposta(const char *nome, const QString &relativo)
    {
        qputenv(nome, percorso(relativo).toLocal8Bit());
    }

    void impostaGestore(const QString &id)
    {
        prova::scriviFile(percorso(QStringLiteral("config/mimeapps.list")),
                          "[Default Applications]\nx-scheme-handler/mailto=" + id.toUtf8() + "\n");
    }

    void scriviEseguibile(const QString &nome, const QByteArray &script)
    {
        const QString file = percorso(QStringLiteral("bin/") + nome);
        prova::scriviFile(file, script);
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void installaProgramma(const QString &nome) { scriviEseguibile(nome, "#!/bin/sh\nexit 0\n"); }

    // A desktop file <cartella>/applications/<relativo>.
    void scriviDesktop(const QString &cartella, const QString &relativo, const QByteArray &contenuto)
    {
        prova::scriviFile(percorso(cartella + QStringLiteral("/applications/") + relativo), contenuto);
    }

    static QByteArray desktop(const QByteArray &exec)
    {
        return "[Desktop Entry]\nType=Application\nName=Posta\nExec=" + exec + "\n";
    }

    void gestoreDiProva()
    {
        installaProgramma(QStringLiteral("posta-prova"));
        scriviDesktop(QStringLiteral("dati"), QStringLiteral("posta-prova.desktop"),
                      desktop("posta-prova --compose %u"));
        impostaGestore(QStringLiteral("posta-prova.desktop"));
    }
};

} // namespace

TEST(FunzioniRegistroTrovaBase, RadiciEPercorso)
{
    struct Caso
    {
        QString ingresso;
        RadiceRegistro radice;
        QString resto;
    };
    const Caso casi[] = {
        {QStringLiteral("HKEY_CLASSES_ROOT\\mailto\\shell"), RadiceRegistro::ClassesRoot,
         QStringLiteral("mailto\\shell")},
        {QStringLiteral("hkey_current_user\\Software\\Ulka"), RadiceRegistro::CurrentUser,
         QStringLiteral("Software\\Ulka")},
        {QStringLiteral("Hkey_Local_Machine\\SOFTWARE"), RadiceRegistro::LocalMachine,
         QStringLiteral("SOFTWARE")},
        {QStringLiteral("HKEY_USERS\\.DEFAULT"), RadiceRegistro::Users, QStringLiteral(".DEFAULT")},
        {QStringLiteral("HKEY_PERFORMANCE_DATA\\x"), RadiceRegistro::PerformanceData, QStringLiteral("x")},
        {QStringLiteral("HKEY_CURRENT_CONFIG\\Display\\"), RadiceRegistro::CurrentConfig,
         QStringLiteral("Display\\")},
        {QStringLiteral("HKEY_DYN_DATA\\a\\b\\c"), RadiceRegistro::DynData, QStringLiteral("a\\b\\c")},
        // No "\": the whole text is the root, nothing is left below it.
        {QStringLiteral("HKEY_USERS"), RadiceRegistro::Users, QString()},
        {QStringLiteral("hkey_classes_root"), RadiceRegistro::ClassesRoot, QString()},
        // Unknown roots, abbreviations and a leading "\" are not roots.
        {QStringLiteral("HKCR\\mailto"), RadiceRegistro::NonValida, QStringLiteral("mailto")},
        {QStringLiteral("HKEY_CLASSES_ROOTX\\mailto"), RadiceRegistro::NonValida, QStringLiteral("mailto")},
        {QStringLiteral("\\HKEY_CLASSES_ROOT\\mailto"), RadiceRegistro::NonValida,
         QStringLiteral("HKEY_CLASSES_ROOT\\mailto")},
        {QString(), RadiceRegistro::NonValida, QString()},
    };
    for (const Caso &caso : casi) {
        QString percorso = caso.ingresso;
        EXPECT_EQ(TrovaBase(percorso), caso.radice) << caso.ingresso.toStdString();
        EXPECT_EQ(percorso, caso.resto) << caso.ingresso.toStdString();
    }
}

TEST_F(FunzioniRegistro, LeggeIlComandoDelGestore)
{
    gestoreDiProva();

    EXPECT_EQ(comandoGestoreMailto(), QStringLiteral("posta-prova --compose %u"));
    QString valore = QStringLiteral("vecchio");
    EXPECT_TRUE(LeggiChiaveTesto(chiaveMailto, QString(), valore, QStringLiteral("ripiego")));
    EXPECT_EQ(valore, QStringLiteral("posta-prova --compose %u"));

    // Root and key names in any case.
    valore.clear();
    EXPECT_TRUE(LeggiChiaveTesto(QStringLiteral("hkey_classes_root\\MAILTO\\shell\\open\\command"), QString(),
                                 valore, QStringLiteral("ripiego")));
    EXPECT_EQ(valore, QStringLiteral("posta-prova --compose %u"));
}

TEST_F(FunzioniRegistro, ApreEChiudeLaChiave)
{
    gestoreDiProva();

    ChiaveRegistro chiave;
    ASSERT_TRUE(ApriChiave(QStringLiteral("HKEY_CLASSES_ROOT\\Mailto\\Shell\\Open\\Command"), 1, chiave));
    EXPECT_TRUE(chiave.aperta);
    EXPECT_EQ(chiave.radice, RadiceRegistro::ClassesRoot);
    EXPECT_EQ(chiave.percorso, QStringLiteral("Mailto\\Shell\\Open\\Command"));
    EXPECT_TRUE(ChiudiChiave(chiave));
    EXPECT_FALSE(chiave.aperta);
    EXPECT_FALSE(ChiudiChiave(chiave));

    // Keys that do not exist, even with the handler configured.
    for (const QString &altra : {QStringLiteral("HKEY_CLASSES_ROOT\\http\\shell\\open\\command"),
                                 QStringLiteral("HKEY_CLASSES_ROOT\\mailto\\shell\\open"),
                                 QStringLiteral("HKEY_CLASSES_ROOT\\mailto\\shell\\open\\command\\x"),
                                 QStringLiteral("HKEY_CURRENT_USER\\mailto\\shell\\open\\command"),
                                 QStringLiteral("HKCR\\mailto\\shell\\open\\command"),
                                 QStringLiteral("mailto\\shell\\open\\command")}) {
        ChiaveRegistro nessuna;
        EXPECT_FALSE(ApriChiave(altra, 1, nessuna)) << altra.toStdString();
        EXPECT_FALSE(nessuna.aperta);
        EXPECT_FALSE(ChiudiChiave(nessuna));
    }
}

TEST_F(FunzioniRegistro, ValoriCheNonSiLeggono)
{
    gestoreDiProva();
    QString valore;

    // The command is a REG_SZ: read as REG_EXPAND_SZ it is a type mismatch.
    EXPECT_FALSE(LeggiChiaveTestoESTESA(chiaveMailto, QString(), valore, QStringLiteral("ripiego")));
    EXPECT_EQ(valore, QStringLiteral("ripiego"));

    // Only the default value exists.
    valore = QStringLiteral("vecchio");
    EXPECT_FALSE(LeggiChiaveTesto(chiaveMailto, QStringLiteral("Command"), valore, QStringLiteral("ripiego")));
    EXPECT_EQ(valore, QStringLiteral("ripiego"));

    // Another key.
    valore = QStringLiteral("vecchio");
    EXPECT_FALSE(LeggiChiaveTesto(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Ulka\\Vorpla"),
                                  QStringLiteral("Percorso"), valore, QString()));
    EXPECT_TRUE(valore.isEmpty());
    EXPECT_FALSE(LeggiChiaveTestoESTESA(QStringLiteral("HKEY_CURRENT_USER\\Environment"),
                                        QStringLiteral("PATH"), valore, QStringLiteral("r")));
    EXPECT_EQ(valore, QStringLiteral("r"));
}

TEST_F(FunzioniRegistro, SenzaGestoreLaChiaveNonEsiste)
{
    // Nothing configured: no mimeapps.list, no desktop file for mailto.
    installaProgramma(QStringLiteral("posta-prova"));
    scriviDesktop(QStringLiteral("dati"), QStringLiteral("posta-prova.desktop"), desktop("posta-prova %u"));
    EXPECT_TRUE(comandoGestoreMailto().isEmpty());

    QString valore = QStringLiteral("vecchio");
    EXPECT_FALSE(LeggiChiaveTesto(chiaveMailto, QString(), valore, QStringLiteral("ripiego")));
    EXPECT_EQ(valore, QStringLiteral("ripiego"));
    ChiaveRegistro chiave;
    EXPECT_FALSE(ApriChiave(chiaveMailto, 1, chiave));
    EXPECT_FALSE(chiave.aperta);
}

TEST_F(FunzioniRegistro, IdConTrattinoInUnaSottocartella)
{
    installaProgramma(QStringLiteral("posta-ditta"));
    scriviDesktop(QStringLiteral("dati"), QStringLiteral("ditta/posta.desktop"), desktop("posta-ditta -m %u"));
    impostaGestore(QStringLiteral("ditta-posta.desktop"));
    EXPECT_EQ(comandoGestoreMailto(), QStringLiteral("posta-ditta -m %u"));
}

TEST_F(FunzioniRegistro, CartelleDatiDiSistemaEPrecedenza)
{
    installaProgramma(QStringLiteral("posta-sistema"));
    // Only in the second folder of XDG_DATA_DIRS.
    scriviDesktop(QStringLiteral("sistema2"), QStringLiteral("posta-sistema.desktop"),
                  desktop("posta-sistema --mailto=%u"));
    impostaGestore(QStringLiteral("posta-sistema.desktop"));
    EXPECT_EQ(comandoGestoreMailto(), QStringLiteral("posta-sistema --mailto=%u"));

    // The user's own copy hides the system's, and the first system folder
    // hides the second.
    scriviDesktop(QStringLiteral("sistema1"), QStringLiteral("posta-sistema.desktop"),
                  desktop("posta-sistema --primo %u"));
    EXPECT_EQ(comandoGestoreMailto(), QStringLiteral("posta-sistema --primo %u"));
    scriviDesktop(QStringLiteral("dati"), QStringLiteral("posta-sistema.desktop"),
                  desktop("posta-sistema --utente %u"));
    EXPECT_EQ(comandoGestoreMailto(), QStringLiteral("posta-sistema --utente %u"));
}

TEST_F(FunzioniRegistro, SoloExecDelGruppoDesktopEntry)
{
    installaProgramma(QStringLiteral("posta-prova"));
    scriviDesktop(QStringLiteral("dati"), QStringLiteral("posta-prova.desktop"),
                  "# Posta di prova\n"
                  "[Desktop Action Nuovo]\n"
                  "Exec=posta-prova --nuovo\n"
                  "\n"
                  "[Desktop Entry]\n"
                  "Type=Application\n"
                  "Exec[it]=posta-prova --componi %u\n"
                  "TryExec=posta-prova\n"
                  "Exec = posta-prova -compose \"to='%u'\" %%\n"
                  "Actions=Nuovo;\n"
                  "\n"
                  "[Desktop Action Rubrica]\n"
                  "Exec=posta-prova --rubrica\n");
    impostaGestore(QStringLiteral("posta-prova.desktop"));
    EXPECT_EQ(comandoGestoreMailto(), QStringLiteral("posta-prova -compose \"to='%u'\" %%"));
}

// xdg-mime replaced by scripts of the test's own, for the answers the real
// one does not give on demand.
TEST_F(FunzioniRegistro, RisposteDiXdgMime)
{
    scriviDesktop(QStringLiteral("dati"), QStringLiteral("posta-prova.desktop"),
                  QByteArray("[Desktop Entry]\nExec=posta-prova %u") + '\0' + "coda\n");

    // Only the first line names the handler; a NUL in the value ends it.
    scriviEseguibile(QStringLiteral("xdg-mime"), "#!/bin/sh\necho '  posta-prova.desktop  '\necho altro.desktop\n");
    QString valore;
    EXPECT_TRUE(LeggiChiaveTesto(chiaveMailto, QString(), valore, QStringLiteral("ripiego")));
    EXPECT_EQ(valore, QStringLiteral("posta-prova %u"));

    // A failing xdg-mime names no handler, whatever it prints.
    scriviEseguibile(QStringLiteral("xdg-mime"), "#!/bin/sh\necho posta-prova.desktop\nexit 4\n");
    EXPECT_TRUE(comandoGestoreMailto().isEmpty());

    // A handler whose desktop file is nowhere.
    scriviEseguibile(QStringLiteral("xdg-mime"), "#!/bin/sh\necho assente.desktop\n");
    EXPECT_TRUE(comandoGestoreMailto().isEmpty());

    // No xdg-mime at all.
    qputenv("PATH", percorso(QStringLiteral("vuota")).toLocal8Bit());
    EXPECT_TRUE(comandoGestoreMailto().isEmpty());
    EXPECT_FALSE(LeggiChiaveTesto(chiaveMailto, QString(), valore, QStringLiteral("ripiego")));
    EXPECT_EQ(valore, QStringLiteral("ripiego"));
}
