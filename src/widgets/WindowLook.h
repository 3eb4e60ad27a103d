#pragma once

#include <QFont>

class QWidget;

namespace quorvane {

// Labels, frames, option buttons, check boxes, fields and lists.
QFont FieldFont();
// Every push button caption.
QFont ButtonFont();
// The login window's default font: the same face, not bold.
QFont LoginWindowFont();

// The window and every label, frame, option button and check box in it,
// at any depth, take the system button-face colour. Fields, lists and
// buttons keep their own colours.
void UseButtonFaceColours(QWidget* window);
// The designed look: the same controls on white.
void UseWhiteColours(QWidget* window);

// The skin file, when present, gives the login window the button-face
// colours. There is no skin component on this platform, so nothing more
// is applied. Returns whether the skin file was there.
bool ApplySkin(QWidget* loginWindow, const QString& skinPath);

enum class TitleBarBoxes { CloseAndMinimise, CloseOnly };

// A fixed single border with the client area given in twips; never a
// maximise box.
void FixWindowSize(QWidget* window, int widthTwips, int heightTwips, TitleBarBoxes boxes);

// Centres the window on the screen it will show on.
void CentreOnScreen(QWidget* window);

}  // namespace quorvane
