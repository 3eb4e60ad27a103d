#pragma once

#include <QObject>
#include <QStringList>

class QPushButton;

namespace quorvane {

class BusyIndicator;
class Dialogs;
class EventPump;
class FileListView;
class SettingsStore;

// The three ways of filling the import window's file list: "Add Text
// File(s)", "Add All File(s) In Folder" and dropping files and folders onto
// the list. Each hands its work to the core's command that does it
// (filelist/FileListCommands.h). Lives as long as the list, which owns it.
class FileListCommands : public QObject {
    Q_OBJECT
public:
    FileListCommands(QPushButton* addTextFiles, QPushButton* addAllFilesInFolder,
                     FileListView* list, Dialogs& dialogs, SettingsStore& settings,
                     BusyIndicator& windowBusy, EventPump& events);

private:
    void onAddFilesClicked();
    void onAddFolderClicked();
    void onPathsDropped(const QStringList& paths);

    FileListView* list_;
    Dialogs& dialogs_;
    SettingsStore& settings_;
    BusyIndicator& windowBusy_;
    EventPump& events_;
};

}  // namespace quorvane
