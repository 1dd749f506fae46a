#include "FinestraEditor.h"

#include "output/ui/TastiRapidi.h"
#include "startup/Form1.h"

#include "interpreter/Superficie.h"

#include "common/ErroreVB.h"
#include "common/Routine.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVBoxLayout>

namespace vorpla {

FinestraEditor::FinestraEditor(Form1 &form, std::function<QString()> chiediNome, QWidget *genitore)
    : QDialog(genitore), m_form(form), m_chiediNome(std::move(chiediNome))
{
    setWindowTitle(QStringLiteral("Edit"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *menu = new QMenuBar(this);
    layout->setMenuBar(menu);
    m_testo = new QPlainTextEdit(this);
    m_testo->setObjectName(QStringLiteral("Text1"));
    m_testo->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The text box shows line ends as LF; a file written with CR LF gets
    // them back.
    const bool crlf = form.Text1.contains(QLatin1String("\r\n"));
    m_testo->setPlainText(crlf ? QString(form.Text1).replace(QLatin1String("\r\n"), QLatin1String("\n")) : form.Text1);
    layout->addWidget(m_testo);
    aggiornaCarattere();
    connect(m_testo, &QPlainTextEdit::textChanged, this, [this, crlf] {
        // The raw text: the plain one would turn no-break spaces (the host's
        // code 0xFF) into blanks.
        QString testo = m_testo->document()->toRawText();
        testo.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
        if (crlf)
            testo.replace(u'\n', QLatin1String("\r\n"));
        m_form.Text1 = testo;
    });

    const auto aggiungi = [this](QMenu *m, const char *testo, std::function<void()> azione) {
        QAction *a = m->addAction(QString::fromUtf8(testo));
        connect(a, &QAction::triggered, this, std::move(azione));
        m_voci << a;
    };
    QMenu *file = menu->addMenu(QStringLiteral("&File"));
    aggiungi(file, "Salva", [this] {
        try {
            m_form.Salva();
        } catch (const ErroreVB &e) {
            // Nothing is lost: the text stays in the window.
            mostraErroreRoutine(e);
        }
    });
    aggiungi(file, "Salva con nome", [this] { m_form.SalvaConNome(m_chiediNome); });
    QMenu *modifica = menu->addMenu(QStringLiteral("&Modifica"));
    aggiungi(modifica, "Annulla", [this] { tasto(Qt::Key_Z); });
    aggiungi(modifica, "Copia", [this] { tasto(Qt::Key_C); });
    aggiungi(modifica, "Incolla", [this] { tasto(Qt::Key_V); });
    aggiungi(modifica, "Seleziona tutto", [this] {
        m_testo->setFocus();
        m_testo->selectAll();
    });
    QMenu *carattere = menu->addMenu(QStringLiteral("&Carattere"));
    aggiungi(carattere, "Aumenta", [this] {
        m_form.Aumenta();
        aggiornaCarattere();
    });
    aggiungi(carattere, "Diminuisci", [this] {
        m_form.Diminuisci();
        aggiornaCarattere();
    });
    for (QMenu *m : {file, modifica, carattere})
        assegnaTastiVoci(m->actions());
    resize(800, 560);
}

QAction *FinestraEditor::voce(const QString &testo) const
{
    for (QAction *a : m_voci)
        if (QString(a->text()).remove(u'&') == testo)
            return a;
    return nullptr;
}

// The platform's undo, copy and paste keystrokes, sent to the text box.
void FinestraEditor::tasto(int tasto)
{
    m_testo->setFocus();
    QKeyEvent premuto(QEvent::KeyPress, tasto, Qt::ControlModifier);
    QCoreApplication::sendEvent(m_testo, &premuto);
    QKeyEvent rilasciato(QEvent::KeyRelease, tasto, Qt::ControlModifier);
    QCoreApplication::sendEvent(m_testo, &rilasciato);
}

void FinestraEditor::aggiornaCarattere()
{
    // The text is Unicode, as the page reads it: the fixed-pitch font that
    // stands in for "NetTerm OEM" shows it as it is, where the OEM font's
    // own glyphs sit at other codes (its "à" at the code of "…").
    QFont carattere{QLatin1String(FontOemSostitutivo)};
    carattere.setStyleHint(QFont::TypeWriter);
    carattere.setPointSizeF(m_form.dimensioneCarattere);
    m_testo->setFont(carattere);
}

void FinestraEditor::resizeEvent(QResizeEvent *evento)
{
    QDialog::resizeEvent(evento);
    m_form.Form_Resize();
}

void FinestraEditor::closeEvent(QCloseEvent *evento)
{
    try {
        if (m_form.Form_Unload()) {
            evento->accept();
            return;
        }
    } catch (const ErroreVB &e) {
        // Yes, and the save failed: the window stays, with the text.
        mostraErroreRoutine(e);
    }
    evento->ignore();
}

void FinestraEditor::reject()
{
    // Esc closes as the window's close does, with the same question.
    close();
}

QString chiediNomeFileTesto(QWidget *genitore)
{
    QFileDialog dialogo(genitore, QStringLiteral("Salva con nome"));
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setNameFilter(QStringLiteral("Testo (*.txt);;Tutti i file (*)"));
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return {};
    return dialogo.selectedFiles().constFirst();
}

} // namespace vorpla
