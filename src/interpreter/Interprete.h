#pragma once
// GRAFICA, the printer's print-stream interpreter: the reader of
// LettoreStampa with the printer's layout, drawing every marker line on a
// drawing surface in centimetres.
//
// Around the shared line loop the printer layout flushes two-column text,
// measures the footer, turns the page on overflow and starts the deferred
// page change (primaDellaRiga), draws the fold mark at the end of a one-page
// document, lets the text letterhead stand in for a logo the printer
// refuses, and ends the program with the general message naming the line
// ("Tag: ...") on any other error; a printing error on a PDF printer ends
// the run quietly. Each marker is rendered by the method its column of the
// marker table (Marcatori.h) names; the renderers live by family in
// Geometria.cpp (pages, vouchers, labels, character grid), Testo.cpp (text)
// and the files of pictures, fax directives and tables.

#include "CacheImmagini.h"
#include "LettoreStampa.h"
#include "NumeriStrato.h"
#include "StatoTabelle.h"
#include "ValoriForm.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

namespace vorpla {

class Superficie;

class Interprete : public LettoreStampa
{
public:
    // The run draws on `superficie`, reading `file`, with the form's values,
    // by the printer's layout (or, for a sister layout, by `numeri`).
    Interprete(Superficie &superficie, ValoriForm &form, QString file,
               const NumeriStrato &numeri = NumeriStampante);

    // One run over the whole file (one copy of the document). On an error it
    // shows the general message and raises FineProgramma, except for the
    // quiet end of a PDF printer.
    void GRAFICA();
    // The page the run is drawing, from 1.
    int paginaCorrente() const;

    // Puts a text on the clipboard, for fax software (the application's
    // clipboard unless set).
    std::function<void(const QString &)> appunti;

    // ---- Interpreter state, one set per run ---------------------------------
    struct Stato
    {
        double YCorrente = 0;
        double YIntestazione = 0;
        double MargineAlto = 0; // T
        double MargineSinistro = NumeriStampante.margineSinistro, MargineDestro = NumeriStampante.margineDestro,
               Rientro = NumeriStampante.rientro;
        double LarghezzaPagina = 0, AltezzaPagina = 0;
        double AltezzaPiede = 0;
        QString IntestazioneAttiva;
        bool NuovaPaginaPendente = false;
        bool LogoPresente = false;
        bool PiedeAttivo = false;
        bool IntestazioniLetterali = false;
        bool SecondaFinestra = false;
        int PaginaDocumento = 1, IndiceDocumento = 0;

        // Device words and page.
        QString dispositivo; // device name, upper-cased
        bool paginaAlta = false; // physical page taller than 30 cm
        bool Bold = false;       // address lines bold ([Pagina voucher] Bold)

        // Vouchers.
        qint16 ModoVoucher = 0, VoucherPerPagina = 0;

        // Labels.
        double larghezzaEtichetta = 0, altezzaEtichetta = 0, margineEtichetta = 0;
        double etichettePerRiga = 0, etichettePerPagina = 0;
        qint16 NumeroEtichetta = 0;
        QList<QByteArray> RigheEtichetta;

        // Character grid.
        double PassoCarattere = 0, PassoRiga = 0;
        int RigaGriglia = 0;
        QString RighePagina;
        bool doppiaLarghezza = false;
        int contatoreDoppio = 0;

        // Text.
        std::array<double, 11> dimensioni{}; // the size table, 1 to 10
        int ContaMittente = 0;
        QList<QByteArray> RigheIndirizzo;
        double XTitoli = 0;
        int ContaTitoli = 0;
        std::optional<double> YDopoData;

        // Fax and mail.
        int ContaOrganizzazione = 0;
        QString SuffissoTitolo;
        QList<QByteArray> DueColonne;
        bool DueColonnePendenti = false, DueColonneCentrate = false;
        double YInizioDueColonne = 0;
        double estensioneTitoloB = 0;
    };

    const Stato &stato() const { return m_s; }

protected:
    // The printer layout around the shared line loop.
    void inizioCorsa() override;
    void primaDellaRiga(QByteArrayView letta) override;
    void disegnaRiga(const RigaStampa &riga) override;
    bool recupera(const ErroreVB &errore) override;
    void fineFile() override;
    void errore(int numero, const QString &descrizione) override;

    // A length the printer's rules give in centimetres, in the layout's unit.
    double lung(double cm) const { return cm * m_numeri.unita; }

    void preparaPagina();

    // Shared rendering steps.
    void fineDiPagina();
    void pieDiPagina();
    void stampaDueColonne();
    void stampaDueColonne(double xDestra, double xRegola, double dimensione);
    virtual void Trattino();
    // Where the layouts' vouchers differ: how many copies make one, whether
    // the third voucher of a page only counts (no new page), and what a
    // voucher letterhead does first.
    virtual bool unaCopia() const;
    virtual bool voucherSenzaNuovaPagina() const;
    virtual void inizioVoucher();
    // Where the next text line goes, that position set, and a text line
    // drawn there at x, moving to the line below (`stile` 1 marks the
    // letterhead's first line). The printer's text follows its pen; another
    // layout may keep its own running position.
    virtual double posizioneTesto() const;
    virtual void posizionaTesto(double y);
    virtual void rigaDiTesto(QByteArrayView testo, double x, int stile = 0);
    void stampaConOggetti(QByteArrayView testo);
    double numeroIni(const QString &sezione, const QString &chiave, double seVuoto) const;
    void fontOem(double punti);

    void accorciaRigaEtichetta(QByteArray &riga) const;

    // Text helpers.
    void apriIntestazione(const RigaStampa &riga);
    void rigaIntestazione(const RigaStampa &riga, double dimensione);
    bool tipoAstoi() const;
    bool indirizzoASinistra() const;
    // The left base of address lines (G is added).
    virtual double baseIndirizzo() const;
    void iniziaIndirizzoAstoi();
    void finestraIndirizzo(double x1, double y1, double x2, double y2);
    void rigaIndirizzo(const RigaStampa &riga, bool grassetto);
    void riduciIndirizzo(QByteArrayView testo, double x);
    double xTitoloIndirizzo(QByteArrayView titolo);
    QString margineDelTipo() const;
    void ultimaRigaIndirizzo(const RigaStampa &riga, double alto, double dimensione, double x);
    void allineaADestra(QByteArrayView testo, double destra, double y, double dimensione);
    void titoloInRiga(QByteArrayView titolo, double y, double dimensione);
    void apriTesto(double passo, double dimensione);
    double xCentrato(QByteArrayView testo) const;
    double xCentratoIndirizzo(QByteArrayView testo) const;
    void riquadro(double x1, double y1, double x2, double y2);
    void titoloInRiquadro(QByteArrayView titolo, double y, double dimensione, double sopra, double sotto, double oltre);
    // What titles hand to fax software (the clipboard) and to the mail.
    void titoloFaxMail(QByteArrayView titolo, bool perAppunti = true);
    void organizzazioneMail(const QString &organizzazione);
    void titoloDocumento(QByteArrayView titolo);
    void appuntiTitolo(const QString &testo);
    // Pictures, bar codes and the footer.
    void LogoAggiuntivo(QByteArray testo, double x, double y);
    void CodiceABarre(QByteArray &testo, double x, double y);
    // A picture file's HIMETRIC size, and the picture drawn at a place.
    virtual QSizeF dimensioneImmagine(const QString &percorso);
    virtual void disegnaImmagine(const QString &percorso, double x, double y, double larghezza, double altezza);
    // The picture file an inline picture names.
    virtual QString fileImmagineInLinea(const QString &nome) const;
    // One line of a label, its top-left corner at (x, y).
    virtual void rigaEtichetta(QByteArrayView linea, double x, double y);
    void logo(const RigaStampa &riga, bool voucher);
    // Fax directives.
    bool dispositivoZetafax() const;
    void scriviDirettiva(const QString &direttiva);
    void numeroPagina();
    void testoConAttributi(QByteArrayView testo, bool grassetto, bool sottolineato, bool centrato);
    void rigaDueColonne(QByteArrayView testo, bool grassetto, bool corsivo, bool sottolineato, bool centrata);

    // ---- Boxed tables (Tabelle.cpp) ----
    double dimensioneTabella(double larga, double normale) const;
    double larghezzaCarattere() const;
    double xColonna(const ColonnaTabella &colonna) const;
    double destraColonna(const ColonnaTabella &colonna) const;
    QByteArrayView cellaTabella(QByteArrayView testo, const ColonnaTabella &colonna) const;
    void stampaADestra(QByteArrayView testo, const ColonnaTabella &colonna);
    double fineRegolaTabella() const;
    void aggiungiRigaDifferita(double y);
    void azzeraLivelliTabella();
    void inizioBox(const RigaStampa &riga);
    void modelloTabella(const RigaStampa &riga);
    void intestazioneTabella(const RigaStampa &riga, char regola);
    void rigaTabella(const RigaStampa &riga, bool grassetto, bool rialzata);
    void regolaTabella(bool differita);
    void apriLivelloTabella(char stile);
    void chiudiTabella(bool cornice);
    void totaliTabella(const RigaStampa &riga);
    // ---- end of boxed tables ----

    // Marker renderers, one per marker of the printer's column.
#define VORPLA_DICHIARA(testo, nome, s, p, a) VORPLA_SE_##s(void m_##nome(const RigaStampa &riga);)
    VORPLA_MARCATORI(VORPLA_DICHIARA)
#undef VORPLA_DICHIARA

    Superficie &m_sup;
    ValoriForm &m_form;
    const NumeriStrato &m_numeri;
    Stato m_s;
    StatoTabelle m_t;
    CacheImmagini m_immagini; // pictures of this run
};

} // namespace vorpla
