#include "FinestraAvanzamento.h"

#include "output/ui/Collocazione.h"
#include "output/ui/TastiRapidi.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorpla {

FinestraAvanzamento::FinestraAvanzamento(std::function<void()> annulla, QWidget *genitore, int ritardoMs)
    : QDialog(genitore, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                            | Qt::WindowCloseButtonHint),
      m_azioneAnnulla(std::move(annulla)),
      m_ritardoMs(ritardoMs)
{
    setObjectName(QStringLiteral("FinestraAvanzamento"));
    auto *layout = new QVBoxLayout(this);
    m_testo = new QLabel(this);
    m_testo->setMinimumWidth(320);
    m_barra = new QProgressBar(this);
    m_barra->setTextVisible(false);
    m_annulla = new QPushButton(QStringLiteral("Annulla"), this);
    m_annulla->setAutoDefault(false);
    auto *pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(m_annulla);
    layout->addWidget(m_testo);
    layout->addWidget(m_barra);
    layout->addLayout(pulsanti);
    assegnaTastiRapidi({m_annulla});
    // Nothing to enlarge or shrink: a title, a line of text, a bar.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_annulla, &QPushButton::clicked, this, [this] { reject(); });

    m_attesa.setSingleShot(true);
    connect(&m_attesa, &QTimer::timeout, this, [this] { mostraSeDura(); });
}

void FinestraAvanzamento::inizio(const QString &titolo)
{
    setWindowTitle(titolo);
    m_testo->clear();
    m_barra->setRange(0, 0);
    m_annulla->setEnabled(true);
    m_inCorso = true;
    m_orologio.start();
    m_attesa.start(m_ritardoMs);
}

void FinestraAvanzamento::stato(const QString &testo, int fatto, int totale)
{
    m_testo->setText(testo);
    if (totale > 0) {
        m_barra->setRange(0, totale);
        m_barra->setValue(qBound(0, fatto, totale));
    } else {
        m_barra->setRange(0, 0);
    }
    // A run that lets no timer fire still shows itself at its next report.
    mostraSeDura();
}

void FinestraAvanzamento::fine()
{
    m_inCorso = false;
    m_attesa.stop();
    hide();
}

void FinestraAvanzamento::reject()
{
    // Asked once: the run stops at its next look at the events.
    if (!m_inCorso || !m_annulla->isEnabled())
        return;
    m_annulla->setEnabled(false);
    m_testo->setText(QStringLiteral("Annullamento in corso..."));
    if (m_azioneAnnulla)
        m_azioneAnnulla();
}

void FinestraAvanzamento::mostraSeDura()
{
    if (!m_inCorso || isVisible() || m_orologio.elapsed() < m_ritardoMs)
        return;
    // Centred over the main window where it has one, else in the corner.
    if (QWidget *w = parentWidget(); !w || !w->isVisible())
        collocaFinestra(this, QPoint(0, 0));
    show();
    raise();
}

} // namespace vorpla
