#pragma once

#include <QString>

namespace quillet::datafile {

// Where the data files live. Next to the program wherever that folder can be written (a
// program unpacked into a folder of the user's own); otherwise, as for a program installed
// into the system, in the user's configuration folder, so that the remembered values can
// always be kept. Both folders end with the platform's separator.
[[nodiscard]] QString chooseDataFolder(const QString& programFolder, bool programFolderWritable,
                                       const QString& userFolder);

// A folder that belongs to the system's packages (under /usr, but not /usr/local) is never
// the data folder, even for an administrator who could write there.
[[nodiscard]] bool isWritableProgramFolder(const QString& programFolder);

// The data folder for the program folder; the per-user folder is created when it is chosen.
[[nodiscard]] QString resolveDataFolder(const QString& programFolder);

} // namespace quillet::datafile
