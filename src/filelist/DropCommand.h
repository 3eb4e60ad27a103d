#pragma once

#include <QStringList>

class QMimeData;

namespace quorvane {

class Dialogs;
class EventPump;
class FileList;

// Whether a drag carries files; a drag of text or web links can't be
// dropped on the file list.
bool CarriesFiles(const QMimeData& data);

// The local paths a drop carries, in the order given.
QStringList DroppedPaths(const QMimeData& data);

// Appends what was dropped, in order: a folder is scanned with its whole
// tree for every file, under the scan's file rule, each folder with a list
// of its own; a regular file (after following links) is appended exactly as
// dropped; anything else, and a path that has vanished meanwhile, is passed
// over without a word. The window stays idle (no hourglass); folder-walk
// failures report under Location::SubDirectories.
void AddDroppedPaths(const QStringList& paths, FileList& list, Dialogs& dialogs, EventPump& pump);

}  // namespace quorvane
