#include "widgets/WindowLook.h"

#include "base/Paths.h"
#include "widgets/Twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QWidget>

namespace quorvane {

void PlaceInTwips(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(TwipsRect(left, top, width, height));
}

namespace {

QFont Arial(qreal points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

bool TakesWindowColour(const QWidget* control)
{
    return qobject_cast<const QLabel*>(control) || qobject_cast<const QGroupBox*>(control)
           || qobject_cast<const QRadioButton*>(control) || qobject_cast<const QCheckBox*>(control);
}

void SetBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

// The window fills its background; its labels, frames and option buttons
// take the same colour but stay see-through, so a style that shades frames
// shows through them instead of a patch around each caption.
void UseBackground(QWidget* window, const QColor& colour)
{
    SetBackground(window, colour);
    window->setAutoFillBackground(true);
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (TakesWindowColour(control))
            SetBackground(control, colour);
    }
}

}  // namespace

QFont FieldFont() { return Arial(9, true); }
QFont ButtonFont() { return Arial(11.25, true); }
QFont LoginWindowFont() { return Arial(9, false); }

void UseButtonFaceColours(QWidget* window)
{
    UseBackground(window, QGuiApplication::palette().color(QPalette::Button));
}

void UseWhiteColours(QWidget* window) { UseBackground(window, Qt::white); }

bool ApplySkin(QWidget* loginWindow, const QString& skinPath)
{
    if (!PathExists(skinPath))
        return false;
    UseButtonFaceColours(loginWindow);
    return true;
}

void FixWindowSize(QWidget* window, int widthTwips, int heightTwips, TitleBarBoxes boxes)
{
    const Qt::WindowType type = window->inherits("QDialog") ? Qt::Dialog : Qt::Window;
    Qt::WindowFlags flags = type | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                            | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                            | Qt::MSWindowsFixedSizeDialogHint;
    if (boxes == TitleBarBoxes::CloseAndMinimise)
        flags |= Qt::WindowMinimizeButtonHint;
    window->setWindowFlags(flags);
    window->setFixedSize(Twips(widthTwips), Twips(heightTwips));
}

void CentreOnScreen(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

}  // namespace quorvane
