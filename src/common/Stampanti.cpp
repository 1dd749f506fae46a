#include "Stampanti.h"

namespace vorpla {

bool Stampanti::selezionaIgnorandoMaiuscole(const QString &nome)
{
    for (const QString &voce : elenco()) {
        if (voce.compare(nome, Qt::CaseInsensitive) == 0) {
            impostaCorrente(voce);
            return true;
        }
    }
    return false;
}

StampantiFisse::StampantiFisse(QList<Voce> voci, QString predefinita)
    : m_voci(std::move(voci)), m_predefinita(std::move(predefinita))
{
    impostaCorrente(m_predefinita);
}

QStringList StampantiFisse::elenco() const
{
    QStringList nomi;
    for (const Voce &v : m_voci)
        nomi << v.nome;
    return nomi;
}

QString StampantiFisse::porta(const QString &nome) const
{
    for (const Voce &v : m_voci) {
        if (v.nome == nome)
            return v.porta;
    }
    return {};
}

} // namespace vorpla
