#pragma once
// MODVorplanti: making a named printer the user's default printer, and
// printing a document file on a printer.
//
// The default printer is the CUPS user default, the one "lpoptions -d NAME"
// writes (~/.cups/lpoptions): applications that follow the user's default
// (Qt's print support, lp without -d) then print there. The spooler's own
// default, the administrator's, is never changed.
//
// A document file (a job's attachment) is handed to the CUPS queue as "lp"
// does; CUPS's filters turn PDF, text and pictures into what the printer
// takes.

#include <QString>

namespace vorpla {

// The device name of the printer that ImpostaPredefinita makes the default
// printer (program-wide, empty at start).
QString &DispositivoDestinazione();

// Makes DispositivoDestinazione the user's default printer, then lets pending
// events run. An empty name or a printer the spooler does not know leaves
// the default unchanged.
void ImpostaPredefinita();

// Splits a printer-ports entry ("driver,port,timeout,timeout"): the driver
// is the text before the first comma, the port the text between the first
// and the second comma. Without a comma both are empty; without a second
// comma the port is empty.
void DriverEPorta(const QString &voce, QString &driver, QString &porta);

// Submits the file to the CUPS queue `stampante`, the job titled with the
// file's name. Returns the job id, 0 when the spooler refused it or the file
// is no regular file (a device or FIFO is never submitted).
int StampaFile(const QString &stampante, const QString &file);

} // namespace vorpla
