#pragma once
// The program's own place. Everything derived from the executable's path (the
// program directory, the program's INI file, the settings store's registry key,
// the window-position key) goes through these helpers.
#include <QString>

namespace platform {

// Full path of the executable. When VALDRAN_PROGRAM_DIR is set, that directory
// plus "valdran" (tests point it at a temporary directory).
QString ExecutablePath();

// Directory of the executable, ending in '/'.
QString ProgramDirectory();

// Looks up a data file of the program directory (or any directory) under its
// exact name and, when that is missing, without regard to case. Answers the
// path found, or the exact path when no file of that name exists.
QString FindFileNoCase(const QString& directory, const QString& name);

// FindFileNoCase in the program directory; the name may contain '/'.
QString ProgramDataFile(const QString& name);

} // namespace platform
