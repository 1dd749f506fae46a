#include "FunzioniRegistro.h"

#include "FileRegolare.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace vorpla {

namespace {

// The one key that exists, below HKEY_CLASSES_ROOT.
const QString chiaveComandoMailto = QStringLiteral("mailto\\shell\\open\\command");

constexpr int attesaXdgMimeMs = 5000;

QString variabileOppure(const char *nome, const QString &predefinito)
{
    const QString valore = qEnvironmentVariable(nome);
    return valore.isEmpty() ? predefinito : valore;
}

QString cartellaHome()
{
    return variabileOppure("HOME", QDir::homePath());
}

// The folders desktop files are looked up in, in order of precedence.
QStringList cartelleApplicazioni()
{
    QStringList cartelle;
    cartelle << variabileOppure("XDG_DATA_HOME", cartellaHome() + QStringLiteral("/.local/share"))
                    + QStringLiteral("/applications");
    const QString dati = variabileOppure("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (const QString &cartella : dati.split(u':', Qt::SkipEmptyParts))
        cartelle << cartella + QStringLiteral("/applications");
    return cartelle;
}

// A desktop-file id names a file below an applications folder with each "/"
// turned into "-": "kde-foo.desktop" may be "kde-foo.desktop" or
// "kde/foo.desktop". Every split at a "-" whose prefix is a subfolder is
// tried, the file as named first.
QString trovaIdDesktop(const QString &cartella, const QString &id)
{
    const QString diretto = cartella + u'/' + id;
    if (QFileInfo(diretto).isFile())
        return diretto;
    for (qsizetype trattino = id.indexOf(u'-'); trattino > 0; trattino = id.indexOf(u'-', trattino + 1)) {
        const QString sottocartella = cartella + u'/' + id.left(trattino);
        if (!QFileInfo(sottocartella).isDir())
            continue;
        const QString trovato = trovaIdDesktop(sottocartella, id.mid(trattino + 1));
        if (!trovato.isEmpty())
            return trovato;
    }
    return {};
}

// The value of "Exec=" in the [Desktop Entry] group, written as it stands
// (field codes such as %u included). Other groups ("[Desktop Action ...]")
// and localized keys ("Exec[it]=") do not count.
QString comandoDesktop(const QString &file)
{
    const std::optional<QByteArray> contenuto = leggiFileRegolare(file, 1 << 20);
    if (!contenuto)
        return {};
    const QString testo = QString::fromUtf8(*contenuto);
    bool nelGruppo = false;
    for (QStringView riga : QStringView(testo).split(u'\n')) {
        riga = riga.trimmed();
        if (riga.isEmpty() || riga.startsWith(u'#'))
            continue;
        if (riga.startsWith(u'[')) {
            nelGruppo = riga == u"[Desktop Entry]";
            continue;
        }
        if (!nelGruppo)
            continue;
        const qsizetype uguale = riga.indexOf(u'=');
        if (uguale < 0)
            continue;
        if (riga.left(uguale).trimmed() == u"Exec")
            return riga.mid(uguale + 1).trimmed().toString();
    }
    return {};
}

// The desktop-file id `xdg-mime` names as the mailto handler, or "".
QString idGestoreMailto()
{
    QProcess processo;
    processo.setProgram(QStringLiteral("xdg-mime"));
    processo.setArguments({QStringLiteral("query"), QStringLiteral("default"),
                           QStringLiteral("x-scheme-handler/mailto")});
    processo.setProcessChannelMode(QProcess::SeparateChannels);
    processo.setStandardInputFile(QProcess::nullDevice());
    processo.start(QIODevice::ReadOnly);
    if (!processo.waitForStarted(attesaXdgMimeMs))
        return {};
    if (!processo.waitForFinished(attesaXdgMimeMs)) {
        processo.kill();
        processo.waitForFinished();
        return {};
    }
    if (processo.exitStatus() != QProcess::NormalExit || processo.exitCode() != 0)
        return {};
    const QString uscita = QString::fromLocal8Bit(processo.readAllStandardOutput());
    return uscita.section(u'\n', 0, 0).trimmed();
}

bool eChiaveComandoMailto(RadiceRegistro radice, const QString &sottochiave)
{
    return radice == RadiceRegistro::ClassesRoot
           && sottochiave.compare(chiaveComandoMailto, Qt::CaseInsensitive) == 0;
}

// Opens the key like ApriChiave and hands back the handler command found on
// the way, so a read asks the desktop only once.
bool apri(const QString &percorso, ChiaveRegistro &chiave, QString &comando)
{
    chiave = ChiaveRegistro{};
    QString sottochiave = percorso;
    const RadiceRegistro radice = TrovaBase(sottochiave);
    if (!eChiaveComandoMailto(radice, sottochiave))
        return false;
    comando = comandoGestoreMailto();
    if (comando.isEmpty())
        return false;
    chiave.radice = radice;
    chiave.percorso = sottochiave;
    chiave.aperta = true;
    return true;
}

// Opens the key for querying values and reads a string value of the
// expected type; the mailto command key holds only its default value, a
// REG_SZ, so any other name does not exist and REG_EXPAND_SZ mismatches.
bool leggiTesto(const QString &percorso, const QString &nomeValore, int tipoAtteso, QString &valore,
                const QString &ripiego)
{
    ChiaveRegistro chiave;
    QString comando;
    if (!apri(percorso, chiave, comando)) {
        valore = ripiego;
        return false;
    }
    bool letto = false;
    if (nomeValore.isEmpty() && tipoAtteso == REG_SZ) {
        const qsizetype fine = comando.indexOf(QChar(u'\0'));
        valore = fine < 0 ? comando : comando.left(fine);
        letto = true;
    }
    ChiudiChiave(chiave);
    if (!letto)
        valore = ripiego;
    return letto;
}

} // namespace

RadiceRegistro TrovaBase(QString &percorso)
{
    const qsizetype barra = percorso.indexOf(u'\\');
    QString nome;
    if (barra < 0) {
        nome = percorso.toUpper();
        percorso.clear();
    } else {
        nome = percorso.left(barra).toUpper();
        percorso = percorso.mid(barra + 1);
    }
    if (nome == u"HKEY_CLASSES_ROOT")
        return RadiceRegistro::ClassesRoot;
    if (nome == u"HKEY_CURRENT_USER")
        return RadiceRegistro::CurrentUser;
    if (nome == u"HKEY_LOCAL_MACHINE")
        return RadiceRegistro::LocalMachine;
    if (nome == u"HKEY_USERS")
        return RadiceRegistro::Users;
    if (nome == u"HKEY_PERFORMANCE_DATA")
        return RadiceRegistro::PerformanceData;
    if (nome == u"HKEY_CURRENT_CONFIG")
        return RadiceRegistro::CurrentConfig;
    if (nome == u"HKEY_DYN_DATA")
        return RadiceRegistro::DynData;
    return RadiceRegistro::NonValida;
}

bool ApriChiave(const QString &percorso, int mascheraAccesso, ChiaveRegistro &chiave)
{
    // Nothing here can be written, so the access mask never narrows what
    // opens: the one key is readable with any mask.
    QString comando;
    return apri(percorso, chiave, comando);
}

bool ChiudiChiave(ChiaveRegistro &chiave)
{
    if (!chiave.aperta)
        return false;
    chiave.aperta = false;
    return true;
}

bool LeggiChiaveTesto(const QString &percorso, const QString &nomeValore, QString &valore,
                      const QString &ripiego)
{
    return leggiTesto(percorso, nomeValore, REG_SZ, valore, ripiego);
}

bool LeggiChiaveTestoESTESA(const QString &percorso, const QString &nomeValore, QString &valore,
                            const QString &ripiego)
{
    return leggiTesto(percorso, nomeValore, REG_EXPAND_SZ, valore, ripiego);
}

QString comandoGestoreMailto()
{
    const QString id = idGestoreMailto();
    if (id.isEmpty() || id.contains(u'/'))
        return {};
    for (const QString &cartella : cartelleApplicazioni()) {
        const QString file = trovaIdDesktop(cartella, id);
        if (!file.isEmpty())
            return comandoDesktop(file);
    }
    return {};
}

} // namespace vorpla
