#pragma once

#include "import/ImportEngine.h"

#include <QObject>

namespace quorvane {

class Form2;

// "Import to IBM DB2". While a run is under way the same button stops it,
// and its caption tells which file is loading and how many rows went in.
class ImportController final : public QObject, private ImportProgress {
public:
    explicit ImportController(Form2& window);

    void PushButton1_Click();
    bool isRunning() const { return running_; }

    static QString ProgressCaption(int filePosition, int fileCount, int rowsInserted);

private:
    void update(int filePosition, int fileCount, int rowsInserted) override;
    bool stopRequested() const override { return stopRequested_; }
    void run();

    Form2& window_;
    bool running_ = false;
    bool stopRequested_ = false;
};

inline const QString kImportCaption = QStringLiteral("Import to IBM DB2");
inline const QString kStoppingCaption = QStringLiteral("Stopping after the current statement...");

}  // namespace quorvane
