#include "filelist/ui/FileListView.h"

#include "app/BusyIndicator.h"

namespace quorvane {

FileListView::FileListView(BusyIndicator& windowBusy, QWidget* parent)
    : QTreeWidget(parent), windowBusy_(windowBusy)
{
    setRootIsDecorated(false);
    setColumnCount(1);
    setHeaderLabels({QStringLiteral("Text Files")});
}

int FileListView::count() const { return topLevelItemCount(); }

QString FileListView::path(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row - 1);
    return item ? item->text(0) : QString();
}

void FileListView::append(const QString& path) { addTopLevelItem(new QTreeWidgetItem({path})); }

void FileListView::addTextFilesColumn()
{
    setHeaderLabels({QStringLiteral("Text Files")});
    setColumnWidth(0, 5000 / 15);
}

}  // namespace quorvane
