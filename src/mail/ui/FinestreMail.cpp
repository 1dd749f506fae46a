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

FormReportMail::FormReportMail(const QString &elenco, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Report dell'invio mail"));
    setModal(true);
    auto *l = new QVBoxLayout(this);
    auto *etichetta = new QLabel(
        QStringLiteral("Elenco documenti non inviati perchè non è presente l'indirizzo mail del destinatario:"), this);
    etichetta->setWordWrap(true);
    Text1 = new QPlainTextEdit(QString(elenco).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    auto *chiudi = new QPushButton(QStringLiteral("&Chiudi"), this);
    chiudi->setDefault(true);
    connect(chiudi, &QPushButton::clicked, this, &QDialog::accept);
    l->addWidget(etichetta);
    l->addWidget(Text1);
    l->addWidget(chiudi);
    resize(460, 320);
}

} // namespace vorpla
