#pragma once

#include <QString>

namespace quorvane {

// Collapses the doubled separators that joining a folder and a name can
// leave. Pairs are replaced left to right without overlapping, so a run of
// three becomes two and a run of four becomes two.
//
// Windows rule: a leading run of backslashes becomes exactly two, which
// keeps the double backslash of a share path ("\\server\share").
QString NormalizeWindowsPath(const QString& path);

// Linux rule: there are no share paths, so a leading run of slashes
// becomes one.
QString NormalizeLinuxPath(const QString& path);

// The rule of the platform the program runs on.
QString NormalizePath(const QString& path);

}  // namespace quorvane
