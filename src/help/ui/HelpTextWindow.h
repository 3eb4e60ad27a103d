#pragma once

#include "widgets/WindowPointer.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace quorvane {

class Dialogs;

// The help text window: a text the caller fills, and "Close". It is loaded
// afresh for every showing.
class Form3 final : public QDialog {
    Q_OBJECT

public:
    explicit Form3(Dialogs& dialogs, QWidget* owner = nullptr);

    void Form_Load();

    QPlainTextEdit* Text1() const { return text1_; }
    QPushButton* PushButton5() const { return pushButton5_; }  // "Close"
    WindowPointer& pointer() { return pointer_; }

    void PushButton5_Click();

private:
    Dialogs& dialogs_;
    WindowPointer pointer_;
    QPlainTextEdit* text1_;
    QPushButton* pushButton5_;
};

// Loads a help text window, puts the text in and shows it modally over the
// owner; returns once the user has closed it. Closing it never ends the
// program.
void ShowHelpTextWindow(Dialogs& dialogs, const QString& text, QWidget* owner);

}  // namespace quorvane
