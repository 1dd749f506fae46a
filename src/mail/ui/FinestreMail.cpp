#include "FinestreMail.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorpla {

FrmEditMail::FrmEditMail(const QString &indirizzi, Modifica modifica, QWidget *parent)
    : QWidget(parent, Qt::Window), m_modifica(std::move(modifica))
{
    setWindowTitle(QStringLiteral("Modifica E-mail"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *l = new QVBoxLayout(this);
    auto *destinatari = new QLabel(QStringLiteral("Destinatari"), this);
    TxtDest = new QPlainTextEdit(indirizzi, this);
    TxtDest->setObjectName(QStringLiteral("TxtDest"));
    TxtDest->setTabChangesFocus(true);
    TxtDest->setMaximumHeight(60);
    destinatari->setBuddy(TxtDest);
    auto *testo = new QLabel(QStringLiteral("Testo"), this);
    TxtTesto = new QPlainTextEdit(this);
    TxtTesto->setObjectName(QStringLiteral("TxtTesto"));
    TxtTesto->setTabChangesFocus(true);
    testo->setBuddy(TxtTesto);
    auto *cmdMod = new QPushButton(QStringLiteral("&Modifica"), this);
    cmdMod->setObjectName(QStringLiteral("CmdMod"));
    cmdMod->setDefault(true);
    l->addWidget(destinatari);
    l->addWidget(TxtDest);
    l->addWidget(testo);
    l->addWidget(TxtTesto);
    l->addWidget(cmdMod);
    connect(cmdMod, &QPushButton::clicked, this, [this] {
        if (m_modifica)
            m_modifica(TxtDest->toPlainText(), TxtTesto->toPlainText());
        close();
    });
    resize(420, 300);
}

FormReportMail::FormReportMail(const QString &elenco, const QString &falliti, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Report dell'invio mail"));
    setModal(true);
    auto *l = new QVBoxLayout(this);
    const auto casella = [this](const QString &testo, const char *nome) {
        auto *t = new QPlainTextEdit(QString(testo).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), this);
        t->setObjectName(QLatin1String(nome));
        t->setReadOnly(true);
        // Long reasons wrap inside the window instead of widening it.
        t->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        return t;
    };
    const auto etichetta = [this](const QString &testo, QWidget *amico) {
        auto *e = new QLabel(testo, this);
        e->setWordWrap(true);
        e->setBuddy(amico);
        return e;
    };
    Text1 = casella(elenco, "Text1");
    auto *senzaIndirizzo = etichetta(
        QStringLiteral("Elenco documenti non inviati perchè non è presente l'indirizzo mail del destinatario:"), Text1);
    l->addWidget(senzaIndirizzo);
    l->addWidget(Text1);
    // Only the list that has documents, when one of the two is empty.
    const bool conIndirizzi = !elenco.trimmed().isEmpty() || falliti.trimmed().isEmpty();
    senzaIndirizzo->setVisible(conIndirizzi);
    Text1->setVisible(conIndirizzi);
    TextFalliti = casella(falliti, "TextFalliti");
    auto *errori = etichetta(QStringLiteral("Documenti non inviati per un errore:"), TextFalliti);
    l->addWidget(errori);
    l->addWidget(TextFalliti);
    errori->setVisible(!falliti.trimmed().isEmpty());
    TextFalliti->setVisible(!falliti.trimmed().isEmpty());
    auto *chiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    chiudi->setDefault(true);
    connect(chiudi, &QPushButton::clicked, this, &QDialog::accept);
    l->addWidget(chiudi);
    resize(520, falliti.trimmed().isEmpty() ? 320 : 420);
}

} // namespace vorpla
