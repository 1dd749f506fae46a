#include "TastiRapidi.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QSet>
#include <QVariant>

namespace vorpla {

namespace {

constexpr char ProprietaTesto[] = "vorplaTestoSemplice";

bool libera(QChar c, const QSet<QChar> &prese)
{
    return c.unicode() < 128 && c.isLetter() && !prese.contains(c.toLower());
}

} // namespace

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
        int posizione = -1;
        for (int i = 0; i < testo.size(); ++i)
            if (libera(testo.at(i), prese)) {
                posizione = i;
                break;
            }
        if (posizione >= 0) {
            prese.insert(testo.at(posizione).toLower());
            QString conTasto = testo;
            conTasto.replace(u'&', QLatin1String("&&"));
            int spostamento = 0;
            for (int i = 0; i < posizione; ++i)
                spostamento += testo.at(i) == u'&' ? 1 : 0;
            conTasto.insert(posizione + spostamento, u'&');
            b->setProperty("vorplaTestoOriginale", testo);
            b->setProperty(ProprietaTesto, conTasto);
            b->setText(conTasto);
            continue;
        }
        // No letter of its own caption: a shortcut from its tooltip, or any
        // letter still free.
        if (!b->toolTip().isEmpty())
            b->setAccessibleName(b->toolTip());
        QChar scelta;
        for (const QChar c : b->toolTip() + QStringLiteral("abcdefghijklmnopqrstuvwxyz"))
            if (libera(c, prese)) {
                scelta = c.toLower();
                break;
            }
        if (scelta.isNull())
            continue;
        prese.insert(scelta);
        b->setShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(Qt::Key_A + (scelta.unicode() - 'a')))));
        b->setProperty("vorplaTasto", QString(scelta));
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
