#pragma once
// The "Vorpla in corso..." window shown while the job is with the client:
// a label, and the text box Text1 the plain-text exchange copies from with
// Ctrl+C (hidden: the user has no use for it); 200 pixels from the screen's
// left and top edges, above every other window. Closing it ends the program.

#include <QWidget>

class QLabel;
class QLineEdit;

namespace vorpla {

class FinestraMsg : public QWidget
{
public:
    explicit FinestraMsg(QWidget *genitore = nullptr);

    // Shows the window in its place.
    void mostra();
    // Text1 given the text, all of it selected, focused, and Ctrl+C pressed
    // on it.
    void copia(const QString &testo);

    QLineEdit *text1() const { return m_text1; }

protected:
    void closeEvent(QCloseEvent *evento) override;

private:
    QLabel *m_etichetta;
    QLineEdit *m_text1;
};

} // namespace vorpla
