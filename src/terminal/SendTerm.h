#pragma once
// Handing files to the terminal-server client through the session's
// clipboard. A file is zipped, and the archive is offered in the private
// format "KV_ZIP" inside a small block:
//
//   offset 0  2 bytes  17 (16-bit, little-endian)
//   offset 2  4 bytes  L, the payload's length (32-bit, little-endian)
//   offset 6  L bytes  0, the archive's N bytes, 0   (L = N + 2)
//
// The client takes the block off the clipboard, unpacks the archive and
// answers with a status word. StartST ships a print job (a transfer copy
// whose first line is replaced by "@ULKA=<caller>" and "@VERSIONE=<version>");
// SendFile ships any file, with the program folder's fonts when ConFont is
// set (the client's update). Each writes its steps to a log in the temporary
// folder (SendTerm.log, SendFile.log), replaced at every call.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QtGlobal>
#include <functional>

namespace vorpla {

class Appunti;

// The clipboard block of an archive's bytes.
QByteArray bloccoAppunti(const QByteArray &archivio);

// The program file of a caller code: "VORPLA" is this program ("vorpla");
// an unknown code has none ("").
QString KV_GetChiamante(const QString &codice);

class SendTerm
{
public:
    explicit SendTerm(Appunti &appunti) : m_appunti(appunti) {}

    // The format registered under that name, once per object.
    QString FormatID(const QString &nomeFormato);

    // 1: the transfer copy is on the clipboard; -1: no such print file (after
    // a message); -2: any other failure (written to the log).
    qint16 StartST(const QString &strNomeFile, const QString &strTmpPath, const QString &strChiamante,
                   const QString &strVersione, bool Comprimere);
    qint16 SendFile(const QString &strNomeFile, const QString &strTmpPath, bool Comprimere);

    // The wait that lets windows work while an archive is made; without one
    // the archive is made with the windows waiting.
    void impostaAttesa(std::function<void(int ms)> attendi) { m_attendi = std::move(attendi); }

    // How many names FormatID registered.
    int formatiRegistrati() const { return int(m_formati.size()); }

private:
    class Registro;
    void mettiInAppunti(const QString &archivio, Registro &log, bool copiaPayload);

    Appunti &m_appunti;
    QHash<QString, QString> m_formati;
    std::function<void(int ms)> m_attendi;
};

} // namespace vorpla
