#pragma once

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace quorvane {

// The login window's controls.
struct LoginWindowControls {
    QGroupBox* connectionFrame = nullptr;
    QLabel* serverLabel = nullptr;  // "Server:"
    QLineEdit* serverEdit = nullptr;  // Server
    QLabel* portLabel = nullptr;  // "Port:"
    QLineEdit* portEdit = nullptr;  // Port
    QLabel* userLabel = nullptr;  // "Username:"
    QLineEdit* userEdit = nullptr;  // User
    QLabel* passwordLabel = nullptr;  // "Password:"
    QLineEdit* passwordEdit = nullptr;  // Password, masked
    QLabel* databaseLabel = nullptr;  // "Database:"
    QLineEdit* databaseEdit = nullptr;  // Database
    QPushButton* testConnectionButton = nullptr;  // "Test Connection"
    QPushButton* helpButton = nullptr;  // "Help"
    QPushButton* nextButton = nullptr;  // "Next >"
};

// Creates the controls on the window at their places, fonts and tab order.
LoginWindowControls BuildLoginWindowControls(QWidget* window);

}  // namespace quorvane
