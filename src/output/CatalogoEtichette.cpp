#include "CatalogoEtichette.h"

#include "FormVorpla.h"

#include "common/Codifica.h"
#include "common/ErroreVB.h"
#include "common/FileRegolare.h"
#include "common/Messaggi.h"
#include "common/Numeri.h"
#include "common/Routine.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorpla {

const QString CatalogoEtichette::MessaggioSenzaCatalogo = QStringLiteral(
    "Il formato non è stato salvato: il file di stampa non indica il catalogo dei formati (@PERC).\r"
    "Il formato vale solo per questa stampa.");

const QString CatalogoEtichette::DomandaElimina =
    QStringLiteral("Sei sicuro di voler eliminare il formato corrente?");

namespace {

const QString Modulo = QStringLiteral("frmvorpla");

// A catalogue of 400,000 formats is already far more than any site has.
constexpr qint64 DimensioneMassimaCatalogo = qint64(16) << 20;

// The catalogue and its twin are only ever regular files: a device or FIFO
// under their names is refused (error 75), never read or written.
void apriCatalogo(QFile &file, const QString &percorso)
{
    const EsitoFile esito = apriInLettura(file, percorso, DimensioneMassimaCatalogo);
    if (esito != EsitoFile::Aperto)
        throw ErroreVB(erroreVBDi(esito));
}

void apriPerScrivere(QFile &file, const QString &percorso, QIODevice::OpenMode modo)
{
    const EsitoFile esito = apriInScrittura(file, percorso, modo);
    if (esito != EsitoFile::Aperto)
        throw ErroreVB(esito == EsitoFile::Negato ? Err::PermessoNegato : Err::AccessoPercorso);
}

void scriviTutto(QFile &file, const QByteArray &byte)
{
    if (file.write(byte) != byte.size())
        throw ErroreVB(Err::ErroreIO);
}

// Flushes the file's data to the disk, so a rename that follows never
// publishes a file whose contents are still only in memory.
void sincronizza(QFile &file)
{
    if (!file.flush() || ::fsync(file.handle()) != 0)
        throw ErroreVB(Err::ErroreIO);
}

// Makes a rename in the folder durable (best effort: not every file system
// can sync a folder).
void sincronizzaCartella(const QString &percorsoFile)
{
    const QByteArray cartella = QFile::encodeName(QFileInfo(percorsoFile).absolutePath());
    const int fd = ::open(cartella.constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

QByteArray FormatoEtichetta::aByte() const
{
    QByteArray byte = aWindows1252(Descrizione).left(LunghezzaDescrizione);
    byte.append(LunghezzaDescrizione - byte.size(), ' ');
    for (qint32 misura : {LargPagina, AltPagina, MargineSup, LargEtich, AltEtich}) {
        char le[4];
        qToLittleEndian(misura, le);
        byte.append(le, 4);
    }
    return byte;
}

FormatoEtichetta FormatoEtichetta::daByte(QByteArrayView byte)
{
    Q_ASSERT(byte.size() == Lunghezza);
    FormatoEtichetta f;
    f.Descrizione = daWindows1252(byte.first(LunghezzaDescrizione));
    const char *misure = byte.data() + LunghezzaDescrizione;
    f.LargPagina = qFromLittleEndian<qint32>(misure);
    f.AltPagina = qFromLittleEndian<qint32>(misure + 4);
    f.MargineSup = qFromLittleEndian<qint32>(misure + 8);
    f.LargEtich = qFromLittleEndian<qint32>(misure + 12);
    f.AltEtich = qFromLittleEndian<qint32>(misure + 16);
    return f;
}

void CatalogoEtichette::impostaDaForm(const FormVorpla &form)
{
    PercorsoDB = form.PercorsoDB;
    PercorsoTmp = form.PercorsoTmp;
    if (form.EtichetteBloccate) {
        cmdConferma.Visible = false;
        abilitaCampi(false);
    }
}

void CatalogoEtichette::abilitaCampi(bool abilitati)
{
    for (Campo *c : {&txtDesc, &txtPX, &txtPY, &txtMarg, &txtEtX, &txtETY})
        c->Enabled = abilitati;
}

// Fills the list with the Descrizione of every whole record of etich.DB
// (a missing file is an empty catalogue). InCaricamento is set meanwhile.
void CatalogoEtichette::riempiLista()
{
    cmbFormati.clear();
    ListIndex = -1;
    NumFormati = 0;
    if (PercorsoDB.isEmpty() || !QFileInfo::exists(PercorsoDB))
        return;
    InCaricamento = true;
    QFile file;
    try {
        apriCatalogo(file, PercorsoDB);
    } catch (const ErroreVB &) {
        InCaricamento = false;
        throw;
    }
    const QByteArray contenuto = file.readAll();
    for (qsizetype pos = 0; pos + FormatoEtichetta::Lunghezza <= contenuto.size();
         pos += FormatoEtichetta::Lunghezza) {
        cmbFormati << FormatoEtichetta::daByte(QByteArrayView(contenuto).sliced(pos, FormatoEtichetta::Lunghezza))
                          .Descrizione;
    }
    NumFormati = qint32(cmbFormati.size());
}

void CatalogoEtichette::caricaCatalogo()
{
    impostaRoutine(Modulo, QStringLiteral("Form_Load"));
    NumFormati = 0;
    riempiLista();
    InCaricamento = false;
    if (!cmbFormati.isEmpty())
        selezionaFormato(0);
}

void CatalogoEtichette::selezionaFormato(int indice)
{
    ListIndex = indice;
    cmbFormati_Click();
}

FormatoEtichetta CatalogoEtichette::leggiRecord(int numero) const
{
    QFile file;
    apriCatalogo(file, PercorsoDB);
    if (numero < 1 || !file.seek(qint64(numero - 1) * FormatoEtichetta::Lunghezza))
        throw ErroreVB(Err::OltreFineFile);
    const QByteArray byte = file.read(FormatoEtichetta::Lunghezza);
    if (byte.size() != FormatoEtichetta::Lunghezza)
        throw ErroreVB(Err::OltreFineFile);
    return FormatoEtichetta::daByte(byte);
}

void CatalogoEtichette::cmbFormati_Click()
{
    impostaRoutine(Modulo, QStringLiteral("cmbFormati_Click"));
    if (InCaricamento || NumFormati == 0)
        return;
    try {
        Formato = leggiRecord(ListIndex + 1);
        txtDesc.Text = Formato.Descrizione;
        txtPX.Text = QString::number(Formato.LargPagina);
        txtPY.Text = QString::number(Formato.AltPagina);
        txtMarg.Text = QString::number(Formato.MargineSup);
        txtEtX.Text = QString::number(Formato.LargEtich);
        txtETY.Text = QString::number(Formato.AltEtich);
    } catch (const ErroreVB &e) {
        impostaRoutine(Modulo, QStringLiteral("cmbFormati_Click"));
        mostraErroreRoutine(e);
    }
}

void CatalogoEtichette::cmdCrea_Click()
{
    ++NumFormati;
    abilitaCampi(true);
    cmdConferma.Visible = true;
    cmdCrea.Enabled = false;
    cmdElimina.Enabled = false;
    cmdVorpla.Enabled = false;
    Focus = QStringLiteral("txtDesc");
}

void CatalogoEtichette::scriviRecord(int numero, const FormatoEtichetta &formato) const
{
    QFile file;
    apriPerScrivere(file, PercorsoDB, QIODevice::ReadWrite);
    if (!file.seek(qint64(numero - 1) * FormatoEtichetta::Lunghezza))
        throw ErroreVB(Err::ErroreIO);
    scriviTutto(file, formato.aByte());
    if (!file.flush())
        throw ErroreVB(Err::ErroreIO);
}

// Stores the new format. Everything that can fail (the five conversions, the
// write) happens before the window changes, so a failure leaves it in
// Entering with the operator's texts, and nothing stored.
void CatalogoEtichette::cmdConferma_Click()
{
    impostaRoutine(Modulo, QStringLiteral("cmdConferma_Click"));
    FormatoEtichetta nuovo;
    qint32 numero = NumFormati;
    try {
        nuovo.Descrizione = txtDesc.Text;
        // A measure refused names its field after the standard message, and
        // the field gets the focus for the correction.
        // The measures are whole millimetres: "29,7" or "29.7" is refused
        // like a text that is no number, rather than read as 297 (a
        // thousands separator) or rounded.
        const auto misura = [this](const Campo &campo, const char *nome, const char *etichetta) {
            try {
                static const QRegularExpression intero(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
                if (!intero.match(campo.Text).hasMatch() && IsNumeric(campo.Text))
                    throw ErroreVB(Err::TipoNonCorrispondente,
                                   descrizioneErroreVB(Err::TipoNonCorrispondente) + QStringLiteral(", millimetri interi"));
                return CLng(campo.Text);
            } catch (const ErroreVB &e) {
                Focus = QLatin1String(nome);
                throw ErroreVB(e.numero(), e.descrizione() + QStringLiteral(" (") + QLatin1String(etichetta) + u')');
            }
        };
        nuovo.LargPagina = misura(txtPX, "txtPX", "Larg. pagina");
        nuovo.AltPagina = misura(txtPY, "txtPY", "Alt. pagina");
        nuovo.MargineSup = misura(txtMarg, "txtMarg", "Margine sup.");
        nuovo.LargEtich = misura(txtEtX, "txtEtX", "Larg. etich.");
        nuovo.AltEtich = misura(txtETY, "txtETY", "Alt. etichetta");
        if (numero == 0)
            numero = 1;
        if (!PercorsoDB.isEmpty())
            scriviRecord(numero, nuovo);
    } catch (const ErroreVB &e) {
        impostaRoutine(Modulo, QStringLiteral("cmdConferma_Click"));
        mostraErroreRoutine(e);
        return;
    }
    Formato = nuovo;

    abilitaCampi(false);
    cmdConferma.Visible = false;
    cmdElimina.Enabled = true;
    cmdCrea.Enabled = true;
    cmdAnnulla.Enabled = true;
    cmdVorpla.Enabled = true;

    if (PercorsoDB.isEmpty()) {
        // Nothing was stored: the list keeps the formats it has, the fields
        // keep the typed values for this print.
        NumFormati = qint32(cmbFormati.size());
        messaggi().mostra(MessaggioSenzaCatalogo, Pulsanti::Ok);
        return;
    }

    NumFormati = numero;
    cmbFormati << txtDesc.Text;
    selezionaFormato(0);
    selezionaFormato(int(cmbFormati.size()) - 1);
}

// Writes every record but `numero` to etich.tmp and renames it over
// etich.DB. A stale etich.tmp left by an earlier failure is overwritten.
void CatalogoEtichette::eliminaRecord(int numero) const
{
    QFile vecchio;
    QByteArray rimasti;
    // A catalogue that is a link stays one: the file it leads to is replaced.
    const QString catalogo = percorsoReale(PercorsoDB);
    struct stat st{};
    const bool esiste = ::stat(QFile::encodeName(catalogo).constData(), &st) == 0;
    if (esiste || verificaDestinazione(catalogo) != EsitoFile::Aperto) {
        apriCatalogo(vecchio, catalogo);
        const QByteArray contenuto = vecchio.readAll();
        for (int r = 1; r <= NumFormati; ++r) {
            if (r == numero)
                continue;
            const qsizetype pos = qsizetype(r - 1) * FormatoEtichetta::Lunghezza;
            if (pos + FormatoEtichetta::Lunghezza > contenuto.size())
                throw ErroreVB(Err::OltreFineFile);
            rimasti += contenuto.mid(pos, FormatoEtichetta::Lunghezza);
        }
    }

    if (catalogo != PercorsoDB || (esiste && st.st_nlink > 1)) {
        // A catalogue shared through a link (another folder, another file
        // system) or a second name: rewritten where its file lives, beside
        // it, keeping its links and permissions.
        FileDestinazione nuovo(catalogo);
        if (!nuovo.apri() || nuovo.dispositivo()->write(rimasti) != rimasti.size() || !nuovo.conferma())
            throw ErroreVB(nuovo.esito() == EsitoFile::Negato ? Err::PermessoNegato : Err::AccessoPercorso);
        return;
    }

    QFile temporaneo;
    apriPerScrivere(temporaneo, PercorsoTmp, QIODevice::WriteOnly | QIODevice::Truncate);
    try {
        scriviTutto(temporaneo, rimasti);
        // The catalogue keeps its permissions (a group's shared catalogue
        // stays writable by the group).
        if (esiste)
            ::fchmod(temporaneo.handle(), st.st_mode & 07777);
        sincronizza(temporaneo);
        temporaneo.close();
        if (verificaDestinazione(catalogo) != EsitoFile::Aperto
            || std::rename(QFile::encodeName(PercorsoTmp).constData(), QFile::encodeName(catalogo).constData()) != 0)
            throw ErroreVB(Err::AccessoPercorso);
    } catch (const ErroreVB &) {
        temporaneo.close();
        QFile::remove(PercorsoTmp);
        throw;
    }
    sincronizzaCartella(catalogo);
}

// Deletes the selected format after the operator's confirmation ("Conferma
// eliminazione", OK and Cancel). With an empty list there is nothing to
// delete and nothing is asked.
void CatalogoEtichette::cmdElimina_Click()
{
    impostaRoutine(Modulo, QStringLiteral("cmdElimina_Click"));
    if (ListIndex < 0 || cmbFormati.isEmpty())
        return;
    try {
        if (messaggi().mostra(DomandaElimina, Pulsanti::OkAnnulla, QStringLiteral("Conferma eliminazione")) != Risposta::Ok)
            return;
        eliminaRecord(ListIndex + 1);
        riempiLista();
        if (!cmbFormati.isEmpty())
            selezionaFormato(0);
        InCaricamento = false;
        if (!cmbFormati.isEmpty())
            cmbFormati_Click();
    } catch (const ErroreVB &e) {
        InCaricamento = false;
        impostaRoutine(Modulo, QStringLiteral("cmdElimina_Click"));
        mostraErroreRoutine(e);
    }
}

} // namespace vorpla
