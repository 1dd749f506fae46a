#include "Form1.h"

#include "common/ErroreVB.h"
#include "common/Messaggi.h"
#include "common/Routine.h"
#include "common/StatoLavoro.h"
#include "common/TabellaCaratteri.h"

#include <QFile>
#include <QHash>
#include <QFileInfo>
#include <QSaveFile>

namespace vorpla {

namespace {

// The bytes and one line end, replacing the file whole: a failure leaves the
// old file as it was, never a truncated one.
void scrivi(const QString &percorso, const QByteArray &testo)
{
    QSaveFile file(percorso);
    const QByteArray byte = testo + "\r\n";
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
    m_letti = file.readAll();
    Text1 = testoDalHost(m_letti);
    m_mostrato = false;
}

bool Form1::byteDelTesto(QByteArray &byte) const
{
    // Several host codes print alike (the box-drawing bars all print "|"),
    // so a line the user did not touch keeps the bytes it was read with,
    // wherever it now stands; a line changed is written in the plainest
    // host code of each character.
    QHash<QString, QList<QByteArray>> lette;
    for (const QByteArray &riga : m_letti.split('\n'))
        lette[testoDalHost(riga)].append(riga);
    QList<QByteArray> righe;
    const QStringList scritte = Text1.split(u'\n');
    for (qsizetype n = 0; n < scritte.size(); ++n) {
        const QString &riga = scritte.at(n);
        const auto uguale = lette.find(riga);
        if (uguale != lette.end() && !uguale->isEmpty()) {
            righe.append(uguale->takeFirst());
            continue;
        }
        qsizetype rifiutato = -1;
        righe.append(byteHost(riga, rifiutato));
        if (rifiutato >= 0) {
            const qsizetype lunghezza = riga.at(rifiutato).isHighSurrogate() && rifiutato + 1 < riga.size() ? 2 : 1;
            messaggi().mostra(QStringLiteral("Il carattere \"%1\" (riga %2, colonna %3) non è tra i caratteri di Ulka e "
                                             "non si può scrivere nel file di stampa: il testo non è stato salvato.")
                                  .arg(riga.mid(rifiutato, lunghezza))
                                  .arg(n + 1)
                                  .arg(rifiutato + 1),
                              Pulsanti::Ok);
            return false;
        }
    }
    byte = righe.join('\n');
    return true;
}

void Form1::Form_Resize()
{
    // Only the first time: text typed before a resize is not taken as
    // saved, so closing still asks about it.
    if (!m_mostrato)
        TestoSalvato = Text1;
    m_mostrato = true;
}

bool Form1::Salva()
{
    impostaRoutine(QStringLiteral("Form1"), QStringLiteral("Salva_Click"));
    QByteArray byte;
    if (!byteDelTesto(byte))
        return false;
    scrivi(lavoro().FileIngresso, byte);
    TestoSalvato = Text1;
    return true;
}

void Form1::SalvaConNome(const std::function<QString()> &chiediNome)
{
    QByteArray byte;
    if (!byteDelTesto(byte))
        return;
    const QString nome = chiediNome();
    if (nome.isEmpty())
        return;
    try {
        scrivi(nome, byte);
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
    return Text1 != TestoSalvato;
}

bool Form1::Form_Unload()
{
    if (!modificato())
        return true;
    switch (messaggi().mostra(QString::fromUtf8(Domanda), Pulsanti::SiNoAnnulla)) {
    case Risposta::Si:
        return Salva();
    case Risposta::No:
        return true;
    default:
        return false;
    }
}

} // namespace vorpla
