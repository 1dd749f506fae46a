#include "Form1.h"

#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/Messaggi.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vorpla {

namespace {

// The text and one line end, replacing the file whole: a failure leaves the
// old file as it was, never a truncated one.
void scrivi(const QString &percorso, const QString &testo)
{
    QSaveFile file(percorso);
    const QByteArray byte = aWindows1252(testo) + "\r\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(byte) != byte.size() || !file.commit())
        throw ErroreVB(QFileInfo(QFileInfo(percorso).absolutePath()).isDir() ? Err::PermessoNegato
                                                                             : Err::PercorsoNonTrovato);
}

} // namespace

void Form1::carica()
{
    QFile file(lavoro().FileIngresso);
    if (!file.open(QIODevice::ReadOnly))
        throw ErroreVB(file.exists() ? Err::PermessoNegato : Err::FileNonTrovato);
    Text1 = daWindows1252(file.readAll());
    m_mostrato = false;
}

void Form1::Form_Resize()
{
    // Only the first time: text typed before a resize is not taken as
    // saved, so closing still asks about it.
    if (!m_mostrato)
        TestoSalvato = Text1;
    m_mostrato = true;
}

void Form1::Salva()
{
    impostaRoutine(QStringLiteral("Form1"), QStringLiteral("Salva_Click"));
    scrivi(lavoro().FileIngresso, Text1);
    TestoSalvato = Text1;
}

void Form1::SalvaConNome(const std::function<QString()> &chiediNome)
{
    const QString nome = chiediNome();
    if (nome.isEmpty())
        return;
    try {
        scrivi(nome, Text1);
    } catch (const ErroreVB &) {
    }
}

void Form1::Diminuisci()
{
    if (dimensioneCarattere > 2)
        dimensioneCarattere -= 2;
}

bool Form1::modificato() const
{
    return Text1.compare(TestoSalvato, Qt::CaseInsensitive) != 0;
}

bool Form1::Form_Unload()
{
    if (!modificato())
        return true;
    switch (messaggi().mostra(QString::fromUtf8(Domanda), Pulsanti::SiNoAnnulla)) {
    case Risposta::Si:
        Salva();
        return true;
    case Risposta::No:
        return true;
    default:
        return false;
    }
}

} // namespace vorpla
