#include "FrmPreview.h"
#include "TastiRapidi.h"

#include "output/FormPreview.h"
#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/Routine.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

namespace vorpla {

template<typename F> void FrmPreview::esegui(F &&comando)
{
    try {
        comando();
    } catch (const ErroreVB &errore) {
        mostraErroreRoutine(errore);
        richiediFine(FineConErrore);
        QApplication::exit(FineConErrore);
        hide();
    } catch (const FineProgramma &f) {
        richiediFine(f.codice());
        QApplication::exit(f.codice());
        hide();
    }
}

FrmPreview::FrmPreview(FormPreview &anteprima, Uscite uscite, QWidget *parent)
    : QWidget(parent), m_anteprima(anteprima), m_uscite(std::move(uscite))
{
    setWindowTitle(QStringLiteral("ULKA - Anteprima di vorpla"));
    m_pagina = new QLabel(this);
    m_pagina->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pagina->setMinimumSize(200, 200);
    m_pagina->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_pagina->setStyleSheet(QStringLiteral("background: white"));
    m_v = new QScrollBar(Qt::Vertical, this);
    m_h = new QScrollBar(Qt::Horizontal, this);
    auto *prec = new QPushButton(QStringLiteral("<"), this);
    auto *succ = new QPushButton(QStringLiteral(">"), this);
    auto *etichetta = new QLabel(QStringLiteral("Pagina"), this);
    m_txtPag = new QLineEdit(this);
    m_txtPag->setMaximumWidth(70);
    auto *totale = new QLabel(this);
    auto *vorpla = new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton), QString(), this);
    vorpla->setToolTip(QStringLiteral("Vorpla"));
    auto *esci = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QString(), this);
    esci->setToolTip(QStringLiteral("Esci"));
    prec->setToolTip(QStringLiteral("Pagina precedente"));
    succ->setToolTip(QStringLiteral("Pagina successiva"));
    // From the keyboard too: Alt+letter each, the pictures named by their
    // tooltips.
    assegnaTastiRapidi({vorpla, esci, prec, succ});
    m_widget = {{QStringLiteral("picPreview"), m_pagina}, {QStringLiteral("VScroll1"), m_v},
                {QStringLiteral("HScroll1"), m_h},        {QStringLiteral("cmdPrev"), prec},
                {QStringLiteral("cmdNext"), succ},        {QStringLiteral("Label1"), etichetta},
                {QStringLiteral("txtPag"), m_txtPag},     {QStringLiteral("lblPagTot"), totale},
                {QStringLiteral("cmdVorpla"), vorpla},    {QStringLiteral("cmdEsci"), esci}};

    auto *griglia = new QGridLayout(this);
    griglia->addWidget(m_pagina, 0, 0);
    griglia->addWidget(m_v, 0, 1);
    griglia->addWidget(m_h, 1, 0);
    auto *comandi = new QHBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(prec), static_cast<QWidget *>(succ), static_cast<QWidget *>(etichetta),
                       static_cast<QWidget *>(m_txtPag), static_cast<QWidget *>(totale)})
        comandi->addWidget(w);
    comandi->addStretch();
    comandi->addWidget(vorpla);
    comandi->addWidget(esci);
    griglia->addLayout(comandi, 2, 0, 1, 2);

    connect(prec, &QPushButton::clicked, this, [this] {
        esegui([this] {
            m_anteprima.txtPag = m_txtPag->text();
            m_anteprima.cmdPrev_Click();
        });
        sincronizza();
    });
    connect(succ, &QPushButton::clicked, this, [this] {
        esegui([this] {
            m_anteprima.txtPag = m_txtPag->text();
            m_anteprima.cmdNext_Click();
        });
        sincronizza();
    });
    // The keys are the window's: a bar with the focus would step twice.
    m_v->setFocusPolicy(Qt::NoFocus);
    m_h->setFocusPolicy(Qt::NoFocus);
    connect(m_txtPag, &QLineEdit::textEdited, this, [this](const QString &t) { m_anteprima.txtPag = t; });
    for (QScrollBar *barra : {m_v, m_h})
        connect(barra, &QScrollBar::valueChanged, this, [this] {
            if (m_sincronizzando)
                return;
            m_anteprima.VScroll1.Value = m_v->value();
            m_anteprima.HScroll1.Value = m_h->value();
            copia();
        });
    connect(vorpla, &QPushButton::clicked, this, [this] {
        if (m_uscite.vorpla)
            esegui(m_uscite.vorpla);
    });
    connect(esci, &QPushButton::clicked, this, [this] {
        if (m_uscite.esci)
            esegui(m_uscite.esci);
    });
    sincronizza();
    vorpla->setFocus();
}

void FrmPreview::sincronizza()
{
    m_sincronizzando = true;
    m_txtPag->setText(m_anteprima.txtPag);
    static_cast<QLabel *>(m_widget.value(QStringLiteral("lblPagTot")))->setText(m_anteprima.lblPagTot);
    m_v->setRange(0, m_anteprima.VScroll1.Max);
    m_v->setPageStep(m_anteprima.VScroll1.LargeChange);
    m_v->setValue(m_anteprima.VScroll1.Value);
    m_h->setRange(0, m_anteprima.HScroll1.Max);
    m_h->setPageStep(m_anteprima.HScroll1.LargeChange);
    m_h->setValue(m_anteprima.HScroll1.Value);
    m_sincronizzando = false;
    copia();
}

QImage FrmPreview::areaVisibile() const
{
    return m_pagina->pixmap().toImage();
}

void FrmPreview::copia()
{
    const QSize visibile = m_pagina->size();
    const QRect sorgente = m_anteprima.areaDaCopiare(visibile);
    // A plain copy of the buffer's part, scaled to the area when zoomed.
    QImage area(visibile, QImage::Format_RGB32);
    area.fill(Qt::white);
    QPainter p(&area);
    p.drawImage(QRect(QPoint(0, 0), visibile), m_anteprima.picBuffer, sorgente);
    p.end();
    m_pagina->setPixmap(QPixmap::fromImage(area));
}

void FrmPreview::keyReleaseEvent(QKeyEvent *evento)
{
    const int codice = evento->key() == Qt::Key_PageDown ? 34 : evento->key() == Qt::Key_PageUp ? 33 : 0;
    // A key held down is one key released.
    if (codice && !evento->isAutoRepeat()) {
        m_anteprima.Form_KeyUp(codice);
        sincronizza();
    }
    QWidget::keyReleaseEvent(evento);
}

void FrmPreview::resizeEvent(QResizeEvent *evento)
{
    QWidget::resizeEvent(evento);
    copia();
}

void FrmPreview::closeEvent(QCloseEvent *evento)
{
    // Closing the window is its close command.
    evento->ignore();
    if (m_uscite.esci)
        esegui(m_uscite.esci);
}

} // namespace vorpla
