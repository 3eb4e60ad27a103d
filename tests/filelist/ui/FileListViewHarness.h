#pragma once

#include "base/BusyIndicator.h"
#include "filelist/ui/FileListView.h"

#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>

// Readable failure messages for texts and lists of texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace quorvane::testing {

// A shown file list and the mouse gestures the tests make on it. Rows are
// numbered from 1, as the user counts them.
class FileListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.addTextFilesColumn();
        view.resize(520, 170);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    void fill(int rows)
    {
        for (int i = 1; i <= rows; ++i)
            view.append(QStringLiteral("/data/file%1.txt").arg(i));
    }

    void fill(const QStringList& texts)
    {
        for (const QString& text : texts)
            view.append(text);
    }

    QStringList texts() const
    {
        QStringList all;
        for (int row = 1; row <= view.count(); ++row)
            all.append(view.path(row));
        return all;
    }

    QTreeWidgetItem* item(int row) const { return view.topLevelItem(row - 1); }
    QPoint rowCenter(int row) const { return view.visualItemRect(item(row)).center(); }
    QPoint emptySpace() const { return QPoint(10, view.viewport()->height() - 3); }

    void press(int row, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(view.viewport(), button, {}, rowCenter(row));
    }
    void moveTo(int row) { QTest::mouseMove(view.viewport(), rowCenter(row)); }
    void release(Qt::MouseButton button = Qt::LeftButton, QPoint at = {})
    {
        QTest::mouseRelease(view.viewport(), button, {}, at.isNull() ? QPoint(5, 5) : at);
    }
    void clickRow(int row)
    {
        press(row);
        release(Qt::LeftButton, rowCenter(row));
    }

    // Moves steadily over every row between two rows, both included.
    void dragAcross(int fromRow, int toRow, Qt::MouseButton button = Qt::LeftButton)
    {
        press(fromRow, button);
        const int step = toRow > fromRow ? 1 : -1;
        for (int row = fromRow + step; row != toRow + step; row += step)
            moveTo(row);
        release(button, rowCenter(toRow));
    }

    // What Qt delivers for a double-click: a press, a release, then a second
    // press followed by the double-click event.
    void doubleClick(QPoint at)
    {
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);
    }

    int selectedRow() const
    {
        const auto selected = view.selectedItems();
        return selected.isEmpty() ? 0 : view.indexOfTopLevelItem(selected.first()) + 1;
    }

    int scrollValue() const { return view.verticalScrollBar()->value(); }

    NoBusyIndicator busy;
    FileListView view{busy};
};

}  // namespace quorvane::testing
