#pragma once

#include "base/BusyIndicator.h"

#include <QCursor>

#include <optional>

class QWidget;

namespace quorvane {

enum class PointerState { Default = 0, Busy = 11, Custom = 99 };

// The one pointer setting of a window. It is set on the window, never on a
// control: controls leave their pointer to the window and so show it too.
class WindowPointer final : public BusyIndicator {
public:
    explicit WindowPointer(QWidget* window);

    PointerState state() const { return state_; }
    void setState(PointerState state);

    // Long work holds the hourglass; the default arrow comes back after.
    void setBusy(bool busy) override;
    bool isBusy() const override { return state_ == PointerState::Busy; }

    // Loads a Windows cursor (or any image Qt reads) as the window's custom
    // pointer. Fails when the file cannot be read as an image.
    void loadImage(const QString& path);
    bool hasImage() const { return image_.has_value(); }

    // The hover rule: never over the hourglass; otherwise the hand over a
    // button and the arrow over anything else that asks.
    void hoverButton();
    void hoverPlain();

private:
    void show();

    QWidget* window_;
    PointerState state_ = PointerState::Default;
    std::optional<QCursor> image_;
};

// Loads "HAND-M.CUR" from the program's folder when it is there. Without the
// file the window simply has no hand image and buttons show the arrow.
bool HandPointerFileExists();
void LoadHandPointer(WindowPointer& pointer);

enum class HoverPointer { Hand, Arrow };

// The control's mouse moves apply the hover rule to the window's pointer.
void SetPointerOnHover(QWidget* control, WindowPointer& pointer, HoverPointer pointerKind);

}  // namespace quorvane
