#include "InvioSmtp.h"

#include "common/ErroreVB.h"

#include <curl/curl.h>

#include <cstring>
#include <mutex>

namespace vorpla {

namespace {

struct Lettura
{
    const QByteArray *dati;
    qsizetype posizione = 0;
};

size_t leggi(char *buffer, size_t dimensione, size_t n, void *utente)
{
    auto *l = static_cast<Lettura *>(utente);
    const qsizetype resto = l->dati->size() - l->posizione;
    const qsizetype quanti = qMin<qsizetype>(resto, qsizetype(dimensione * n));
    std::memcpy(buffer, l->dati->constData() + l->posizione, size_t(quanti));
    l->posizione += quanti;
    return size_t(quanti);
}

// The server's answer for the message of a failure: its first refusal
// (a 4xx or 5xx line), else its last line.
int ascolta(CURL *, curl_infotype tipo, char *dati, size_t n, void *utente)
{
    if (tipo != CURLINFO_HEADER_IN)
        return 0;
    auto *risposta = static_cast<QByteArray *>(utente);
    const QByteArray riga = QByteArray(dati, qsizetype(n)).trimmed();
    const auto rifiuto = [](const QByteArray &r) { return r.startsWith('4') || r.startsWith('5'); };
    if (!rifiuto(*risposta))
        *risposta = riga;
    return 0;
}

// The connections of this process's sends, kept open between messages to
// the same server: a batch of thousands of documents is one session, not a
// connection, greeting and EHLO a message. libcurl checks a kept connection
// before it reuses it and opens another when the server closed it. Every
// send runs on the user-interface thread, so the cache needs no lock.
CURLSH *connessioni()
{
    static CURLSH *condivise = [] {
        CURLSH *c = curl_share_init();
        if (c)
            curl_share_setopt(c, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
        return c;
    }();
    return condivise;
}

} // namespace

void inviaSmtp(const ServerSmtp &server, const QString &mittente, const QStringList &destinatari,
               const QByteArray &messaggio)
{
    static std::once_flag avviato;
    std::call_once(avviato, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    if (server.nome.trimmed().isEmpty())
        throw ErroreVB(Err::SmtpConnessione, QStringLiteral("The transport failed to connect to the server: nessun server SMTP "
                                                            "impostato ([MAIL] SMTP)."));
    // Without a recipient libcurl would run the server's HELP command and
    // call that a success: a message for nobody is never a send.
    if (destinatari.isEmpty())
        throw ErroreVB(Err::SmtpRifiutato, descrizioneErroreVB(Err::SmtpRifiutato)
                                               + QStringLiteral(" (il messaggio non ha destinatari)"));
    CURL *c = curl_easy_init();
    if (!c)
        throw ErroreVB(Err::ComponenteNonCreabile);
    struct Pulizia
    {
        CURL *c;
        curl_slist *rcpt = nullptr;
        ~Pulizia()
        {
            curl_slist_free_all(rcpt);
            curl_easy_cleanup(c);
        }
    } pulizia{c};

    const QByteArray schema = server.sicurezza == ServerSmtp::Sicurezza::Tls ? "smtps://" : "smtp://";
    const QByteArray url = schema + server.nome.trimmed().toUtf8() + ':' + QByteArray::number(server.porta);
    const QByteArray da = '<' + mittente.trimmed().toUtf8() + '>';
    for (const QString &d : destinatari)
        pulizia.rcpt = curl_slist_append(pulizia.rcpt, ('<' + d.trimmed().toUtf8() + '>').constData());
    const QByteArray utente = server.utente.toUtf8(), password = server.password.toUtf8();
    Lettura lettura{&messaggio};
    QByteArray risposta;
    char errore[CURL_ERROR_SIZE] = {};

    if (CURLSH *condivise = connessioni())
        curl_easy_setopt(c, CURLOPT_SHARE, condivise);
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, da.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, pulizia.rcpt);
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, leggi);
    curl_easy_setopt(c, CURLOPT_READDATA, &lettura);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, curl_off_t(messaggio.size()));
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errore);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(server.attesaSecondi));
    curl_easy_setopt(c, CURLOPT_TIMEOUT, long(server.attesaSecondi) * 10);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, ascolta);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, &risposta);
    if (server.sicurezza == ServerSmtp::Sicurezza::StartTls)
        curl_easy_setopt(c, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    if (!server.utente.isEmpty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, utente.constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    }

    const CURLcode esito = curl_easy_perform(c);
    if (esito == CURLE_OK)
        return;
    QString motivo = QString::fromUtf8(*errore ? errore : curl_easy_strerror(esito));
    if (!risposta.isEmpty())
        motivo += QStringLiteral(" (server %1: %2)").arg(server.nome.trimmed(), QString::fromUtf8(risposta));
    else
        motivo += QStringLiteral(" (server %1, port %2)").arg(server.nome.trimmed()).arg(server.porta);
    if (!password.isEmpty())
        motivo.replace(server.password, QStringLiteral("***"));
    int numero = Err::SmtpInvio;
    const bool irraggiungibile = esito == CURLE_COULDNT_CONNECT || esito == CURLE_COULDNT_RESOLVE_HOST
                                 || esito == CURLE_OPERATION_TIMEDOUT;
    if (irraggiungibile)
        numero = Err::SmtpConnessione;
    else if (risposta.startsWith("55") || risposta.startsWith("45") || std::strstr(errore, "RCPT"))
        numero = Err::SmtpRifiutato;
    // Unreachable, gone away in the middle, or a 4xx answer: the server may
    // take the message later; a 5xx answer is final.
    const bool perso = esito == CURLE_GOT_NOTHING || esito == CURLE_SEND_ERROR || esito == CURLE_RECV_ERROR;
    const bool temporaneo = irraggiungibile || risposta.startsWith('4') || (perso && !risposta.startsWith('5'));
    throw ErroreVB(numero, descrizioneErroreVB(numero) + u' ' + motivo).temporaneo(temporaneo);
}

} // namespace vorpla
