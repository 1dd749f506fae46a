#include "TastiRapidi.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeySequence>
#include <QSet>
#include <QVariant>

namespace vorpla {

namespace {

constexpr char ProprietaTesto[] = "vorplaTestoSemplice";
constexpr char ProprietaSuggerimento[] = "vorplaSuggerimentoSegnato";

bool libera(QChar c, const QSet<QChar> &prese)
{
    return c.unicode() < 128 && c.isLetter() && !prese.contains(c.toLower());
}

// The caption with its access key: an '&' before its first letter that no
// caption before it took (taken now), the caption's own '&' doubled; the
// caption unchanged when no letter of it is free.
QString conTasto(const QString &testo, QSet<QChar> &prese)
{
    for (int i = 0; i < testo.size(); ++i) {
        if (!libera(testo.at(i), prese))
            continue;
        prese.insert(testo.at(i).toLower());
        QString segnato = testo.left(i);
        segnato.replace(u'&', QLatin1String("&&"));
        QString resto = testo.mid(i);
        resto.replace(u'&', QLatin1String("&&"));
        return segnato + u'&' + resto;
    }
    return testo;
}

} // namespace

void assegnaTastiVoci(const QList<QAction *> &voci)
{
    QSet<QChar> prese;
    for (QAction *a : voci)
        a->setText(conTasto(a->text(), prese));
}

void assegnaTastiRapidi(const QList<QAbstractButton *> &pulsanti)
{
    QSet<QChar> prese;
    for (QAbstractButton *b : pulsanti) {
        if (!b)
            continue;
        // The plain caption: what the window set last, without our marks.
        QString testo = b->text();
        const QString segnato = b->property(ProprietaTesto).toString();
        if (!segnato.isEmpty() && testo == segnato)
            testo = b->property("vorplaTestoOriginale").toString();
        b->setShortcut(QKeySequence());
        if (const QString segnatoOra = conTasto(testo, prese); segnatoOra != testo) {
            b->setProperty("vorplaTestoOriginale", testo);
            b->setProperty(ProprietaTesto, segnatoOra);
            b->setText(segnatoOra);
            continue;
        }
        // No letter of its own caption: a shortcut from its tooltip, or any
        // letter still free. Nothing on the button shows it, so its tooltip
        // names it ("Vorpla (Alt+V)"); the plain tip is its accessible name.
        QString suggerimento = b->toolTip();
        if (!suggerimento.isEmpty() && suggerimento == b->property(ProprietaSuggerimento).toString())
            suggerimento = b->property("vorplaSuggerimentoOriginale").toString();
        if (!suggerimento.isEmpty())
            b->setAccessibleName(suggerimento);
        QChar scelta;
        for (const QChar c : suggerimento + QStringLiteral("abcdefghijklmnopqrstuvwxyz"))
            if (libera(c, prese)) {
                scelta = c.toLower();
                break;
            }
        if (scelta.isNull()) {
            b->setToolTip(suggerimento);
            continue;
        }
        prese.insert(scelta);
        b->setShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(Qt::Key_A + (scelta.unicode() - 'a')))));
        b->setProperty("vorplaTasto", QString(scelta));
        const QString tasto = QStringLiteral("Alt+") + scelta.toUpper();
        const QString segnatoSuggerimento =
            suggerimento.isEmpty() ? tasto : suggerimento + QStringLiteral(" (") + tasto + u')';
        b->setProperty("vorplaSuggerimentoOriginale", suggerimento);
        b->setProperty(ProprietaSuggerimento, segnatoSuggerimento);
        b->setToolTip(segnatoSuggerimento);
    }
}

QChar tastoRapido(const QAbstractButton *pulsante)
{
    const QString testo = pulsante->text();
    for (int i = 0; i + 1 < testo.size(); ++i) {
        if (testo.at(i) != u'&')
            continue;
        if (testo.at(i + 1) == u'&') {
            ++i;
            continue;
        }
        return testo.at(i + 1).toLower();
    }
    const QString tasto = pulsante->property("vorplaTasto").toString();
    return pulsante->shortcut().isEmpty() || tasto.isEmpty() ? QChar() : tasto.at(0);
}

} // namespace vorpla
