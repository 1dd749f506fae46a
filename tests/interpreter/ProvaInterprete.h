#pragma once
// An interpreter run on a recording surface: a program folder of its own, a
// print file, the message boxes recorded.

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/FineProgramma.h"
#include "common/StatoLavoro.h"
#include "interpreter/Interprete.h"
#include "interpreter/SuperficieRegistrata.h"

#include <QList>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace vorpla::prova {

using Tipo = OperazioneRegistrata::Tipo;

class ProvaInterprete : public ::testing::Test
{
protected:
    ProvaInterprete() { azzeraLavoro(); }

    void ini(const QByteArray &contenuto) { cartella.scrivi(QStringLiteral("ulka/vorpla/vorpla.ini"), contenuto); }

    // Renders the print file; the exit status when the run ended the program.
    std::optional<int> disegna(const QByteArray &righe, const QString &dispositivo = QStringLiteral("Vorpla"))
    {
        superficie = std::make_unique<SuperficieRegistrata>(dispositivo);
        return disegnaSu(*superficie, righe);
    }

    std::optional<int> disegnaSu(Superficie &s, const QByteArray &righe)
    {
        const QString file = cartella.scrivi(QStringLiteral("job/stampa.txt"), righe);
        lavoro().FileIngresso = file;
        Interprete interprete(s, form, file);
        interprete.appunti = [this](const QString &t) { appunti << t; };
        try {
            interprete.GRAFICA();
        } catch (const FineProgramma &f) {
            stato = interprete.stato();
            return f.codice();
        }
        stato = interprete.stato();
        return std::nullopt;
    }

    QList<OperazioneRegistrata> di(Tipo tipo) const
    {
        QList<OperazioneRegistrata> r;
        for (const auto &op : superficie->operazioni())
            if (op.tipo == tipo)
                r << op;
        return r;
    }

    // The text operation that drew exactly this text.
    OperazioneRegistrata testo(const QString &t) const
    {
        for (const auto &op : superficie->operazioni())
            if (op.tipo == Tipo::Testo && op.testo == t)
                return op;
        ADD_FAILURE() << "no text " << t.toStdString();
        return {};
    }

    bool haTesto(const QString &t) const
    {
        for (const auto &op : superficie->operazioni())
            if (op.tipo == Tipo::Testo && op.testo == t)
                return true;
        return false;
    }

    CartellaProva cartella;
    MessaggiRegistrati messaggi;
    ValoriForm form;
    std::unique_ptr<SuperficieRegistrata> superficie;
    QStringList appunti; // what the run put on the clipboard
    Interprete::Stato stato;
};

} // namespace vorpla::prova
