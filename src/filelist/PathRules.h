#pragma once

#include <QRegularExpression>
#include <QString>

// The rules for paths and names: how a joined path is tidied, and how a
// wildcard matches a file name.

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

// A file-name wildcard as the Windows listing reads it: "*" any run of
// characters, "?" one character, everything else literal (brackets too),
// upper and lower case alike. A trailing ".*" may also match nothing, so
// "*.*" takes every name, with or without a dot.
class WildcardPattern {
public:
    explicit WildcardPattern(const QString& pattern);
    bool matches(const QString& name) const;

private:
    QRegularExpression expression_;
};

}  // namespace quorvane
