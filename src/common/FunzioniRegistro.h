#pragma once
// Registry string readers. Linux has no registry; the only key the program
// ever reads is the mail handler's command,
//   HKEY_CLASSES_ROOT\mailto\shell\open\command (default value, REG_SZ),
// which is answered from the desktop's mailto handler: the desktop file that
// `xdg-mime query default x-scheme-handler/mailto` names, found in the XDG
// data folders ($XDG_DATA_HOME, then $XDG_DATA_DIRS, each + "/applications"),
// and the command of its "Exec=" line in the [Desktop Entry] group. Every
// other key does not exist. The routines keep their Windows contracts so the
// callers stay as they are.

#include <QString>

namespace vorpla {

enum class RadiceRegistro {
    NonValida,
    ClassesRoot,
    CurrentUser,
    LocalMachine,
    Users,
    PerformanceData,
    CurrentConfig,
    DynData
};

struct ChiaveRegistro
{
    RadiceRegistro radice = RadiceRegistro::NonValida;
    QString percorso; // below the root, "\" separated
    bool aperta = false;
};

// Value types as the registry numbers them.
inline constexpr int REG_SZ = 1;
inline constexpr int REG_EXPAND_SZ = 2;

// The text before the first "\" of the path (upper-cased) names the root;
// the path becomes the text after that "\". Unknown names give NonValida.
RadiceRegistro TrovaBase(QString &percorso);

// Opens the key below the root named in the path (only existing keys open).
bool ApriChiave(const QString &percorso, int mascheraAccesso, ChiaveRegistro &chiave);
bool ChiudiChiave(ChiaveRegistro &chiave);

// Reads a REG_SZ (REG_EXPAND_SZ, left unexpanded) value; nomeValore "" is the
// default value. On failure valore receives the fallback and false returns.
bool LeggiChiaveTesto(const QString &percorso, const QString &nomeValore, QString &valore,
                      const QString &ripiego);
bool LeggiChiaveTestoESTESA(const QString &percorso, const QString &nomeValore, QString &valore,
                            const QString &ripiego);

// The desktop's mailto handler command ("thunderbird -compose %u"), or "".
QString comandoGestoreMailto();

} // namespace vorpla
