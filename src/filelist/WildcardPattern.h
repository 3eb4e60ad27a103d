#pragma once

#include <QRegularExpression>
#include <QString>

namespace quorvane {

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
