#pragma once

#include <QString>

namespace quorvane {

struct DirectoryEntry;

// True when the name holds a character that marks a folder as unusable: a
// control character (below 32, or 127 to 159) or "?". Every other
// character, non-ASCII ones included, is representable in UTF-8 and fine.
bool HasBadCharacters(const QString& name);

// The name rules of the folder scan: a subfolder is collected only when its
// name fits NAME_MAX bytes, can be named again as text, has no bad
// characters and no "?", and is neither "." nor "..".
bool IsCollectableFolderName(const DirectoryEntry& entry);

}  // namespace quorvane
