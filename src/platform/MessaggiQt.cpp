#include "MessaggiQt.h"

#include <QApplication>
#include <QAbstractButton>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

namespace vorpla {

void preparaMessaggio(QMessageBox &box, const QString &testo, Pulsanti pulsanti, const QString &titolo)
{
    box.setWindowTitle(titolo.isEmpty() ? QStringLiteral("Vorpla") : titolo);
    box.setText(testoPerTerminale(testo));
    // A message has nothing to minimise or enlarge: a title and a close
    // button only, above the other windows.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                       | Qt::WindowStaysOnTopHint);
    switch (tipoMessaggio(testo, pulsanti)) {
    case TipoMessaggio::Domanda: box.setIcon(QMessageBox::Question); break;
    case TipoMessaggio::Errore: box.setIcon(QMessageBox::Critical); break;
    case TipoMessaggio::Avviso: box.setIcon(QMessageBox::Warning); break;
    }
    switch (pulsanti) {
    case Pulsanti::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Pulsanti::SiNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Pulsanti::SiNoAnnulla:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Pulsanti::OkAnnulla:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    // Italian whatever the translations installed, each with its key: "s",
    // "n", "a" (alone or with Alt) answer as the button does.
    if (QAbstractButton *si = box.button(QMessageBox::Yes))
        si->setText(QStringLiteral("&Sì"));
    if (QAbstractButton *no = box.button(QMessageBox::No))
        no->setText(QStringLiteral("&No"));
    if (QAbstractButton *annulla = box.button(QMessageBox::Cancel))
        annulla->setText(QStringLiteral("&Annulla"));
}

Risposta MessaggiQt::mostra(const QString &testo, Pulsanti pulsanti, const QString &titolo)
{
    QMessageBox box;
    preparaMessaggio(box, testo, pulsanti, titolo);
    const int scelta = box.exec();
    switch (pulsanti) {
    case Pulsanti::Ok: return Risposta::Ok;
    case Pulsanti::SiNo: return scelta == QMessageBox::Yes ? Risposta::Si : Risposta::No;
    case Pulsanti::SiNoAnnulla:
        return scelta == QMessageBox::Yes ? Risposta::Si : scelta == QMessageBox::No ? Risposta::No : Risposta::Annulla;
    case Pulsanti::OkAnnulla: return scelta == QMessageBox::Ok ? Risposta::Ok : Risposta::Annulla;
    }
    return Risposta::Ok;
}

bool installaTraduzioniQt()
{
    // Qt's own Italian texts: the standard dialogs (printer, files) and
    // buttons speak the users' language.
    static QTranslator traduzioni;
    if (!traduzioni.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&traduzioni);
}

} // namespace vorpla
