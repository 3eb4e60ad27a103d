#pragma once

#include <QString>

namespace quorvane {

// The separator as typed, in the window or on the command line: \t, \n and
// \\ become tab, line feed and backslash; anything else stays. A tab cannot
// be typed into a one-line field, so it needs a spelling of its own.
QString UnescapeSeparator(const QString& text);

// The separator spelt so that UnescapeSeparator gives it back: a tab shows
// as \t in a message, as it was typed.
QString EscapeSeparator(const QString& separator);

}  // namespace quorvane
