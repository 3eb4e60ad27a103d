#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

struct MessageBoxSpec {
    QString text;
    QString title;
    bool warningIcon = false;
    QString checkBoxText;  // empty: the box has no check box
};

struct OpenFilesSpec {
    QString title;
    QStringList filters;  // "Text Files (*.txt)", ...
    int selectedFilter = 0;
};

// Every window the system shows for a moment goes through here, so that the
// logic can run in tests and on the command line without a screen.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A modal box with one OK button; returns the state of its check box
    // (false when it has none).
    virtual bool messageBox(const MessageBoxSpec& spec) = 0;

    // A text prompt with OK and Cancel; Cancel gives the empty text.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultAnswer) = 0;

    // The open-file dialog with multiple selection; full paths of the chosen
    // files in the dialog's order, none when cancelled.
    virtual QStringList openFiles(const OpenFilesSpec& spec) = 0;

    // The folder browser, opening at initialFolder; empty when cancelled.
    virtual QString browseForFolder(const QString& prompt, const QString& initialFolder) = 0;

    // The help text window, shown modally; returns once the user closed it.
    virtual void showTextWindow(const QString& text) = 0;
};

// A plain message: text, one OK button, no icon, the application title.
void ShowPlainMessage(Dialogs& dialogs, const QString& text);

// A text prompt titled with the application title.
QString AskWithApplicationTitle(Dialogs& dialogs, const QString& prompt,
                                const QString& defaultAnswer = {});

}  // namespace quorvane
