#pragma once

#include "filelist/FolderListing.h"

#include <QString>

namespace quorvane {

class Dialogs;
class EventPump;

// Extends the list in place with every folder below its entries, level by
// level: D/, D/A/, D/B/, D/A/A1/, D/A/A2/, D/B/B1/, D/A/A1/X/. Within a
// folder, subfolders come in name order.
//
// Left out, with all that lies below them: subfolders whose names break
// the name rules, folders whose attribute word is exactly 22 or 1046 unless
// they are the root folder, folders whose path reaches the path limit. A
// folder that can't be listed for want of permission, or that has vanished,
// is removed from the list without a word and the walk goes on. Each real
// folder (its identity) is walked once per call, so links that loop back
// end; a link to a folder elsewhere is still followed, once.
//
// Other failures are reported under Location::SubDirectories. The window
// handles its events once per folder looked up, per subfolder listed and
// per found folder kept; ProgramEnding passes through.
//
// With contents, what the walk read of each folder below the first level is
// kept there for the listing of files that follows.
void ExtendWithSubfolders(FolderList& folders, bool recurse, Dialogs& dialogs, EventPump& pump,
                          FolderContents* contents = nullptr);

// The name rules of the walk.
//
// True when the name holds a character that marks a folder as unusable: a
// control character (below 32, or 127 to 159) or "?". Every other
// character, non-ASCII ones included, is representable in UTF-8 and fine.
bool HasBadCharacters(const QString& name);

// A subfolder is collected only when its name fits the name limit, can be
// named again as text, has no bad characters and no "?", and is neither "."
// nor "..".
bool IsCollectableFolderName(const DirectoryEntry& entry);

}  // namespace quorvane
