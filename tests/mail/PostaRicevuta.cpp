#include "PostaRicevuta.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <gmime/gmime.h>

#include <mutex>

namespace vorpla::prova {

namespace {

QByteArray contenutoDi(GMimePart *parte)
{
    GMimeDataWrapper *contenuto = g_mime_part_get_content(parte);
    GMimeStream *flusso = g_mime_stream_mem_new();
    g_mime_data_wrapper_write_to_stream(contenuto, flusso);
    GByteArray *b = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(flusso));
    QByteArray r(reinterpret_cast<const char *>(b->data), qsizetype(b->len));
    g_object_unref(flusso);
    return r;
}

QString indirizzi(InternetAddressList *elenco)
{
    if (!elenco)
        return {};
    char *t = internet_address_list_to_string(elenco, nullptr, FALSE);
    const QString r = QString::fromUtf8(t ? t : "");
    g_free(t);
    return r;
}

} // namespace

MailRicevuta leggiMail(const QByteArray &grezzo)
{
    static std::once_flag avviato;
    std::call_once(avviato, [] { g_mime_init(); });
    MailRicevuta m;
    m.grezzo = grezzo;
    GMimeStream *flusso = g_mime_stream_mem_new_with_buffer(grezzo.constData(), size_t(grezzo.size()));
    GMimeParser *parser = g_mime_parser_new_with_stream(flusso);
    GMimeMessage *messaggio = g_mime_parser_construct_message(parser, nullptr);
    g_object_unref(parser);
    g_object_unref(flusso);
    if (!messaggio)
        return m;
    m.oggetto = QString::fromUtf8(g_mime_message_get_subject(messaggio));
    const char *grezzoOggetto = g_mime_object_get_header(GMIME_OBJECT(messaggio), "Subject");
    m.oggettoGrezzo = QString::fromUtf8(grezzoOggetto ? grezzoOggetto : "");
    m.da = indirizzi(g_mime_message_get_from(messaggio));
    m.a = indirizzi(g_mime_message_get_to(messaggio));
    m.cc = indirizzi(g_mime_message_get_cc(messaggio));

    GMimePartIter *it = g_mime_part_iter_new(g_mime_message_get_mime_part(messaggio));
    bool primo = true;
    do {
        GMimeObject *o = g_mime_part_iter_get_current(it);
        if (!o || !GMIME_IS_PART(o))
            continue;
        GMimePart *parte = GMIME_PART(o);
        const char *nome = g_mime_part_get_filename(parte);
        if (primo && GMIME_IS_TEXT_PART(o) && !nome) {
            char *t = g_mime_text_part_get_text(GMIME_TEXT_PART(o));
            m.testo = QString::fromUtf8(t ? t : "");
            g_free(t);
            primo = false;
            continue;
        }
        AllegatoRicevuto a;
        a.nome = QString::fromUtf8(nome ? nome : "");
        GMimeContentType *tipo = g_mime_object_get_content_type(o);
        char *mt = g_mime_content_type_get_mime_type(tipo);
        a.tipo = QString::fromUtf8(mt);
        g_free(mt);
        a.codifica = QString::fromLatin1(g_mime_content_encoding_to_string(g_mime_part_get_content_encoding(parte)));
        a.dati = contenutoDi(parte);
        m.allegati << a;
    } while (g_mime_part_iter_next(it));
    g_mime_part_iter_free(it);
    g_object_unref(messaggio);
    // The body's lines as the sender wrote them.
    m.testo.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return m;
}

QString cartellaPosta()
{
    return qEnvironmentVariable("VORPLA_SMTP_TEST") == QLatin1String("1") ? qEnvironmentVariable("VORPLA_SMTP_CARTELLA")
                                                                           : QString();
}

int portaPosta()
{
    return cartellaPosta().isEmpty() ? 0 : qEnvironmentVariableIntValue("VORPLA_SMTP_PORTA");
}

QList<MailRicevuta> posteRicevute(const QString &destinatario)
{
    QList<MailRicevuta> r;
    const QDir dir(cartellaPosta());
    for (const QString &json : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(json));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject busta = QJsonDocument::fromJson(f.readAll()).object();
        QStringList destinatari;
        for (const QJsonValue &v : busta.value(QStringLiteral("rcpt_tos")).toArray())
            destinatari << v.toString();
        if (!destinatari.contains(destinatario, Qt::CaseInsensitive))
            continue;
        QFile eml(dir.filePath(json.chopped(5) + QStringLiteral(".eml")));
        if (!eml.open(QIODevice::ReadOnly))
            continue;
        MailRicevuta m = leggiMail(eml.readAll());
        m.mittenteBusta = busta.value(QStringLiteral("mail_from")).toString();
        m.destinatariBusta = destinatari;
        r << m;
    }
    return r;
}

QString indirizzoUnico(const QString &prefisso)
{
    return QStringLiteral("%1-%2@esempio.it").arg(prefisso).arg(QRandomGenerator::global()->generate64(), 0, 16);
}

} // namespace vorpla::prova
