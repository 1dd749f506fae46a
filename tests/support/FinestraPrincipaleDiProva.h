#pragma once
// What the main window needs in a test: its form as start-up leaves it
// (caption, the printers Office and Laser, Office chosen, visible), the
// commands over recording services, and message boxes recorded.

#include "MessaggiRegistrati.h"
#include "TestSupport.h"

#include "common/Stampanti.h"
#include "common/StatoLavoro.h"
#include "startup/ComandiMain.h"
#include "startup/FormMain.h"
#include "startup/ServiziAvvio.h"

namespace vorpla::prova {

struct FinestraPrincipaleDiProva
{
    FinestraPrincipaleDiProva()
        : stampanti({{QStringLiteral("Office"), QStringLiteral("ipp://s/office")},
                     {QStringLiteral("Laser"), QStringLiteral("socket://192.0.2.9")}},
                    QStringLiteral("Office")),
          comandi(form, servizi)
    {
        azzeraLavoro();
        servizi.stampanti = &stampanti;
        form.caption = QStringLiteral("Vorpla Ulka v. 2.1.0");
        form.controllo(QStringLiteral("cmbPrinter")).voci = stampanti.elenco();
        form.controllo(QStringLiteral("cmbPrinter")).indice = 0;
        form.visibile = true;
    }

    StampantiFisse stampanti;
    FormMain form;
    ServiziAvvio servizi;
    ComandiMain comandi;
    MessaggiRegistrati messaggi;
};

} // namespace vorpla::prova
