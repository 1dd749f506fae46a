#pragma once
// GRAFICA, the print-stream interpreter: reads the print file once, top to
// bottom, and draws every marker line on a drawing surface.
//
// The reader (this file's Interprete::GRAFICA) owns the line loop: debug
// log, two-column flush, page overflow, the deferred page change and the
// character conversion; each marker is then rendered by the method the
// marker table (Marcatori.h) names. The renderers live by family in
// Geometria.cpp (pages, vouchers, labels, character grid), Testo.cpp (text)
// and the files of pictures, fax directives and tables.
//
// Errors inside a run end the program with the general message naming the
// line ("Tag: ..."), as the program always did; a printing error on a PDF
// printer ends the run quietly.

#include "CacheImmagini.h"
#include "Marcatori.h"
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

// One print-file line after the character conversion.
class RigaStampa
{
public:
    explicit RigaStampa(QByteArrayView byte) : m_byte(byte) {}

    QByteArrayView byte() const { return m_byte; }
    // The text argument: column 7 to the end.
    QByteArrayView argomento() const { return m_byte.size() > 6 ? m_byte.sliced(6) : QByteArrayView(); }
    // n characters from column c (1-based); fewer at the end of the line.
    QByteArrayView colonne(int c, int n) const;
    // The two characters at column 7 as a 16-bit integer (error 13 when
    // they are not a number).
    qint16 num2() const;
    // The three characters at column 7 as a leading decimal number.
    double num3() const;

private:
    QByteArrayView m_byte;
};

class Interprete
{
public:
    // The run draws on `superficie`, reading `file`, with the form's values.
    Interprete(Superficie &superficie, ValoriForm &form, QString file);

    // One run over the whole file (one copy of the document). On an error it
    // shows the general message and raises FineProgramma, except for the
    // quiet end of a PDF printer.
    void GRAFICA();

    // Lets pending window events run (called every few milliseconds).
    std::function<void()> eventi;
    // Puts a text on the clipboard, for fax software (the application's
    // clipboard unless set).
    std::function<void(const QString &)> appunti;

    // Reads one key of vorpla.ini in the program folder. vorpla.ini does not
    // change while a document is drawn, so each key is read once a run.
    QString Leggi(const QString &sezione, const QString &chiave) const;
    // Appends a line to the daily log.
    void scrivilog(QByteArrayView riga) const;

    // ---- Interpreter state, one set per run ---------------------------------
    struct Stato
    {
        double YCorrente = 0;
        double YIntestazione = 0;
        double MargineAlto = 0; // T
        double MargineSinistro = 0.7, MargineDestro = 0.7, Rientro = 0.2;
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

private:
    // The reader's own steps.
    void preparaPagina();
    void leggiFile();
    void eseguiRiga(QByteArrayView letta);
    void errore(int numero, const QString &descrizione);

    // Shared rendering steps.
    void fineDiPagina();
    void pieDiPagina();
    void stampaDueColonne();
    void Trattino();
    void stampaConOggetti(QByteArrayView testo);
    double numeroIni(const QString &sezione, const QString &chiave, double seVuoto) const;
    void fontOem(double punti);

    void accorciaRigaEtichetta(QByteArray &riga) const;

    // Text helpers.
    void rigaIntestazione(const RigaStampa &riga, double dimensione);
    bool tipoAstoi() const;
    bool indirizzoASinistra() const;
    double baseIndirizzo() const;
    void iniziaIndirizzoAstoi();
    void finestraIndirizzo(double alto);
    void rigaIndirizzo(const RigaStampa &riga, bool grassetto);
    void ultimaRigaIndirizzo(const RigaStampa &riga, double alto);
    double xCentrato(QByteArrayView testo) const;
    double xCentratoIndirizzo(QByteArrayView testo) const;
    void riquadro(double x1, double y1, double x2, double y2);
    void titoloInRiquadro(QByteArrayView titolo, double y, double dimensione, double sopra, double sotto, double oltre);
    // What titles hand to fax software (the clipboard) and to the mail.
    void titoloFaxMail(QByteArrayView titolo);
    void titoloDocumento(QByteArrayView titolo);
    void appuntiTitolo(const QString &testo);
    // Pictures, bar codes and the footer.
    void LogoAggiuntivo(QByteArray testo, double x, double y);
    void CodiceABarre(QByteArray &testo, double x, double y);
    // A picture file's HIMETRIC size, and the picture drawn at a place.
    QSizeF dimensioneImmagine(const QString &percorso);
    void disegnaImmagine(const QString &percorso, double x, double y, double larghezza, double altezza);
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

    // Marker renderers, one per marker of the table.
#define VORPLA_DICHIARA(testo, nome) void m_##nome(const RigaStampa &riga);
    VORPLA_MARCATORI(VORPLA_DICHIARA)
#undef VORPLA_DICHIARA

    using Renderer = void (Interprete::*)(const RigaStampa &);
    static Renderer renderer(QByteArrayView marcatore);

    Superficie &m_sup;
    ValoriForm &m_form;
    QString m_file;
    Stato m_s;
    StatoTabelle m_t;
    QByteArray m_rigaCorrente; // as read, for the error message
    mutable QHash<QString, QString> m_ini; // keys read this run
    CacheImmagini m_immagini; // pictures of this run
    bool m_inCorso = false;
};

} // namespace vorpla
