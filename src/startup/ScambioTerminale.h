#pragma once
// The terminal-server check. Ulka says on the print file's first line whether
// the document is printed where Vorpla runs or handed to the remote client:
//   "@ULKA=LOCALE"   hand over, zipped;
//   "@ULKA=LOCALENC" hand over, as plain text;
//   "@ULKA=?"        ask the user;
// anything else: print here.

#include <QString>

namespace vorpla {

class Messaggi;

// -1: the print file is empty; 1: the job was handed to the client (the
// caller ends the program); 0 or 2 (the user chose the server): process the
// document here. Raises the file's open errors.
int KV_CheckSendTerm(const QString &file);

// Hands the job to the terminal-server client.
void KV_DoSendTerm(const QString &file);

// "NC" for the plain-text hand-over, "" for the zipped one.
QString &ModoNC();

} // namespace vorpla
