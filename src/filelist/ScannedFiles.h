#pragma once

#include "filelist/FolderWalk.h"

#include <QString>

namespace quorvane {

class EventPump;
class FileList;
class FolderContents;
class ReportingProcedure;

// The file rule of the scan, for a file found in a folder: names starting
// with "~" never count; a file counts when it exists and its attribute word
// is not exactly 34 (a plain hidden file). A file the listing has just seen
// needs no second look for whether it exists. Throws FileSystemFailure when
// the attribute word of a dot-file can't be read.
bool IsSkippedName(const QString& name);
bool IsAddableFile(const QString& path, const QString& name, bool seenAsFile = false);

// Appends, folder by folder in the order of the list, every file of each
// folder that matches the pattern and the file rule, as NormalizePath gives
// it. The window handles its events once per folder, so rows show as they
// arrive. With a procedure, failures are reported on its lines 118 to 128
// and the work goes on; without one, a file whose look fails is passed over.
// With contents (filled by the walk), folders are not read a second time.
void AppendFilesOfFolders(const FolderList& folders, const QString& pattern, FileList& list,
                          EventPump& pump, ReportingProcedure* procedure,
                          FolderContents* contents = nullptr);

}  // namespace quorvane
