#pragma once

#include "import/ImportEngine.h"

#include <QElapsedTimer>
#include <QObject>

namespace quorvane {

class BackgroundImport;
class ImportWindow;

// "Import to IBM DB2". While a run is under way the same button stops it,
// and its caption tells which file is loading and how many rows went in.
// The second press of a double-click is not a stop: the user meant one start.
// The run goes on a thread of its own, so the window answers throughout;
// closing the window stops the run as the button does, without the closing
// message, and the program ends after it.
class ImportController final : public QObject, private ImportProgress {
public:
    explicit ImportController(ImportWindow& window);

    void onImportClicked();
    bool isRunning() const { return running_; }

    static QString ProgressCaption(int filePosition, int fileCount, int rowsInserted);
    // The caption while the closing message is up.
    static QString ResultCaption(int rowsInserted, bool stopped);

private:
    void update(int filePosition, int fileCount, int rowsInserted) override;
    void notePress();
    // Everything the run is given, read from the window at the press.
    RunInputs takeInputs() const;
    void run();
    bool eventFilter(QObject* watched, QEvent* event) override;

    ImportWindow& window_;
    bool running_ = false;
    bool stopRequested_ = false;
    BackgroundImport* background_ = nullptr;  // while a run is under way
    QElapsedTimer clock_;     // runs from the controller's creation
    qint64 lastPress_ = -1;   // on clock_, in ms
    qint64 startPress_ = -1;  // the press that started the running run
};

inline const QString kImportCaption = QStringLiteral("Import to IBM DB2");
inline const QString kStoppingCaption = QStringLiteral("Stopping after the current statement...");

}  // namespace quorvane
