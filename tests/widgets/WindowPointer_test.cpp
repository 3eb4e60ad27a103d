#include "base/Failure.h"
#include "widgets/WindowPointer.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>
#include <QtEndian>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

void MoveMouseOver(QWidget* control)
{
    const QPointF inside(2, 2);
    QMouseEvent move(QEvent::MouseMove, inside, control->mapToGlobal(inside), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control, &move);
}

// A Windows cursor file: an icon file whose type word says "cursor" and
// whose directory entry carries the hotspot.
QByteArray CursorFile(int hotX, int hotY)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::black);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    qToLittleEndian<quint16>(2, bytes.data() + 2);
    qToLittleEndian<quint16>(hotX, bytes.data() + 10);
    qToLittleEndian<quint16>(hotY, bytes.data() + 12);
    return bytes;
}

QString WriteScratch(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

class WindowPointerTest : public ::testing::Test {
protected:
    WindowPointerTest()
        : button(new QPushButton(QStringLiteral("Go"), &window)),
          label(new QLabel(QStringLiteral("Name:"), &window)),
          pointer(&window)
    {
        label->move(0, 40);
        SetPointerOnHover(button, pointer, HoverPointer::Hand);
        SetPointerOnHover(&window, pointer, HoverPointer::Arrow);
    }

    QWidget window;
    QPushButton* button;
    QLabel* label;
    WindowPointer pointer;
};

TEST_F(WindowPointerTest, ButtonSetsCustomAndWindowSetsDefaultState)
{
    MoveMouseOver(button);
    EXPECT_EQ(pointer.state(), PointerState::Custom);
    MoveMouseOver(&window);
    EXPECT_EQ(pointer.state(), PointerState::Default);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(WindowPointerTest, LabelLeavesThePointerAsItWas)
{
    MoveMouseOver(button);
    MoveMouseOver(label);
    EXPECT_EQ(pointer.state(), PointerState::Custom);
}

TEST_F(WindowPointerTest, HourglassIsNeverOverriddenByHover)
{
    pointer.setBusy(true);
    MoveMouseOver(button);
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    MoveMouseOver(&window);
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    EXPECT_TRUE(pointer.isBusy());

    pointer.setBusy(false);
    MoveMouseOver(button);
    EXPECT_EQ(pointer.state(), PointerState::Custom);
}

TEST_F(WindowPointerTest, PointerIsSetOnTheWindowNotOnTheControl)
{
    pointer.setBusy(true);
    EXPECT_FALSE(button->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(button->cursor().shape(), Qt::WaitCursor);
}

TEST_F(WindowPointerTest, WithoutHandImageAButtonShowsTheArrow)
{
    ASSERT_FALSE(pointer.hasImage());
    MoveMouseOver(button);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(WindowPointerTest, HandImageWithItsHotspotShowsOverButtons)
{
    QTemporaryDir dir;
    pointer.loadImage(WriteScratch(dir, QStringLiteral("HAND-M.CUR"), CursorFile(9, 3)));
    MoveMouseOver(button);
    EXPECT_EQ(window.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(window.cursor().hotSpot(), QPoint(9, 3));
    MoveMouseOver(&window);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(WindowPointerTest, UnreadablePointerFileFailsAndKeepsNoImage)
{
    QTemporaryDir dir;
    const QString path = WriteScratch(dir, QStringLiteral("HAND-M.CUR"), "not a cursor");
    EXPECT_THROW(pointer.loadImage(path), Failure);
    EXPECT_FALSE(pointer.hasImage());
}

TEST_F(WindowPointerTest, MoveOverButtonDoesNotReachItsContainer)
{
    // The window's own rule must not undo the button's hand on the way up.
    QTemporaryDir dir;
    pointer.loadImage(WriteScratch(dir, QStringLiteral("HAND-M.CUR"), CursorFile(0, 0)));
    MoveMouseOver(button);
    EXPECT_EQ(pointer.state(), PointerState::Custom);
}

}  // namespace
}  // namespace quorvane
