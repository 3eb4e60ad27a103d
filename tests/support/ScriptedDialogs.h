#pragma once

#include "base/Dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace quorvane::testing {

// Answers the dialog interface from a script. A dialog that the script did
// not expect fails the running test; expectations left over fail it too.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Message, Input, OpenFiles, Folder, TextWindow };

    struct Shown {
        Kind kind;
        QString text;   // message text, prompt, or the text window's text
        QString title;  // message/prompt title, or the open-file dialog title
        bool warningIcon = false;
        QString checkBoxText;
        QString defaultAnswer;  // prompts; the folder browser's initial folder
        QStringList filters;
        int selectedFilter = -1;
    };

    ~ScriptedDialogs() override;

    // Exact text; optionally ticks the box's check box.
    ScriptedDialogs& expectMessage(const QString& text, bool tickCheckBox = false);
    ScriptedDialogs& expectMessageContaining(const QString& fragment, bool tickCheckBox = false);
    // An error report from the given location and line.
    ScriptedDialogs& expectErrorReport(const QString& location, int line, bool tickCheckBox = false);
    ScriptedDialogs& expectInput(const QString& prompt, const QString& answer);
    ScriptedDialogs& expectOpenFiles(const QStringList& answer);
    ScriptedDialogs& expectFolder(const QString& answer);
    ScriptedDialogs& expectTextWindow(const QString& text);

    // Runs when the last expectation added is met, before its answer returns.
    ScriptedDialogs& then(std::function<void()> action);

    // Without a script: every dialog is recorded and answered with its
    // default (OK, empty text, cancel).
    void acceptAnything(bool accept = true) { acceptAnything_ = accept; }

    const std::vector<Shown>& shown() const { return shown_; }
    int count(Kind kind) const;
    bool scriptDone() const { return script_.empty(); }

    bool messageBox(const MessageBoxSpec& spec) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) override;
    QStringList openFiles(const OpenFilesSpec& spec) override;
    QString browseForFolder(const QString& prompt, const QString& initialFolder) override;
    void showTextWindow(const QString& text) override;

private:
    struct Expectation {
        Kind kind;
        std::function<bool(const Shown&)> matches;
        QString description;
        bool tick = false;
        QString answer;
        QStringList answers;
        std::function<void()> action;
    };

    // Returns the matched expectation, or nullptr after failing the test.
    std::optional<Expectation> take(const Shown& shown);

    std::deque<Expectation> script_;
    std::vector<Shown> shown_;
    bool acceptAnything_ = false;
};

QString Describe(const ScriptedDialogs::Shown& shown);

}  // namespace quorvane::testing
