#include "base/Dialogs.h"

#include "base/ApplicationTitle.h"

namespace quorvane {

void ShowPlainMessage(Dialogs& dialogs, const QString& text)
{
    dialogs.messageBox({text, ApplicationTitle(), false, {}});
}

QString AskWithApplicationTitle(Dialogs& dialogs, const QString& prompt,
                                const QString& defaultAnswer)
{
    return dialogs.inputBox(prompt, ApplicationTitle(), defaultAnswer);
}

}  // namespace quorvane
