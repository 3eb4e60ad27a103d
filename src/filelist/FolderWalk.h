#pragma once

#include <QStringList>

namespace quorvane {

class Dialogs;
class EventPump;
class FolderContents;

// Folder paths, each ending in one "/" (the root folder stands as "//").
using FolderList = QStringList;

// Extends the list in place with every folder below its entries, level by
// level: D/, D/A/, D/B/, D/A/A1/, D/A/A2/, D/B/B1/, D/A/A1/X/. Within a
// folder, subfolders come in name order.
//
// Left out, with all that lies below them: subfolders whose names break
// the name rules, folders whose attribute word is exactly 22 or 1046 unless
// they are the root folder, folders whose path reaches PATH_MAX bytes. A
// folder that can't be listed for want of permission, or that has vanished,
// is removed from the list without a word and the walk goes on. Each real
// folder (device and inode) is walked once per call, so links that loop
// back end; a link to a folder elsewhere is still followed, once.
//
// Other failures are reported under Location::SubDirectories. The window
// handles its events once per folder looked up, per subfolder listed and
// per found folder kept; ProgramEnding passes through.
//
// With contents, what the walk read of each folder below the first level is
// kept there for the listing of files that follows.
void GetSubDirectories2016(FolderList& folders, bool recurse, Dialogs& dialogs, EventPump& pump,
                           FolderContents* contents = nullptr);

}  // namespace quorvane
