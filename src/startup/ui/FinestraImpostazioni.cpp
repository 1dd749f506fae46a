#include "FinestraImpostazioni.h"

#include "output/ui/Collocazione.h"
#include "output/ui/TastiRapidi.h"
#include "startup/FormImpostazioni.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorpla {

FinestraImpostazioni::FinestraImpostazioni(FormImpostazioni &form, QWidget *genitore)
    : QDialog(genitore, Qt::Dialog | Qt::WindowStaysOnTopHint), m_form(form)
{
    setWindowTitle(form.caption);
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    auto *cornice = new QGroupBox(this);
    auto *griglia = new QGridLayout(cornice);
    for (int i = 0; i < 4; ++i) {
        griglia->addWidget(new QLabel(QLatin1String(FormImpostazioni::Campi[size_t(i)][1]), cornice), i, 0);
        auto *casella = new QLineEdit(form.Text1[size_t(i)], cornice);
        casella->setObjectName(QStringLiteral("Text1(%1)").arg(i));
        m_caselle[size_t(i)] = casella;
        griglia->addWidget(casella, i, 1);
        griglia->addWidget(new QLabel(QStringLiteral("cm"), cornice), i, 2);
    }
    layout->addWidget(cornice);
    auto *suggerimento = new QLabel(QLatin1String(FormImpostazioni::Suggerimento), this);
    suggerimento->setWordWrap(true);
    layout->addWidget(suggerimento);
    auto *pulsanti = new QHBoxLayout;
    auto *conferma = new QPushButton(QStringLiteral("Conferma"), this);
    auto *annulla = new QPushButton(QStringLiteral("Annulla"), this);
    conferma->setDefault(true);
    m_conferma = conferma;
    m_annulla = annulla;
    pulsanti->addStretch();
    pulsanti->addWidget(conferma);
    pulsanti->addWidget(annulla);
    layout->addLayout(pulsanti);
    assegnaTastiRapidi({conferma, annulla});
    connect(conferma, &QPushButton::clicked, this, [this] { premuto(0); });
    connect(annulla, &QPushButton::clicked, this, [this] { premuto(1); });
    collocaFinestra(this, QPoint(0, 0));
}

void FinestraImpostazioni::premuto(int indice)
{
    for (int i = 0; i < 4; ++i)
        m_form.Text1[size_t(i)] = m_caselle[size_t(i)]->text();
    if (indice != 0) {
        QDialog::reject();
        return;
    }
    // A box that is no number: the message, then the box focused with its
    // text selected for the correction; the dialog stays.
    if (!m_form.ValoriNumerici()) {
        if (QLineEdit *casella = m_caselle.at(size_t(qBound(0, m_form.Focus, 3)))) {
            casella->setFocus();
            casella->selectAll();
        }
        return;
    }
    // The dialog goes first; the PDF made again comes after.
    accept();
}

void FinestraImpostazioni::reject()
{
    // Esc and the window's close: as "Annulla".
    premuto(1);
}

} // namespace vorpla
