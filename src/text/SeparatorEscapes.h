#pragma once

#include <QString>

namespace quorvane {

// The separator as typed, in the window or on the command line: \t, \n and
// \\ become tab, line feed and backslash; anything else stays. A tab cannot
// be typed into a one-line field, so it needs a spelling of its own.
QString UnescapeSeparator(const QString& text);

}  // namespace quorvane
