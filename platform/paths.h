#pragma once
// File names as the clock uses them: the executable's folder, names from data
// written with '\' separators, and the small path helpers (combine, relative
// test, existence test, removing the file name). Files are read through
// platform/run_time_files.h.
//
// Every function returns '/'-separated, lexically normalised paths ("a/./b/../c"
// becomes "a/c") without a trailing separator (except for the root "/").
// Normalisation never touches the file system, so "shaders/../_misc/x" names
// "_misc/x" even when "shaders" does not exist.
#include <QString>

namespace platform::paths {

// The folder that holds the executable (QCoreApplication::applicationDirPath),
// or the folder set by SetExeDirOverride. Needs a QCoreApplication unless
// overridden.
QString ExeDir();

// Tests point ExeDir() at a folder of their own; an empty text removes the
// override.
void SetExeDirOverride(const QString& dir);

// A name from data or a stored setting: '\' becomes '/', then the result is
// normalised. An empty name stays empty.
QString FromData(const QString& name);

// Lexical normalisation of a '/'-separated path (see above).
QString Normalize(const QString& path);

// True when the path is relative: it neither starts with '/' (or '\') nor with a
// drive letter ("C:"), as a name written on Windows may. Empty counts as relative.
bool IsRelative(const QString& path);

// True when a file-system object (file, folder, ...) exists at the path. An
// empty path does not exist.
bool Exists(const QString& path);

// dir + name: an absolute name is returned on its own; otherwise the two are
// joined with one separator. Both are taken through FromData first.
QString Combine(const QString& dir, const QString& name);

// A file beside the executable: Combine(ExeDir(), name).
QString InExeDir(const QString& name);

// The path without its last component ("a/b/c.txt" -> "a/b", "c.txt" -> "").
QString RemoveFileName(const QString& path);

} // namespace platform::paths
