#include "CartellaProgramma.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vorpla {

QString cartellaProgramma()
{
    QString cartella = qEnvironmentVariable("VORPLA_HOME");
    if (cartella.isEmpty())
        cartella = QCoreApplication::applicationDirPath();
    cartella = separatoriLinux(cartella);
    while (cartella.size() > 1 && cartella.endsWith(u'/'))
        cartella.chop(1);
    return cartella;
}

QString inCartellaProgramma(const QString &nome)
{
    const QString cartella = cartellaProgramma();
    return cartella.endsWith(u'/') ? cartella + nome : cartella + u'/' + nome;
}

QString fileIni()
{
    return inCartellaProgramma(QStringLiteral("vorpla.ini"));
}

QString separatoriLinux(QString percorso)
{
    percorso.replace(u'\\', u'/');
    return percorso;
}

QString trovaIgnorandoMaiuscole(const QString &percorso)
{
    const QString p = separatoriLinux(percorso);
    if (p.isEmpty() || QFileInfo::exists(p))
        return p;
    const int barra = p.lastIndexOf(u'/');
    const QString cartella = barra < 0 ? QStringLiteral(".") : (barra == 0 ? QStringLiteral("/") : p.left(barra));
    const QString nome = p.mid(barra + 1);
    QDir dir(cartella);
    const QStringList voci = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &voce : voci) {
        if (voce.compare(nome, Qt::CaseInsensitive) == 0)
            return barra < 0 ? voce : p.left(barra + 1) + voce;
    }
    return p;
}

bool esisteIgnorandoMaiuscole(const QString &percorso)
{
    const QString trovato = trovaIgnorandoMaiuscole(percorso);
    return !trovato.isEmpty() && QFileInfo::exists(trovato);
}

} // namespace vorpla
