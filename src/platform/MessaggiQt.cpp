#include "MessaggiQt.h"

#include <QApplication>
#include <QAbstractButton>
#include <QMessageBox>

namespace vorpla {

Risposta MessaggiQt::mostra(const QString &testo, Pulsanti pulsanti)
{
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("Vorpla"));
    box.setText(testoPerTerminale(testo));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (pulsanti == Pulsanti::SiNo) {
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Sì"));
        return box.exec() == QMessageBox::Yes ? Risposta::Si : Risposta::No;
    }
    if (pulsanti == Pulsanti::SiNoAnnulla) {
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Sì"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("Annulla"));
        box.setEscapeButton(QMessageBox::Cancel);
        const int scelta = box.exec();
        return scelta == QMessageBox::Yes ? Risposta::Si : scelta == QMessageBox::No ? Risposta::No : Risposta::Annulla;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Risposta::Ok;
}

} // namespace vorpla
