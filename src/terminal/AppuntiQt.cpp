#include "AppuntiQt.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>

namespace vorpla {

namespace {

// Only a GUI application has a clipboard (a display, or the offscreen
// platform's clipboard inside the process).
QClipboard *clipboard()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return nullptr;
    return QGuiApplication::clipboard();
}

} // namespace

bool AppuntiQt::apri()
{
    return clipboard() != nullptr;
}

void AppuntiQt::svuota()
{
    if (QClipboard *c = clipboard())
        c->clear(QClipboard::Clipboard);
}

QString AppuntiQt::registraFormato(const QString &nome)
{
    // Qt interns the X11 atom of a format name the first time it offers it.
    return nome;
}

void AppuntiQt::impostaDati(const QString &formato, const QByteArray &dati)
{
    QClipboard *c = clipboard();
    if (!c)
        return;
    auto *mime = new QMimeData;
    mime->setData(formato, dati);
    c->setMimeData(mime, QClipboard::Clipboard);
}

void AppuntiQt::impostaTesto(const QString &testo)
{
    if (QClipboard *c = clipboard())
        c->setText(testo, QClipboard::Clipboard);
}

std::optional<QString> AppuntiQt::testo()
{
    QClipboard *c = clipboard();
    if (!c)
        return std::nullopt;
    return c->text(QClipboard::Clipboard);
}

bool AppuntiQt::possiede()
{
    QClipboard *c = clipboard();
    return c && c->ownsClipboard();
}

} // namespace vorpla
