#pragma once

#include "filelist/FileList.h"

#include <QTreeWidget>

namespace quorvane {

class BusyIndicator;

// The import window's list of files to import (ListView1): one column
// "Text Files", one full path per row.
class FileListView : public QTreeWidget, public FileList {
    Q_OBJECT
public:
    FileListView(BusyIndicator& windowBusy, QWidget* parent = nullptr);

    int count() const override;
    QString path(int row) const override;
    void append(const QString& path) override;

    // Adds the column "Text Files" 5000 twips wide; a repeated call keeps
    // the one column there is.
    void addTextFilesColumn();

signals:
    // Paths dropped onto the list from outside, in the order given.
    void pathsDropped(const QStringList& paths);

private:
    BusyIndicator& windowBusy_;
};

}  // namespace quorvane
