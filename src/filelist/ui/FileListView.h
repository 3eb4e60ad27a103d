#pragma once

#include "filelist/FileList.h"

#include <QCursor>
#include <QPersistentModelIndex>
#include <QString>
#include <QTreeWidget>

#include <functional>

namespace quorvane {

class BusyIndicator;

// The list's pointer while a row is dragged: the image in iconFile, read
// anew at every call, or a closed hand when the file is missing or cannot
// be read. Never fails.
QCursor LoadDragPointer(const QString& iconFile);

// While a row is dragged, the list brings the neighbour of the row just
// reached into view when the pointer stands high or low on the screen.
// The bounds are screen pixels from the top edge; both are inclusive
// limits of the band in which nothing scrolls.
enum class RowScroll { Nothing, RowAbove, RowBelow };

inline constexpr int kScrollUpBelowScreenY = 305;
inline constexpr int kScrollDownAboveScreenY = 364;

constexpr RowScroll RowScrollForScreenY(int screenY)
{
    if (screenY < kScrollUpBelowScreenY)
        return RowScroll::RowAbove;
    if (screenY > kScrollDownAboveScreenY)
        return RowScroll::RowBelow;
    return RowScroll::Nothing;
}

// The import window's list of files to import: one column
// "Text Files", one full path per row, duplicates allowed. The user removes
// the selected row with Delete or a double-click, reorders rows by dragging
// one over the others, and drops files and folders onto it from outside.
class FileListView : public QTreeWidget, public FileList {
    Q_OBJECT
public:
    // Where the pointer stands on the screen, in pixels.
    using ScreenPointerSource = std::function<QPoint()>;

    FileListView(BusyIndicator& windowBusy, QWidget* parent = nullptr);

    int count() const override;
    QString path(int row) const override;
    void append(const QString& path) override;

    // Adds the column "Text Files" 5000 twips wide, or as wide as the list
    // when that is wider; a repeated call keeps the one column there is.
    void addTextFilesColumn();

    // The drag's scrolling reads the pointer from here (QCursor::pos() unless
    // replaced); tests put the pointer where they need it.
    void setScreenPointerSource(ScreenPointerSource source);

    // While an import reads the list it does not change: rows are neither
    // dragged, removed nor added, and drops are refused.
    void setFrozen(bool frozen) { frozen_ = frozen; }
    bool isFrozen() const { return frozen_; }

    static const QString kToolTip;

signals:
    // Paths dropped onto the list from outside, in the order given.
    void pathsDropped(const QStringList& paths);

    // The pointer moved over the list while the window was not busy: the
    // window's own pointer goes back to the default arrow.
    void pointerToDefault();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void onMousePressed();
    void onRowClicked(QTreeWidgetItem* item);
    void onMouseMoved(const QPoint& position);
    void onMouseReleased();
    void onDoubleClicked();
    void onKeyPressed(int key);
    void onDragOver(QDragMoveEvent& event);
    void onDrop(QDropEvent& event);

    void fitColumnToList();
    void removeSelectedRow();
    void exchangeDraggedTextWith(QTreeWidgetItem* hit, QTreeWidgetItem* dragged);
    void scrollNeighbourIntoView(QTreeWidgetItem* hit);
    QTreeWidgetItem* dragRow() const;

    BusyIndicator& windowBusy_;
    ScreenPointerSource screenPointer_;
    bool frozen_ = false;

    int fittedWidth_ = -1;  // the column width last taken from the list
    bool mouseIsDown_ = false;
    // A persistent index, so that a row removed meanwhile reads as none.
    QPersistentModelIndex dragItem_;
};

}  // namespace quorvane
