#include "FrmMain.h"

#include "startup/ComandiMain.h"
#include "startup/FormMain.h"
#include "common/FineProgramma.h"
#include "output/ui/Collocazione.h"
#include "output/ui/TastiRapidi.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace vorpla {

namespace {

// A label that never widens its window: a text longer than its room (a long
// CUPS device URI in "Porta") is cut in the middle with "…", and the whole
// text is its tooltip.
class EtichettaAccorciata : public QLabel
{
public:
    using QLabel::QLabel;
    void impostaTesto(const QString &testo)
    {
        m_testo = testo;
        setToolTip(testo.trimmed());
        aggiorna();
    }
    QSize sizeHint() const override
    {
        const QSize s = QLabel::sizeHint();
        return {qMin(s.width(), LarghezzaMassima), s.height()};
    }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent *evento) override
    {
        QLabel::resizeEvent(evento);
        aggiorna();
    }

private:
    static constexpr int LarghezzaMassima = 260;
    void aggiorna() { setText(fontMetrics().elidedText(m_testo, Qt::ElideMiddle, qMax(width(), 1))); }
    QString m_testo;
};

// The picture buttons, with the picture and the tip they show.
struct Immagine
{
    const char *nome;
    const char *tema;
    QStyle::StandardPixmap ripiego;
    const char *suggerimento;
};

constexpr Immagine kImmagini[] = {
    {"cmdVorpla", "document-print", QStyle::SP_DialogApplyButton, "Vorpla"},
    {"cmdPreview", "document-print-preview", QStyle::SP_FileDialogContentsView, "Anteprima"},
    {"cmdEsci", "application-exit", QStyle::SP_DialogCloseButton, "Esci"},
    {"cmdEmail(0)", "mail-send", QStyle::SP_ArrowRight, "E-mail"},
};

} // namespace

FrmMain::FrmMain(FormMain &form, ComandiMain &comandi, QWidget *parent)
    : QWidget(parent), m_form(form), m_comandi(comandi)
{
    for (const Controllo &c : m_form.controlli()) {
        QWidget *w = nullptr;
        switch (c.tipo) {
        case TipoControllo::Cornice:
            w = new QGroupBox(this);
            break;
        case TipoControllo::Etichetta:
            w = c.nome == QLatin1String("lblPorta") ? new EtichettaAccorciata(this) : new QLabel(this);
            break;
        case TipoControllo::Elenco:
            w = new QComboBox(this);
            break;
        case TipoControllo::CasellaTesto:
            w = new QLineEdit(this);
            break;
        case TipoControllo::Pulsante:
            w = new QPushButton(this);
            break;
        case TipoControllo::PulsanteImmagine: {
            auto *b = new QToolButton(this);
            b->setIconSize(QSize(32, 32));
            for (const Immagine &i : kImmagini) {
                if (c.nome == QLatin1String(i.nome)) {
                    b->setIcon(QIcon::fromTheme(QLatin1String(i.tema), style()->standardIcon(i.ripiego)));
                    b->setToolTip(QLatin1String(i.suggerimento));
                }
            }
            w = b;
            break;
        }
        case TipoControllo::Casella:
            w = new QCheckBox(this);
            break;
        case TipoControllo::Timer:
        case TipoControllo::Dialogo:
            continue;
        }
        w->setObjectName(c.nome);
        m_widget.insert(c.nome, w);
    }

    // Layout: the printer frame, the command buttons, the mail frame.
    auto *g1 = static_cast<QGroupBox *>(m_widget.value(QStringLiteral("Frame1")));
    auto *l1 = new QGridLayout(g1);
    l1->addWidget(m_widget.value(QStringLiteral("Label1")), 0, 0);
    l1->addWidget(m_widget.value(QStringLiteral("cmbPrinter")), 0, 1, 1, 2);
    l1->addWidget(m_widget.value(QStringLiteral("Label2")), 1, 0);
    l1->addWidget(m_widget.value(QStringLiteral("lblPorta")), 1, 1, 1, 2);
    l1->addWidget(m_widget.value(QStringLiteral("Label3")), 2, 0);
    l1->addWidget(m_widget.value(QStringLiteral("TXTNumCopie")), 2, 1);
    l1->addWidget(m_widget.value(QStringLiteral("cmdProp(0)")), 3, 0, 1, 2);
    l1->addWidget(m_widget.value(QStringLiteral("cmdProp(1)")), 3, 2);

    auto *pulsanti = new QHBoxLayout;
    for (const char *nome : {"cmdVorpla", "cmdPreview", "cmdEsci", "Check2", "Edit"})
        pulsanti->addWidget(m_widget.value(QLatin1String(nome)));

    auto *g2 = static_cast<QGroupBox *>(m_widget.value(QStringLiteral("Frame2")));
    auto *l2 = new QGridLayout(g2);
    l2->addWidget(m_widget.value(QStringLiteral("cmdEmail(0)")), 0, 0);
    l2->addWidget(m_widget.value(QStringLiteral("cmdEmail(1)")), 0, 1);
    l2->addWidget(m_widget.value(QStringLiteral("cmdEditEmail(2)")), 0, 2);
    l2->addWidget(m_widget.value(QStringLiteral("CmdVplEma")), 0, 3);
    l2->addWidget(m_widget.value(QStringLiteral("ChkSmtp")), 1, 0, 1, 2);
    l2->addWidget(m_widget.value(QStringLiteral("Check1")), 1, 2);
    l2->addWidget(m_widget.value(QStringLiteral("chkAttach")), 1, 3);
    l2->addWidget(m_widget.value(QStringLiteral("lblMail")), 2, 0, 1, 4);

    auto *basso = new QHBoxLayout;
    basso->addWidget(m_widget.value(QStringLiteral("CmdPub")));
    basso->addStretch();
    basso->addWidget(m_widget.value(QStringLiteral("LblEtich")));
    basso->addWidget(m_widget.value(QStringLiteral("CmbEtich")));

    auto *principale = new QVBoxLayout(this);
    principale->addWidget(g1);
    principale->addLayout(pulsanti);
    principale->addWidget(g2);
    principale->addLayout(basso);

    // The user's actions.
    auto pulsante = [this](const char *nome) { return qobject_cast<QAbstractButton *>(m_widget.value(QLatin1String(nome))); };
    connect(pulsante("cmdVorpla"), &QAbstractButton::clicked, this, [this] { esegui([this] { m_comandi.cmdVorpla_Click(); }); });
    connect(pulsante("cmdEsci"), &QAbstractButton::clicked, this, [this] { esegui([this] { m_comandi.cmdEsci_Click(); }); });
    connect(pulsante("cmdPreview"), &QAbstractButton::clicked, this, [this] { esegui([this] { m_comandi.cmdPreview_Click(); }); });
    // Every box the user ticks goes into the form at once, so the commands
    // (and the window's next refresh) have what the user set.
    const auto casella = [&](const char *nome, void (ComandiMain::*clic)(bool)) {
        connect(pulsante(nome), &QAbstractButton::toggled, this, [this, clic](bool spuntato) {
            if (!m_sincronizzando)
                esegui([this, clic, spuntato] { (m_comandi.*clic)(spuntato); }, false);
        });
    };
    casella("Check2", &ComandiMain::Check2_Click);
    casella("ChkSmtp", &ComandiMain::ChkSmtp_Click);
    casella("Check1", &ComandiMain::Check1_Click);
    casella("chkAttach", &ComandiMain::chkAttach_Click);
    connect(qobject_cast<QComboBox *>(m_widget.value(QStringLiteral("cmbPrinter"))), &QComboBox::activated, this,
            [this](int indice) { esegui([this, indice] { m_comandi.cmbPrinter_Click(indice); }); });
    connect(qobject_cast<QComboBox *>(m_widget.value(QStringLiteral("CmbEtich"))), &QComboBox::activated, this,
            [this](int indice) { esegui([this, indice] { m_comandi.CmbEtich_Click(indice); }, false); });
    connect(qobject_cast<QLineEdit *>(m_widget.value(QStringLiteral("TXTNumCopie"))), &QLineEdit::textEdited, this,
            [this](const QString &testo) { esegui([this, testo] { m_comandi.TXTNumCopie_Change(testo); }, false); });

    connect(pulsante("cmdProp(0)"), &QAbstractButton::clicked, this, [this] { esegui([this] { m_comandi.cmdProp_Click(0); }); });
    connect(pulsante("cmdProp(1)"), &QAbstractButton::clicked, this, [this] { esegui([this] { m_comandi.cmdProp_Click(1); }); });
    connect(pulsante("cmdEmail(0)"), &QAbstractButton::clicked, this, [this] { esegui([this] { m_comandi.cmdEmail_Click(0); }); });
    connect(pulsante("cmdEmail(1)"), &QAbstractButton::clicked, this, [this] { esegui([this] { m_comandi.cmdEmail_Click(1); }); });
    connect(pulsante("cmdEditEmail(2)"), &QAbstractButton::clicked, this, [this] { esegui([this] { m_comandi.cmdEditEmail_Click(); }); });
    connect(pulsante("CmdVplEma"), &QAbstractButton::clicked, this, [this] { esegui([this] { m_comandi.CmdVplEma_Click(); }); });
    connect(pulsante("CmdPub"), &QAbstractButton::clicked, this, [this] { esegui([this] { m_comandi.CmdPub_Click(); }); });

    connect(pulsante("Edit"), &QAbstractButton::clicked, this, [this] { esegui([this] { m_comandi.Edit_Click(); }); });

    // The window keeps the size of what it shows: nothing to enlarge, so
    // neither the frame nor a double click on the title maximises it.
    principale->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    connect(&m_form, &FormMain::cambiato, this, &FrmMain::sincronizza);
    sincronizza();
}

void FrmMain::eseguiComando(const std::function<void()> &comando)
{
    esegui(comando);
}

template<typename F> void FrmMain::esegui(F &&comando, bool blocca)
{
    // Off while the command runs, on again however it ends. Turning the
    // controls off moves the keyboard focus away from them (to the exit,
    // the one left on): it goes back where the user had it, unless the
    // command put it elsewhere (the copies box after "Numero di copie
    // errato!").
    struct Blocco
    {
        FrmMain &f;
        bool attivo;
        QPointer<QWidget> focus;
        Blocco(FrmMain &finestra, bool a) : f(finestra), attivo(a)
        {
            if (!attivo || f.m_comandiInCorso++ > 0)
                return;
            focus = f.focusWidget();
            f.sincronizza();
        }
        ~Blocco()
        {
            if (!attivo || --f.m_comandiInCorso > 0)
                return;
            if (focus && f.m_form.controlloConFocus.isEmpty() && focus->isEnabled() && focus->isVisible())
                focus->setFocus();
            f.sincronizza();
        }
    } blocco(*this, blocca);
    try {
        comando();
    } catch (const FineProgramma &f) {
        // The program ends here, as the command asked; a command waiting
        // beneath this one (events run during its waits) stops at its next
        // wait.
        richiediFine(f.codice());
        QApplication::exit(f.codice());
        m_form.visibile = false;
        hide();
    }
}

void FrmMain::sincronizza()
{
    m_sincronizzando = true;
    for (const Controllo &c : m_form.controlli()) {
        QWidget *w = m_widget.value(c.nome);
        if (!w)
            continue;
        // While a command runs only the exit stays on; the labels and frames
        // keep their look.
        const bool comando = c.tipo != TipoControllo::Etichetta && c.tipo != TipoControllo::Cornice;
        w->setEnabled(c.abilitato && (m_comandiInCorso == 0 || !comando || c.nome == QLatin1String("cmdEsci")));
        w->setVisible(c.visibile);
        if (auto *a = dynamic_cast<EtichettaAccorciata *>(w)) {
            a->impostaTesto(c.testo);
        } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
            g->setTitle(c.testo);
        } else if (auto *l = qobject_cast<QLabel *>(w)) {
            l->setText(c.testo);
        } else if (auto *e = qobject_cast<QComboBox *>(w)) {
            QStringList attuali;
            for (int i = 0; i < e->count(); ++i)
                attuali << e->itemText(i);
            if (attuali != c.voci) {
                e->clear();
                e->addItems(c.voci);
            }
            e->setCurrentIndex(c.indice);
        } else if (auto *t = qobject_cast<QLineEdit *>(w)) {
            if (t->text() != c.testo)
                t->setText(c.testo);
        } else if (auto *k = qobject_cast<QCheckBox *>(w)) {
            k->setText(c.testo);
            k->setChecked(c.spuntato);
        } else if (auto *p = qobject_cast<QPushButton *>(w)) {
            p->setText(c.testo);
        }
    }
    if (!m_form.controlloConFocus.isEmpty() && m_comandiInCorso == 0) {
        // The focus, and a text box's selection, as a command left them,
        // once the window's controls are on again (a control that is off
        // takes no focus).
        if (QWidget *w = m_widget.value(m_form.controlloConFocus)) {
            w->setFocus();
            if (auto *t = qobject_cast<QLineEdit *>(w)) {
                const Controllo &c = m_form.controllo(m_form.controlloConFocus);
                t->setSelection(c.selezioneInizio, c.selezioneLunghezza);
            }
        }
        m_form.controlloConFocus.clear();
    }
    QList<QAbstractButton *> pulsanti;
    for (const Controllo &c : m_form.controlli())
        if (auto *b = qobject_cast<QAbstractButton *>(m_widget.value(c.nome)))
            pulsanti << b;
    assegnaTastiRapidi(pulsanti);
    setWindowTitle(m_form.caption);
    impostaInPrimoPiano(this, m_form.inPrimoPiano);
    // The form's place is applied when it changes, not at every update: a
    // window the user dragged stays where it was put.
    if (m_posizioneApplicata != m_form.posizione) {
        collocaFinestra(this, m_form.posizione);
        m_posizioneApplicata = m_form.posizione;
    }
    setVisible(m_form.visibile);
    m_sincronizzando = false;
}

void FrmMain::keyPressEvent(QKeyEvent *evento)
{
    // Esc is the exit button. It comes here only when no control took it:
    // an open list closes on it and the job goes on.
    if (evento->key() == Qt::Key_Escape && evento->modifiers() == Qt::NoModifier) {
        if (auto *esci = qobject_cast<QAbstractButton *>(m_widget.value(QStringLiteral("cmdEsci")));
            esci && esci->isEnabled())
            esci->click();
        return;
    }
    // Enter presses the button that has the focus.
    if (evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) {
        if (auto *b = qobject_cast<QAbstractButton *>(focusWidget()); b && b->isEnabled()) {
            b->click();
            return;
        }
    }
    QWidget::keyPressEvent(evento);
}

void FrmMain::closeEvent(QCloseEvent *evento)
{
    // Closing the window is the exit command; it may keep the window open
    // (the download program of the client update still runs).
    evento->ignore();
    esci();
}

void FrmMain::esci()
{
    esegui([this] { m_comandi.Form_QueryUnload(); });
}

} // namespace vorpla
