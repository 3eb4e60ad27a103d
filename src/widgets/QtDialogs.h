#pragma once

#include "base/Dialogs.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace quorvane {

// The dialog interface on Qt's own dialogs. Boxes are owned by the window
// the user is looking at, also when the window that asked is hidden.
class QtDialogs final : public Dialogs {
public:
    // textWindow shows the help text window modally and returns once closed.
    using TextWindowFactory = std::function<void(const QString& text, QWidget* owner)>;

    QtDialogs() = default;
    void setTextWindow(TextWindowFactory factory) { textWindow_ = std::move(factory); }

    bool messageBox(const MessageBoxSpec& spec) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) override;
    QStringList openFiles(const OpenFilesSpec& spec) override;
    QString browseForFolder(const QString& prompt, const QString& initialFolder) override;
    void showTextWindow(const QString& text) override;

    // CR LF and lone CR both become a line break on screen.
    static QString ScreenText(const QString& text);

private:
    static QWidget* owner();
    TextWindowFactory textWindow_;
};

}  // namespace quorvane
