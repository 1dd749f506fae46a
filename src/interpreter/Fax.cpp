// Fax directives, page numbers and the job records: what the interpreter
// produces for others while it draws (the fax server's addressing commands,
// "Pagina n di m", the mail subject and titles, the attachment list, the
// clipboard titles of fax software).

#include "Interprete.h"
#include "Superficie.h"
#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/ModPubblico.h"
#include "common/StatoLavoro.h"
#include "common/TabellaCaratteri.h"

#include <QClipboard>
#include <QGuiApplication>

namespace vorpla {

namespace {
// Names and titles read as the page shows them (host "à" is "à" in the
// subject, the clipboard and the directives alike).
QString testo(QByteArrayView byte)
{
    return testoDaConvertito(byte);
}
} // namespace

bool Interprete::dispositivoZetafax() const
{
    return m_s.dispositivo.contains(QStringLiteral("ZETAFAX"));
}

// A directive is printed in 1-point Arial at the pen: the fax server's
// driver reads it from the page, and it stays practically invisible. Arial
// text is Windows text, so a character Windows-1252 lacks (a box-drawing
// line in a name) reaches the server as "?".
void Interprete::scriviDirettiva(const QString &direttiva)
{
    m_sup.FontName(QStringLiteral("arial"));
    const double dimensione = m_sup.FontSize();
    m_sup.FontSize(1);
    m_sup.Print(aWindows1252(direttiva));
    m_sup.FontName(QLatin1String(FontOem));
    m_sup.FontSize(dimensione);
}

void Interprete::appuntiTitolo(const QString &testo)
{
    if (appunti) {
        appunti(testo);
        return;
    }
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        app->clipboard()->setText(testo);
}

void Interprete::m_FAXN(const RigaStampa &riga)
{
    if (!dispositivoZetafax())
        return;
    QString numero = testo(riga.argomento());
    const qsizetype barra = numero.indexOf(u'/');
    if (barra >= 0)
        numero.remove(barra, 1);
    if (numero != m_form.UltimoFax) {
        m_form.UltimoFax = numero;
        scriviDirettiva(QStringLiteral("%%[Fax: ") + numero + u']');
    }
}

void Interprete::m_FAXD(const RigaStampa &riga)
{
    if (!dispositivoZetafax())
        return;
    const QString nome = testo(riga.argomento());
    if (nome != m_form.UltimoNomeFax) {
        m_form.UltimoNomeFax = nome;
        scriviDirettiva(QStringLiteral("%%[Name: ") + nome + u']');
    }
}

// The end of one document of a batch: send it, and let the next document's
// sender lines start again under its own address window.
void Interprete::m_FAXS(const RigaStampa &)
{
    if (dispositivoZetafax()) {
        scriviDirettiva(QStringLiteral("%%[SEND]"));
        m_s.ContaOrganizzazione = 0;
    }
    m_s.ContaMittente = 0;
}

void Interprete::m_TIFE(const RigaStampa &riga)
{
    const QString organizzazione = testo(riga.argomento());
    m_s.YCorrente = m_s.MargineAlto + m_form.ScostamentoVoucher + 3.5;
    m_s.SuffissoTitolo = organizzazione;
    if (dispositivoZetafax()) {
        appuntiTitolo(organizzazione);
        if (m_s.ContaOrganizzazione == 0)
            scriviDirettiva(QStringLiteral("%%[Organisation: ") + organizzazione + u']');
        ++m_s.ContaOrganizzazione;
    }
    organizzazioneMail(organizzazione);
}

// The organisation is the mail subject until a title follows.
void Interprete::organizzazioneMail(const QString &organizzazione)
{
    StatoLavoro &job = lavoro();
    job.OggettoMail = organizzazione;
    if (!job.ElencoTitoli.contains(organizzazione))
        job.ElencoTitoli += QStringLiteral("\r\n") + organizzazione + QStringLiteral("\r\n");
}

// Title markers gather one more " - " in front of the organisation for
// every title met; fax devices get the title on the clipboard.
void Interprete::titoloFaxMail(QByteArrayView titolo, bool perAppunti)
{
    if (!m_s.SuffissoTitolo.isEmpty())
        m_s.SuffissoTitolo.prepend(QStringLiteral(" - "));
    if (perAppunti && m_s.dispositivo.contains(QStringLiteral("FAX")))
        appuntiTitolo(testo(titolo) + m_s.SuffissoTitolo);
}

// The document's title is the mail subject.
void Interprete::titoloDocumento(QByteArrayView titolo)
{
    if (!m_s.SuffissoTitolo.isEmpty())
        m_s.SuffissoTitolo.prepend(QStringLiteral(" - "));
    StatoLavoro &job = lavoro();
    job.OggettoMail = testo(titolo) + m_s.SuffissoTitolo;
    if (!job.ElencoTitoli.contains(job.OggettoMail))
        job.ElencoTitoli += job.OggettoMail + QStringLiteral("\r\n");
}

// "Pagina n di m" at the bottom of every page of a numbered document.
void Interprete::numeroPagina()
{
    const QString posizione = Leggi(QStringLiteral("FOOTER"), QStringLiteral("POSNUMPAGINA"));
    if (!m_form.NumerazioneAttiva)
        return;
    const double w = m_sup.Width() / 567;
    double x = w - 2;
    if (posizione == QStringLiteral("SX"))
        x = w - 20.5;
    else if (posizione == QStringLiteral("CN"))
        x = w / 2 - 1;
    m_sup.CurrentX = x;
    m_sup.CurrentY = m_sup.Height() / 567 - 0.7;
    const double dimensione = m_sup.FontSize();
    m_sup.FontSize(6);
    if (m_s.IndiceDocumento == 0)
        m_s.IndiceDocumento = 1;
    if (m_s.IndiceDocumento >= m_form.PagineSezione.size())
        throw ErroreVB(Err::IndiceFuoriIntervallo);
    m_sup.Print(QStringLiteral("Pagina %1 di %2")
                    .arg(m_s.PaginaDocumento)
                    .arg(m_form.PagineSezione.at(m_s.IndiceDocumento))
                    .toLatin1());
    ++m_s.PaginaDocumento;
    m_sup.FontSize(dimensione);
}

void Interprete::m_SNPG(const RigaStampa &)
{
    ++m_s.IndiceDocumento;
    m_s.PaginaDocumento = 1;
    lavoro().ElencoAllegati = QStringList{QString()};
}

// Files to print or mail with the document; the booking extract (a "D...TXT"
// file) is found by the mail itself.
void Interprete::m_FILE(const RigaStampa &riga)
{
    const QString percorso = daWindows1252(riga.argomento()); // a path, as the program's other paths
    const QString nome = trovanomeMaiuscolo(percorso);
    if (nome.startsWith(u'D') && nome.endsWith(QStringLiteral(".TXT")))
        return;
    lavoro().ElencoAllegati.append(percorso);
}

} // namespace vorpla
