#pragma once
// One 墨舟 per program folder: a lock file in the folder, held while the program runs.

#include <QLockFile>
#include <QString>
#include <memory>

namespace mz {

// The lock file's name inside the program folder.
inline constexpr char kFolderLockName[] = "mozhou.lock";

// Whether `name` is that of the file the lock's write test makes beside the lock ("mozhou.lock."
// and six letters); it goes with the test, unless the program is killed meanwhile.
bool isLockProbeName(const QString &name);

// Takes the program folder's lock (making the folder when it is missing) and returns it; the
// lock is released when the returned object is destroyed. A lock left by a 墨舟 that ended
// without releasing it (its process is gone) is taken over. Returns null, with a message for the
// user in *error, when another running 墨舟 holds the lock or the lock file cannot be made.
std::unique_ptr<QLockFile> lockProgramFolder(const QString &folder, QString *error = nullptr);

} // namespace mz
