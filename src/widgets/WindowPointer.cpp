#include "widgets/WindowPointer.h"

#include "base/Failure.h"
#include "base/Paths.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QFile>
#include <QPixmap>
#include <QWidget>
#include <QtEndian>

namespace quorvane {

namespace {

// Qt reads the image of a .cur file but not its hotspot: the first
// directory entry keeps it at bytes 10 to 13, little-endian.
QPoint CursorHotspot(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(14);
    if (head.size() < 14 || qFromLittleEndian<quint16>(head.constData() + 2) != 2)
        return {};
    return QPoint(qFromLittleEndian<quint16>(head.constData() + 10),
                  qFromLittleEndian<quint16>(head.constData() + 12));
}

class HoverFilter final : public QObject {
public:
    HoverFilter(QObject* owner, WindowPointer& pointer, HoverPointer kind)
        : QObject(owner), pointer_(pointer), kind_(kind)
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseMove) {
            if (kind_ == HoverPointer::Hand)
                pointer_.hoverButton();
            else
                pointer_.hoverPlain();
        }
        return false;
    }

private:
    WindowPointer& pointer_;
    HoverPointer kind_;
};

}  // namespace

WindowPointer::WindowPointer(QWidget* window) : window_(window) {}

void WindowPointer::setState(PointerState state)
{
    state_ = state;
    show();
}

void WindowPointer::setBusy(bool busy) { setState(busy ? PointerState::Busy : PointerState::Default); }

void WindowPointer::loadImage(const QString& path)
{
    QPixmap pixmap;
    if (!pixmap.load(path))
        throw Failure(QStringLiteral("The pointer image \"%1\" cannot be read.").arg(path));
    const QPoint hotspot = CursorHotspot(path);
    image_ = QCursor(pixmap, hotspot.x(), hotspot.y());
    show();
}

void WindowPointer::hoverButton()
{
    if (!isBusy())
        setState(PointerState::Custom);
}

void WindowPointer::hoverPlain()
{
    if (!isBusy())
        setState(PointerState::Default);
}

void WindowPointer::show()
{
    switch (state_) {
    case PointerState::Default:
        window_->setCursor(Qt::ArrowCursor);
        break;
    case PointerState::Busy:
        window_->setCursor(Qt::WaitCursor);
        break;
    case PointerState::Custom:
        window_->setCursor(image_ ? *image_ : QCursor(Qt::ArrowCursor));
        break;
    }
}

bool HandPointerFileExists() { return PathExists(ProgramFile(kHandCursorFile)); }

void LoadHandPointer(WindowPointer& pointer) { pointer.loadImage(ProgramFile(kHandCursorFile)); }

void SetPointerOnHover(QWidget* control, WindowPointer& pointer, HoverPointer pointerKind)
{
    // Scrolling controls get their mouse moves on the viewport.
    QWidget* target = control;
    if (auto* scrolling = qobject_cast<QAbstractScrollArea*>(control))
        target = scrolling->viewport();
    target->setMouseTracking(true);
    // A move that the control leaves unhandled would otherwise climb to its
    // container, whose own rule would undo this one.
    target->setAttribute(Qt::WA_NoMousePropagation);
    target->installEventFilter(new HoverFilter(target, pointer, pointerKind));
}

}  // namespace quorvane
