#pragma once
// The program folder: where every file of the program lives.

#include <QString>
#include <QStringList>

namespace mz {

// The files delivered with the program (embedded as resources under ":/delivered/").
QStringList deliveredFiles();

// Makes sure the folder and its "News_save" sub-folder exist and copies every delivered file
// that is missing. Existing files are never overwritten. Returns false (with *error) when the
// folder cannot be made or a file cannot be written.
bool prepareProgramFolder(const QString &folder, QString *error = nullptr);

} // namespace mz
