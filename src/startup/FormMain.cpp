#include "FormMain.h"

#include <cstdio>
#include <cstdlib>

namespace vorpla {

FormMain::FormMain()
{
    using T = TipoControllo;
    auto aggiungi = [this](const char *nome, T tipo, const QString &testo, const char *contenitore = "") {
        Controllo c;
        c.nome = QString::fromLatin1(nome);
        c.tipo = tipo;
        c.testo = testo;
        c.contenitore = QString::fromLatin1(contenitore);
        m_controlli.append(c);
        return &m_controlli.last();
    };
    // The controls in the order of the window, with their texts and their
    // state when the window is created.
    aggiungi("Frame1", T::Cornice, QStringLiteral("Vorplante"));
    aggiungi("Label1", T::Etichetta, QStringLiteral("Nome :"), "Frame1");
    aggiungi("cmbPrinter", T::Elenco, QString(), "Frame1");
    aggiungi("Label2", T::Etichetta, QStringLiteral("Porta : "), "Frame1");
    aggiungi("lblPorta", T::Etichetta, QString(), "Frame1");
    aggiungi("Label3", T::Etichetta, QStringLiteral("Numero copie:"), "Frame1");
    aggiungi("TXTNumCopie", T::CasellaTesto, QStringLiteral("1"), "Frame1");
    aggiungi("cmdProp(0)", T::Pulsante, QStringLiteral("Proprietà vorple Ulka"), "Frame1");
    aggiungi("cmdProp(1)", T::Pulsante, QStringLiteral("Proprietà vorplante"), "Frame1");
    aggiungi("cmdVorpla", T::PulsanteImmagine, QString());
    aggiungi("cmdPreview", T::PulsanteImmagine, QString());
    aggiungi("cmdEsci", T::PulsanteImmagine, QString());
    aggiungi("Check2", T::Casella, QStringLiteral("Anteprima di qualità"))->visibile = false;
    aggiungi("Edit", T::Pulsante, QStringLiteral("Edit"));
    aggiungi("Frame2", T::Cornice, QStringLiteral("E-mail e Fax"));
    aggiungi("cmdEmail(0)", T::PulsanteImmagine, QString(), "Frame2");
    aggiungi("cmdEmail(1)", T::Pulsante, QStringLiteral("My Fax"), "Frame2")->abilitato = false;
    aggiungi("cmdEditEmail(2)", T::Pulsante, QStringLiteral("Edit Mail"), "Frame2");
    aggiungi("CmdVplEma", T::Pulsante, QStringLiteral("Vorpla + Email"), "Frame2");
    aggiungi("ChkSmtp", T::Casella, QStringLiteral("Invia con SMTP"), "Frame2");
    aggiungi("Check1", T::Casella, QStringLiteral("Invia tutti"), "Frame2");
    aggiungi("chkAttach", T::Casella, QStringLiteral("Allegato"), "Frame2")->visibile = false;
    aggiungi("lblMail", T::Etichetta, QString(), "Frame2");
    aggiungi("CmdPub", T::Pulsante, QStringLiteral("Pubblica"))->visibile = false;
    aggiungi("LblEtich", T::Etichetta, QStringLiteral("Tipo di etichette"))->visibile = false;
    Controllo *cmbEtich = aggiungi("CmbEtich", T::Elenco, QString());
    cmbEtich->visibile = false;
    cmbEtich->abilitato = false;
    Controllo *timer = aggiungi("Timer1", T::Timer, QString());
    timer->abilitato = false;
    timer->visibile = false;
    aggiungi("CommonDialog1", T::Dialogo, QString())->visibile = false;
}

Controllo &FormMain::controllo(const QString &nome)
{
    for (Controllo &c : m_controlli) {
        if (c.nome == nome)
            return c;
    }
    std::fprintf(stderr, "FormMain: no control named %s\n", qPrintable(nome));
    std::abort();
}

const Controllo &FormMain::controllo(const QString &nome) const
{
    return const_cast<FormMain *>(this)->controllo(nome);
}

} // namespace vorpla
