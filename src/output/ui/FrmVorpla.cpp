#include "FrmVorpla.h"
#include "Collocazione.h"
#include "TastiRapidi.h"

#include "output/CatalogoEtichette.h"
#include "common/ErroreVB.h"
#include "common/FineProgramma.h"
#include "common/Routine.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace vorpla {

namespace {

struct CampoFinestra
{
    const char *nome;
    const char *etichetta;
    CatalogoEtichette::Campo CatalogoEtichette::*campo;
};

const CampoFinestra kCampi[] = {
    {"txtDesc", "Descrizione", &CatalogoEtichette::txtDesc},
    {"txtPX", "Larg. pagina", &CatalogoEtichette::txtPX},
    {"txtPY", "Alt. pagina", &CatalogoEtichette::txtPY},
    {"txtMarg", "Margine sup.", &CatalogoEtichette::txtMarg},
    {"txtEtX", "Larg. etich.", &CatalogoEtichette::txtEtX},
    {"txtETY", "Alt. etichetta", &CatalogoEtichette::txtETY},
};

struct PulsanteFinestra
{
    const char *nome;
    const char *testo;
    CatalogoEtichette::Pulsante CatalogoEtichette::*stato;
};

const PulsanteFinestra kPulsanti[] = {
    {"cmdCrea", "Nuovo", &CatalogoEtichette::cmdCrea},
    {"cmdConferma", "Conferma", &CatalogoEtichette::cmdConferma},
    {"cmdElimina", "Elimina ", &CatalogoEtichette::cmdElimina},
    {"cmdAnnulla", "Annulla", &CatalogoEtichette::cmdAnnulla},
    {"cmdVorpla", "Continua", &CatalogoEtichette::cmdVorpla},
};

} // namespace

FrmVorpla::FrmVorpla(CatalogoEtichette &catalogo, Uscite uscite, QWidget *parent)
    : QWidget(parent), m_catalogo(catalogo), m_uscite(std::move(uscite))
{
    setWindowTitle(QStringLiteral("Vorpla ULKA"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);

    auto *immagine = new QLabel(this);
    immagine->setObjectName(QStringLiteral("Picture1"));
    immagine->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(48, 48));
    auto *richiesta = new QLabel(QStringLiteral("Selezionare il formato delle etichette:"), this);
    richiesta->setObjectName(QStringLiteral("Label2"));
    auto *formati = new QComboBox(this);
    formati->setObjectName(QStringLiteral("cmbFormati"));
    m_widget.insert(QStringLiteral("cmbFormati"), formati);

    auto *cornice = new QGroupBox(QStringLiteral("Parametri (tutti i valori sono in mm)"), this);
    cornice->setObjectName(QStringLiteral("Frame1"));
    auto *campi = new QFormLayout(cornice);
    for (const CampoFinestra &c : kCampi) {
        auto *testo = new QLineEdit(cornice);
        testo->setObjectName(QLatin1String(c.nome));
        campi->addRow(QLatin1String(c.etichetta), testo);
        m_widget.insert(QLatin1String(c.nome), testo);
        const auto campo = c.campo;
        connect(testo, &QLineEdit::textEdited, this, [this, campo](const QString &t) { (m_catalogo.*campo).Text = t; });
    }

    auto *pulsanti = new QHBoxLayout;
    for (const PulsanteFinestra &p : kPulsanti) {
        auto *b = new QPushButton(QLatin1String(p.testo), this);
        b->setObjectName(QLatin1String(p.nome));
        // Shown and hidden as the catalogue's state goes ("Conferma" while a
        // format is entered): its place is kept, so the window never widens.
        QSizePolicy politica = b->sizePolicy();
        politica.setRetainSizeWhenHidden(true);
        b->setSizePolicy(politica);
        pulsanti->addWidget(b);
        m_widget.insert(QLatin1String(p.nome), b);
    }

    auto *alto = new QHBoxLayout;
    alto->addWidget(immagine);
    auto *scelta = new QVBoxLayout;
    scelta->addWidget(richiesta);
    scelta->addWidget(formati);
    alto->addLayout(scelta, 1);
    auto *principale = new QVBoxLayout(this);
    principale->addLayout(alto);
    principale->addWidget(cornice);
    principale->addLayout(pulsanti);

    connect(formati, &QComboBox::currentIndexChanged, this, [this](int indice) {
        if (!m_sincronizzando)
            esegui([this, indice] { m_catalogo.selezionaFormato(indice); });
    });
    QList<QAbstractButton *> tasti;
    for (const PulsanteFinestra &p : kPulsanti)
        tasti << qobject_cast<QAbstractButton *>(m_widget.value(QLatin1String(p.nome)));
    assegnaTastiRapidi(tasti);
    auto clic = [this](const char *nome, std::function<void()> comando) {
        connect(qobject_cast<QPushButton *>(m_widget.value(QLatin1String(nome))), &QPushButton::clicked, this,
                [this, comando] { esegui(comando); });
    };
    clic("cmdCrea", [this] { m_catalogo.cmdCrea_Click(); });
    clic("cmdConferma", [this] { m_catalogo.cmdConferma_Click(); });
    clic("cmdElimina", [this] { m_catalogo.cmdElimina_Click(); });
    clic("cmdAnnulla", [this] { m_uscite.annulla(); });
    clic("cmdVorpla", [this] { m_uscite.continua(); });

    collocaFinestra(this, QPoint(0, 0));
    sincronizza();
}

template<typename F> void FrmVorpla::esegui(F &&comando)
{
    try {
        comando();
    } catch (const ErroreVB &errore) {
        mostraErroreRoutine(errore);
    } catch (const FineProgramma &f) {
        QApplication::exit(f.codice());
        hide();
        return;
    }
    sincronizza();
}

void FrmVorpla::sincronizza()
{
    m_sincronizzando = true;
    auto *formati = qobject_cast<QComboBox *>(m_widget.value(QStringLiteral("cmbFormati")));
    QStringList attuali;
    for (int i = 0; i < formati->count(); ++i)
        attuali << formati->itemText(i);
    if (attuali != m_catalogo.cmbFormati) {
        formati->clear();
        formati->addItems(m_catalogo.cmbFormati);
    }
    formati->setCurrentIndex(m_catalogo.ListIndex);
    for (const CampoFinestra &c : kCampi) {
        auto *testo = qobject_cast<QLineEdit *>(m_widget.value(QLatin1String(c.nome)));
        const CatalogoEtichette::Campo &campo = m_catalogo.*(c.campo);
        if (testo->text() != campo.Text)
            testo->setText(campo.Text);
        testo->setEnabled(campo.Enabled);
    }
    for (const PulsanteFinestra &p : kPulsanti) {
        QWidget *b = m_widget.value(QLatin1String(p.nome));
        const CatalogoEtichette::Pulsante &stato = m_catalogo.*(p.stato);
        // Nothing to delete in an empty list.
        const bool vuoto = QLatin1String(p.nome) == QLatin1String("cmdElimina") && m_catalogo.cmbFormati.isEmpty();
        b->setEnabled(stato.Enabled && !vuoto);
        b->setVisible(stato.Visible);
    }
    if (!m_catalogo.Focus.isEmpty()) {
        // A field given the focus (the new format's description, a measure
        // refused) has its text selected: what is typed replaces it.
        if (QWidget *w = m_widget.value(m_catalogo.Focus)) {
            w->setFocus();
            if (auto *testo = qobject_cast<QLineEdit *>(w))
                testo->selectAll();
        }
        m_catalogo.Focus.clear();
    }
    m_sincronizzando = false;
}

void FrmVorpla::keyPressEvent(QKeyEvent *evento)
{
    // Esc is "Annulla". It comes here only when no control took it: an open
    // list closes on it and the window stays.
    if (evento->key() == Qt::Key_Escape && evento->modifiers() == Qt::NoModifier) {
        auto *annulla = qobject_cast<QAbstractButton *>(m_widget.value(QStringLiteral("cmdAnnulla")));
        if (annulla && annulla->isEnabled() && annulla->isVisible())
            annulla->click();
        return;
    }
    QWidget::keyPressEvent(evento);
}

void FrmVorpla::closeEvent(QCloseEvent *evento)
{
    evento->accept();
    if (m_uscite.chiusa)
        m_uscite.chiusa();
}

} // namespace vorpla
