#pragma once
// The program folder: where every file of the program lives.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace mz {

// The per-user program folder: the program's folder in the user's data folder ($XDG_DATA_HOME, or
// ~/.local/share when that is unset or empty). A relative $XDG_DATA_HOME is not a valid setting and
// is passed over for ~/.local/share, as the XDG base directory rules ask: taken as it stands it
// would name a folder under whatever folder 墨舟 was started in.
QString defaultProgramFolder();

// The files delivered with the program (embedded as resources under ":/delivered/").
QStringList deliveredFiles();

// Makes sure the folder and its "News_save" sub-folder exist and copies every delivered file
// that is missing. Existing files are never overwritten. Returns false (with *error) when the
// folder cannot be made or a file cannot be written.
bool prepareProgramFolder(const QString &folder, QString *error = nullptr);

// Removes what a 墨舟 killed outright (a kill signal, a power cut) left in `folder`: the
// unfinished download of a stored page, or of an article in News_save, the scratch folder of a
// flash.ini being saved, the lock's write test. Only names of exactly the forms the program makes
// go, and only plain files (and a scratch folder holding nothing else): a link, a folder or any
// other name stays. Call it while the folder's lock is held, so that no running 墨舟 is still
// writing them. Returns how many were removed.
int removeLeftovers(const QString &folder);

// The first command-line argument (argv[1] on) whose bytes Qt cannot read back, or nothing. Qt
// reads arguments and file names as UTF-8: a folder name in another encoding (Latin-1, GBK) is
// read with replacement characters and names another folder, in which the program would start
// afresh while the user's own folder and settings went unused.
std::optional<QByteArray> unreadableArgument(int argc, const char *const *argv);

// True when `folder`, the program folder made absolute, holds more replacement characters than
// the name it was given as (`given`; empty for the per-user data folder): the rest of it came
// from a working folder or home folder whose name is not UTF-8, and it names another folder.
bool folderNameLostBytes(const QString &folder, const QString &given);

} // namespace mz
