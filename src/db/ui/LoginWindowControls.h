#pragma once

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace quorvane {

// The login window's controls, named by kind and number.
struct Form1Controls {
    QGroupBox* Frame1 = nullptr;
    QLabel* Label10 = nullptr;  // "Server:"
    QLineEdit* Text1 = nullptr;  // Server
    QLabel* Label9 = nullptr;  // "Port:"
    QLineEdit* Text2 = nullptr;  // Port
    QLabel* Label11 = nullptr;  // "Username:"
    QLineEdit* Text3 = nullptr;  // User
    QLabel* Label7 = nullptr;  // "Password:"
    QLineEdit* Text4 = nullptr;  // Password, masked
    QLabel* Label8 = nullptr;  // "Database:"
    QLineEdit* Text5 = nullptr;  // Database
    QPushButton* PushButton2 = nullptr;  // "Test Connection"
    QPushButton* PushButton5 = nullptr;  // "Help"
    QPushButton* PushButton3 = nullptr;  // "Next >"
};

// Creates the controls on the window at their places, fonts and tab order.
Form1Controls BuildForm1Controls(QWidget* window);

}  // namespace quorvane
