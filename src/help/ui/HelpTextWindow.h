#pragma once

#include "widgets/WindowPointer.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace quorvane {

class Dialogs;

// The help text window: a text the caller fills, and "Close". It is loaded
// afresh for every showing.
class HelpTextWindow final : public QDialog {
    Q_OBJECT

public:
    explicit HelpTextWindow(Dialogs& dialogs, QWidget* owner = nullptr);

    void load();

    QPlainTextEdit* text() const { return text_; }
    QPushButton* closeButton() const { return closeButton_; }  // "Close"
    WindowPointer& pointer() { return pointer_; }

    void onCloseClicked();

private:
    Dialogs& dialogs_;
    WindowPointer pointer_;
    QPlainTextEdit* text_;
    QPushButton* closeButton_;
};

// Loads a help text window, puts the text in and shows it modally over the
// owner; returns once the user has closed it. Closing it never ends the
// program.
void ShowHelpTextWindow(Dialogs& dialogs, const QString& text, QWidget* owner);

}  // namespace quorvane
