#include "FinestraMsg.h"

#include "terminal/MsgFrm.h"

#include "common/FineProgramma.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vorpla {

FinestraMsg::FinestraMsg(QWidget *genitore)
    : QWidget(genitore, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Vorpla in corso..."));
    auto *layout = new QVBoxLayout(this);
    m_etichetta = new QLabel(QStringLiteral("Vorpla in corso..."), this);
    QFont carattere(QStringLiteral("NetTerm OEM"), 12);
    carattere.setStyleHint(QFont::TypeWriter);
    m_etichetta->setFont(carattere);
    m_etichetta->setAlignment(Qt::AlignCenter);
    // Text1 is the plain-text exchange's (its Ctrl+C), never the user's:
    // it is not shown and takes no focus from the keyboard or the mouse.
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setFocusPolicy(Qt::NoFocus);
    m_text1->hide();
    layout->addWidget(m_etichetta);
    setFixedSize(sizeHint().expandedTo(QSize(300, 90)));
}

void FinestraMsg::mostra()
{
    // The frame's corner, title bar included, goes to the place.
    move(MsgFrm::Sinistra, MsgFrm::Alto);
    show();
    raise();
}

void FinestraMsg::copia(const QString &testo)
{
    m_text1->setText(testo);
    m_text1->selectAll();
    m_text1->setFocus();
    QKeyEvent premuto(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QStringLiteral("c"));
    QCoreApplication::sendEvent(m_text1, &premuto);
    QKeyEvent rilasciato(QEvent::KeyRelease, Qt::Key_C, Qt::ControlModifier, QStringLiteral("c"));
    QCoreApplication::sendEvent(m_text1, &rilasciato);
}

void FinestraMsg::closeEvent(QCloseEvent *evento)
{
    // Unloading the window ends the program: the wait running now raises it.
    evento->accept();
    richiediFine(FineNormale);
}

} // namespace vorpla
