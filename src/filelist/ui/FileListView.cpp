#include "filelist/ui/FileListView.h"

#include "base/BusyIndicator.h"
#include "base/Paths.h"
#include "filelist/FileListCommands.h"

#include <QCursor>
#include <QDropEvent>
#include <QFont>
#include <QHeaderView>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>

namespace quorvane {

namespace {
constexpr int kTwipsPerPixel = 15;
constexpr int kTextFilesColumnTwips = 5000;
}  // namespace

QCursor LoadDragPointer(const QString& iconFile)
{
    // QIcon and QPixmap would hide a failed read; the reader tells.
    QImageReader reader(iconFile);
    const QImage image = reader.read();
    if (image.isNull())
        return QCursor(Qt::ClosedHandCursor);
    return QCursor(QPixmap::fromImage(image));
}

const QString FileListView::kToolTip = QStringLiteral(
    "Drag and drop files here. Double-click item to remove it. Move | line to right and out "
    "of window to reveal full names.");

FileListView::FileListView(BusyIndicator& windowBusy, QWidget* parent)
    : QTreeWidget(parent), windowBusy_(windowBusy), screenPointer_([] { return QCursor::pos(); })
{
    QFont listFont(QStringLiteral("Arial"));
    listFont.setPointSizeF(9);
    listFont.setBold(true);
    setFont(listFont);

    setRootIsDecorated(false);
    setColumnCount(1);
    setHeaderLabels({QStringLiteral("Text Files")});
    // Paths are wider than the list: the user may drag the column's right
    // edge out past the list's border to read them, so the column must not
    // stretch. It is never narrower than the list, and a path too long for
    // it loses its middle, never its file name; the row's tooltip has it all.
    header()->setStretchLastSection(false);
    setTextElideMode(Qt::ElideMiddle);
    connect(header(), &QHeaderView::sectionResized, this, [this] { fitColumnToList(); });
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    setToolTip(kToolTip);

    // Rows move by our own press/move/release logic, never by Qt's internal
    // drag; the list takes drops from outside only, for as long as it lives.
    setDragDropMode(QAbstractItemView::DropOnly);
    setAutoScroll(false);
    viewport()->setAcceptDrops(true);
    viewport()->setMouseTracking(true);
}

int FileListView::count() const { return topLevelItemCount(); }

QString FileListView::path(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row - 1);
    return item ? item->text(0) : QString();
}

namespace {

// A row whose tooltip is its path, also after a drag has exchanged texts.
class PathItem final : public QTreeWidgetItem {
public:
    explicit PathItem(const QString& path) : QTreeWidgetItem({path}) {}
    QVariant data(int column, int role) const override
    {
        if (role == Qt::ToolTipRole)
            return text(column);
        return QTreeWidgetItem::data(column, role);
    }
};

}  // namespace

void FileListView::append(const QString& path) { addTopLevelItem(new PathItem(path)); }

void FileListView::fitColumnToList()
{
    if (columnCount() != 1)
        return;
    const int list = viewport()->width();
    const int column = columnWidth(0);
    // A width the list gave follows the list (a scroll bar that comes or
    // goes); one the user dragged wider stays.
    if (column != list && (column < list || column == fittedWidth_)) {
        fittedWidth_ = list;
        setColumnWidth(0, list);
    }
}

void FileListView::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    fitColumnToList();
}

void FileListView::addTextFilesColumn()
{
    setColumnCount(1);
    setHeaderLabels({QStringLiteral("Text Files")});
    setColumnWidth(0, kTextFilesColumnTwips / kTwipsPerPixel);
    fitColumnToList();
}

void FileListView::setScreenPointerSource(ScreenPointerSource source)
{
    screenPointer_ = std::move(source);
}

// --- Qt events, routed to the handlers below --------------------------------

void FileListView::mousePressEvent(QMouseEvent* event)
{
    // A press on a row selects it; one on empty space keeps the selected row,
    // which a double-click there still removes.
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (item)
        QTreeWidget::mousePressEvent(event);
    onMousePressed();
    if (item)
        onRowClicked(item);
}

void FileListView::mouseMoveEvent(QMouseEvent* event)
{
    onMouseMoved(event->position().toPoint());
    // Qt's own handling of a held button would select rows as the pointer
    // passes them; while a button is down the rows follow the drag alone.
    if (!mouseIsDown_)
        QTreeWidget::mouseMoveEvent(event);
}

void FileListView::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeWidget::mouseReleaseEvent(event);
    onMouseReleased();
}

void FileListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    onDoubleClicked();
    event->accept();
}

void FileListView::keyPressEvent(QKeyEvent* event)
{
    onKeyPressed(event->key());
    if (event->key() == Qt::Key_Delete)
        event->accept();
    else
        QTreeWidget::keyPressEvent(event);
}

void FileListView::dragEnterEvent(QDragEnterEvent* event) { onDragOver(*event); }

void FileListView::dragMoveEvent(QDragMoveEvent* event) { onDragOver(*event); }

void FileListView::dropEvent(QDropEvent* event) { onDrop(*event); }

// --- Removing a row -----------------------------------------------------------

void FileListView::onDoubleClicked() { removeSelectedRow(); }

void FileListView::onKeyPressed(int key)
{
    if (key == Qt::Key_Delete)
        removeSelectedRow();
}

void FileListView::removeSelectedRow()
{
    if (windowBusy_.isBusy() || frozen_)
        return;
    if (count() == 0)
        return;
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.isEmpty())
        return;
    delete selected.first();
}

// --- Moving rows by dragging ------------------------------------------------

void FileListView::onMousePressed()
{
    mouseIsDown_ = true;
    // A drag starts only from a press on a row; the click on it names the row.
    dragItem_ = QPersistentModelIndex();
}

void FileListView::onRowClicked(QTreeWidgetItem* item)
{
    viewport()->setCursor(LoadDragPointer(ProgramFile(kDragIconFile)));
    dragItem_ = indexFromItem(item);
}

void FileListView::onMouseMoved(const QPoint& position)
{
    if (!windowBusy_.isBusy())
        emit pointerToDefault();
    if (!mouseIsDown_ || frozen_)
        return;

    QTreeWidgetItem* hit = itemAt(position);
    QTreeWidgetItem* dragged = dragRow();
    if (hit && dragged && hit->text(0) != dragged->text(0)) {
        exchangeDraggedTextWith(hit, dragged);
        scrollNeighbourIntoView(hit);
    }
}

void FileListView::onMouseReleased()
{
    mouseIsDown_ = false;
    dragItem_ = QPersistentModelIndex();
    viewport()->setCursor(Qt::ArrowCursor);
}

void FileListView::exchangeDraggedTextWith(QTreeWidgetItem* hit, QTreeWidgetItem* dragged)
{
    const QString draggedText = dragged->text(0);
    dragged->setText(0, hit->text(0));
    hit->setText(0, draggedText);
    setCurrentItem(hit, 0, QItemSelectionModel::ClearAndSelect);
    // The dragged text now stands in the hit row, and keeps being dragged.
    dragItem_ = indexFromItem(hit);
}

void FileListView::scrollNeighbourIntoView(QTreeWidgetItem* hit)
{
    const int row = indexOfTopLevelItem(hit);
    switch (RowScrollForScreenY(screenPointer_().y())) {
    case RowScroll::RowAbove:
        if (row > 0)
            scrollToItem(topLevelItem(row - 1));
        break;
    case RowScroll::RowBelow:
        if (row + 1 < count())
            scrollToItem(topLevelItem(row + 1));
        break;
    case RowScroll::Nothing:
        break;
    }
}

QTreeWidgetItem* FileListView::dragRow() const
{
    // A row removed since the press leaves an invalid index: nothing to drag.
    return dragItem_.isValid() ? itemFromIndex(dragItem_) : nullptr;
}

// --- Drops from outside -----------------------------------------------------

void FileListView::onDragOver(QDragMoveEvent& event)
{
    if (!frozen_ && CarriesFiles(*event.mimeData())) {
        event.acceptProposedAction();
        return;
    }
    event.setDropAction(Qt::IgnoreAction);
    event.ignore();
}

void FileListView::onDrop(QDropEvent& event)
{
    const QStringList paths = frozen_ ? QStringList() : DroppedPaths(*event.mimeData());
    if (paths.isEmpty()) {
        event.ignore();
        return;
    }
    event.acceptProposedAction();
    emit pathsDropped(paths);
}

}  // namespace quorvane
