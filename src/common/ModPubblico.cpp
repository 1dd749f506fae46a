#include "ModPubblico.h"

#include "CartellaProgramma.h"
#include "Codifica.h"
#include "ErroreVB.h"
#include "FileIni.h"
#include "FineProgramma.h"
#include "LettoreRighe.h"
#include "Routine.h"
#include "StatoLavoro.h"

#include <QFile>
#include <QFileInfo>

namespace vorpla {

namespace {
QString parteNome(const QString &percorso)
{
    const qsizetype barra = qMax(percorso.lastIndexOf(u'\\'), percorso.lastIndexOf(u'/'));
    return percorso.mid(barra + 1);
}
} // namespace

QString trovanome(const QString &percorso)
{
    impostaRoutine(QStringLiteral("ModPubblico"), QStringLiteral("trovanome"));
    const QString nome = parteNome(percorso);
    if (nome.size() < 4)
        throw ErroreVB(Err::ChiamataNonValida);
    return nome.left(nome.size() - 4);
}

QString trovanomeMaiuscolo(const QString &percorso)
{
    return parteNome(percorso).toUpper();
}

QString KV_GetTempPath()
{
    const QString cartella = cartellaProgramma();
    const qsizetype barra = cartella.lastIndexOf(u'/');
    if (barra < 0)
        return {};
    return cartella.left(barra + 1) + QStringLiteral("temp/");
}

void termina()
{
    try {
        const QString temp = KV_GetTempPath();
        const QString nome = trovanome(lavoro().FileIngresso);
        static const char *const estensioni[] = {".CMP", ".TMP", ".STX", ".pdf", ".htm", ".TXT"};
        for (const char *estensione : estensioni) {
            const QString trovato = trovaIgnorandoMaiuscole(temp + nome + QLatin1String(estensione));
            if (QFileInfo(trovato).isFile())
                QFile::remove(trovato);
        }
    } catch (const ErroreVB &) {
        // The clean-up never fails: a print-file name too short to have an
        // extension simply has no job files.
    }
    fine(FineNormale);
}

QString SostituisciDominio(const QString &indirizzo)
{
    const QStringList parti = indirizzo.split(u'@', Qt::KeepEmptyParts, Qt::CaseInsensitive);
    if (parti.size() < 2 || !QFileInfo::exists(fileIni()))
        return indirizzo;
    const QString valore = LeggiIni(QStringLiteral("EMAIL"), parti.at(1).toUpper(), fileIni());
    if (valore.isEmpty())
        return indirizzo;
    return parti.at(0) + u'@' + valore;
}

QString TrovaFilePratica()
{
    impostaRoutine(QStringLiteral("ModPubblico"), QStringLiteral("TrovaFilePratica"));
    LettoreRighe lettore(lavoro().FileIngresso);
    QString trovato;
    QByteArrayView riga;
    while (lettore.prossima(riga)) {
        if (riga.size() < 5 || QByteArrayView(riga.first(5)).compare("@FILE", Qt::CaseInsensitive) != 0)
            continue;
        const QString percorso = testoDaByte(riga.sliced(qMin<qsizetype>(6, riga.size()))).trimmed();
        const QString nome = trovanomeMaiuscolo(percorso);
        if (nome.startsWith(u'D') && nome.endsWith(QStringLiteral(".TXT")))
            trovato = percorso;
    }
    return trovato;
}

bool KV_DirExists(const QString &percorso)
{
    if (percorso.isEmpty())
        return false;
    return QFileInfo(separatoriLinux(percorso)).isDir();
}

QString FamigliaWindows()
{
    return QStringLiteral("2");
}

} // namespace vorpla
