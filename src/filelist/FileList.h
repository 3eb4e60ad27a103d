#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// The ordered list of files to import: one full path per row, duplicates
// allowed, rows numbered from 1 at the top.
class FileList {
public:
    virtual ~FileList() = default;
    virtual int count() const = 0;
    virtual QString path(int row) const = 0;
    virtual void append(const QString& path) = 0;
};

// A file list without a window (command line, tests).
class PlainFileList final : public FileList {
public:
    int count() const override { return static_cast<int>(paths_.size()); }
    QString path(int row) const override { return paths_.value(row - 1); }
    void append(const QString& path) override { paths_.append(path); }
    const QStringList& paths() const { return paths_; }

private:
    QStringList paths_;
};

}  // namespace quorvane
