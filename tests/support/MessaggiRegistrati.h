#pragma once
// Message boxes for tests: every message is recorded, questions are answered
// from a script (No when the script is empty).

#include "common/Messaggi.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vorpla::prova {

class MessaggiRegistrati : public Messaggi
{
public:
    MessaggiRegistrati() { m_precedenti = impostaMessaggi(this); }
    ~MessaggiRegistrati() override { impostaMessaggi(m_precedenti); }

    Risposta mostra(const QString &testo, Pulsanti pulsanti, const QString &titolo) override
    {
        testi << testo;
        titoli << titolo;
        if (pulsanti == Pulsanti::Ok)
            return Risposta::Ok;
        if (risposte.isEmpty())
            return pulsanti == Pulsanti::SiNoAnnulla || pulsanti == Pulsanti::OkAnnulla ? Risposta::Annulla : Risposta::No;
        return risposte.takeFirst();
    }

    QStringList testi;
    QStringList titoli;
    QList<Risposta> risposte;

private:
    Messaggi *m_precedenti = nullptr;
};

} // namespace vorpla::prova
