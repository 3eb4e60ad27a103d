#pragma once

#include "import/PreviewModel.h"
#include "text/FileCheck.h"

#include <QTimer>
#include <QWidget>

#include <map>
#include <thread>

class QLabel;
class QProgressBar;
class QTableView;

namespace quorvane {

class ImportWindow;

// A file as the import would load it, shown before anything is written: the
// first records with the values the statements would carry, the target
// table, and a check of the whole file on a thread of its own. Not modal:
// it follows the import window's choices as they change. Deletes itself
// when closed, which stops the check.
class PreviewWindow final : public QWidget {
    Q_OBJECT
public:
    // position: the file's place in the list, which the table name pattern uses.
    PreviewWindow(ImportWindow& window, const QString& path, int position);
    ~PreviewWindow() override;

    // The choices read again; the check starts again when the way the file
    // is read changed. Changes are gathered for a moment before this runs.
    void refresh();

    const QString& path() const { return path_; }
    PreviewModel& model() { return model_; }
    QTableView* table() const { return table_; }
    QLabel* target() const { return target_; }
    QLabel* checkText() const { return checkText_; }
    QProgressBar* checkProgress() const { return progress_; }
    // The last report of the check, complete once report().finished.
    const FileCheckReport& report() const { return report_; }
    bool checkRunning() const { return checkRunning_; }

signals:
    void checkEnded();

protected:
    void keyPressEvent(QKeyEvent* event) override;  // Esc closes

private:
    FileCheckChoices readingChoices(const ImportOptions& options) const;
    void startCheck(const FileCheckChoices& choices);
    void stopCheck();
    void onCheckReport(const FileCheckReport& report, int permille, int generation);
    void showTarget();
    void showCheck();
    std::optional<QStringList> tableColumns(const QString& table);

    ImportWindow& window_;
    QString path_;
    int position_;
    PreviewModel model_;
    QTableView* table_;
    QLabel* target_;
    QProgressBar* progress_;
    QLabel* checkText_;
    QTimer refreshTimer_;

    std::optional<FileCheckChoices> checked_;  // the choices the check runs with
    FileCheckReport report_;
    int generation_ = 0;
    bool checkRunning_ = false;
    std::map<QString, std::optional<QStringList>> tableColumns_;  // read once per table
    QString tableColumnsFailure_;
    std::jthread check_;  // last: stopped and joined before the rest goes
};

}  // namespace quorvane
