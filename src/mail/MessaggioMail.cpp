#include "MessaggioMail.h"

#include "common/ErroreVB.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <gmime/gmime.h>

#include <mutex>

namespace vorpla {

namespace {

void avviaGMime()
{
    static std::once_flag fatto;
    std::call_once(fatto, [] { g_mime_init(); });
}

// A GObject released at the end of its scope.
template <typename T>
struct Oggetto
{
    T *p;
    explicit Oggetto(T *o) : p(o) {}
    ~Oggetto()
    {
        if (p)
            g_object_unref(p);
    }
    Oggetto(const Oggetto &) = delete;
    Oggetto &operator=(const Oggetto &) = delete;
    operator T *() const { return p; }
};

// A text for a header: CR and LF become blanks, so it stays one header.
QByteArray perIntestazione(const QString &testo)
{
    QString t = testo;
    t.replace(u'\r', u' ').replace(u'\n', u' ');
    return t.toUtf8();
}

QByteArray casella(const QString &indirizzo)
{
    const QString a = indirizzo.trimmed();
    if (!indirizzoValido(a))
        throw ErroreVB(Err::DestinatarioSconosciuto,
                       QStringLiteral("Unknown recipient: \"%1\" is not a mail address").arg(QString(perIntestazione(a))));
    return a.toUtf8();
}

} // namespace

bool indirizzoValido(const QString &indirizzo)
{
    // local@domain: printable characters of an address, no blanks, quotes,
    // brackets, separators or controls; a domain of dotted labels.
    static const QRegularExpression forma(
        QStringLiteral("^[A-Za-z0-9.!#$%&'*+/=?^_`{|}~-]+@[A-Za-z0-9](?:[A-Za-z0-9-]*[A-Za-z0-9])?"
                       "(?:\\.[A-Za-z0-9](?:[A-Za-z0-9-]*[A-Za-z0-9])?)*$"));
    return indirizzo.size() <= 254 && forma.match(indirizzo).hasMatch();
}

QStringList indirizziDellElenco(const QString &elenco)
{
    QStringList indirizzi;
    for (const QString &parte : elenco.split(QRegularExpression(QStringLiteral("[;,]")))) {
        const QString a = parte.trimmed();
        if (!a.isEmpty())
            indirizzi << a;
    }
    return indirizzi;
}

QByteArray MessaggioMail::mime(bool crlf) const
{
    avviaGMime();
    Oggetto<GMimeMessage> messaggio(g_mime_message_new(TRUE));
    if (!mittente.trimmed().isEmpty())
        g_mime_message_add_mailbox(messaggio, GMIME_ADDRESS_TYPE_FROM, nullptr, casella(mittente).constData());
    for (const QString &a : destinatari)
        g_mime_message_add_mailbox(messaggio, GMIME_ADDRESS_TYPE_TO, nullptr, casella(a).constData());
    for (const QString &a : copie)
        g_mime_message_add_mailbox(messaggio, GMIME_ADDRESS_TYPE_CC, nullptr, casella(a).constData());
    g_mime_message_set_subject(messaggio, perIntestazione(oggetto).constData(), "utf-8");
    GDateTime *adesso = g_date_time_new_now_local();
    g_mime_message_set_date(messaggio, adesso);
    g_date_time_unref(adesso);
    const QByteArray id = QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + '.'
                          + QByteArray::number(QRandomGenerator::global()->generate64(), 16) + "@vorpla";
    g_mime_message_set_message_id(messaggio, id.constData());

    Oggetto<GMimeMultipart> corpo(g_mime_multipart_new_with_subtype("mixed"));
    {
        Oggetto<GMimeTextPart> testoParte(g_mime_text_part_new_with_subtype("plain"));
        // Lines end in LF here; the message's own line ends are set below.
        QString righe = testo;
        righe.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        // GMime takes UTF-8 and labels the part with the charset it writes.
        g_mime_text_part_set_text(testoParte, righe.toUtf8().constData());
        g_mime_part_set_content_encoding(GMIME_PART(testoParte.p), GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE);
        g_mime_multipart_add(corpo, GMIME_OBJECT(testoParte.p));
    }
    static const QMimeDatabase tipi;
    for (const QString &percorso : allegati) {
        QFile file(percorso);
        if (!file.open(QIODevice::ReadOnly))
            throw ErroreVB(Err::FileNonTrovato, QStringLiteral("File not found: %1").arg(percorso));
        const QByteArray dati = file.readAll();
        const QByteArray tipo = tipi.mimeTypeForFile(percorso, QMimeDatabase::MatchExtension).name().toLatin1();
        const qsizetype barra = tipo.indexOf('/');
        const QByteArray generale = barra > 0 ? tipo.left(barra) : QByteArray("application");
        const QByteArray specifico = barra > 0 ? tipo.mid(barra + 1) : QByteArray("octet-stream");
        Oggetto<GMimePart> parte(g_mime_part_new_with_type(generale.constData(), specifico.constData()));
        Oggetto<GMimeStream> flusso(g_mime_stream_mem_new_with_buffer(dati.constData(), size_t(dati.size())));
        Oggetto<GMimeDataWrapper> contenuto(g_mime_data_wrapper_new_with_stream(flusso, GMIME_CONTENT_ENCODING_DEFAULT));
        g_mime_part_set_content(parte, contenuto);
        g_mime_part_set_content_encoding(parte, GMIME_CONTENT_ENCODING_BASE64);
        g_mime_part_set_filename(parte, perIntestazione(QFileInfo(percorso).fileName()).constData());
        g_mime_multipart_add(corpo, GMIME_OBJECT(parte.p));
    }
    g_mime_message_set_mime_part(messaggio, GMIME_OBJECT(corpo.p));

    GMimeFormatOptions *opzioni = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(opzioni, crlf ? GMIME_NEWLINE_FORMAT_DOS : GMIME_NEWLINE_FORMAT_UNIX);
    Oggetto<GMimeStream> uscita(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(GMIME_OBJECT(messaggio.p), opzioni, uscita);
    g_mime_format_options_free(opzioni);
    GByteArray *byte = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(uscita.p));
    return QByteArray(reinterpret_cast<const char *>(byte->data), qsizetype(byte->len));
}

} // namespace vorpla
