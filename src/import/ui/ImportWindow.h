#pragma once

#include "db/ui/ListBoxTableList.h"
#include "import/ui/ImportWindowControls.h"
#include "import/ui/OptionsPanel.h"
#include "widgets/WindowPointer.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QListWidget;
class QPushButton;

namespace quorvane {

class ConnectionParametersSource;
class Dialogs;
class EventPump;
class FileListView;
class PreviewWindow;
class ProgramLifetime;
class WindowFlow;

// The import window: the file list, the separator and the table options.
// The import run and the ways of adding files are wired to its buttons and
// list from outside, through the accessors below.
class ImportWindow final : public QWidget {
    Q_OBJECT

public:
    ImportWindow(Dialogs& dialogs, ProgramLifetime& lifetime, ConnectionParametersSource& parameters,
          WindowFlow& flow);

    // Runs at the first showing and again at every hand-over from the login
    // window: defaults back, the table list read afresh.
    void load();

    const ImportWindowControls& controls() const { return controls_; }
    QPushButton* importButton() const { return controls_.importButton; }  // "Import to IBM DB2"
    QPushButton* addFilesButton() const { return controls_.addFilesButton; }  // "Add Text File(s)"
    QPushButton* addFolderButton() const { return controls_.addFolderButton; }  // "Add All File(s) In Folder"
    FileListView* fileList() const { return controls_.fileList; }
    QListWidget* tableListWidget() const { return controls_.tableList; }

    TableList& tableList() { return tableList_; }
    ImportOptionsSource& importOptions() { return options_; }
    BusyIndicator& busyIndicator() { return pointer_; }
    WindowPointer& pointer() { return pointer_; }
    EventPump& eventPump();
    Dialogs& dialogs() { return dialogs_; }
    // Reads the login window's fields at the moment of each call.
    ConnectionParametersSource& connectionParameters() { return parameters_; }

    // Runs a handler as this window runs its own: when the user ends the
    // program while the handler yields, it stops there quietly.
    void runHandler(const std::function<void()>& handler);

    // Set for as long as an import runs: the file list stays as it is and
    // the window stays in front.
    void setImportRunning(bool running);

    void onCreateTableClicked();
    void onAppendClicked();
    void onBackClicked();  // "< Back To Setup"
    void onSeparatorHelpClicked();  // "?"
    // "Preview": the file selected in the list, or the first; one preview
    // at a time, closed when an import starts.
    void onPreviewClicked();
    PreviewWindow* preview() const;
    // F5, or "Refresh" on the table list: the catalogue read again, the
    // selection kept while its table is listed; nothing during a run.
    void onRefreshTables();

protected:
    // Closing the import window ends the program.
    void closeEvent(QCloseEvent* event) override;

private:
    void connectHandlers();

    Dialogs& dialogs_;
    ProgramLifetime& lifetime_;
    ConnectionParametersSource& parameters_;
    WindowFlow& flow_;
    WindowPointer pointer_;
    ImportWindowControls controls_;
    ListBoxTableList tableList_;
    OptionsPanel options_;
    QPointer<PreviewWindow> preview_;
    bool importRunning_ = false;
    bool refreshing_ = false;  // the catalogue read lets events in
};

}  // namespace quorvane
