#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// Several files chosen in the open-file dialog, as its answer gives them:
// their common folder, and each file's name relative to it. The folder ends
// in "/" only when it is the root folder.
struct MultipleSelection {
    QString folder;
    QStringList names;
};

MultipleSelection SplitSelection(const QStringList& paths);

// The characters the dialog's answer needs: one file's path and a
// terminator; for several, the folder, each name with the separator after
// it, and a terminator.
qsizetype AnswerLength(const QStringList& paths);

}  // namespace quorvane
