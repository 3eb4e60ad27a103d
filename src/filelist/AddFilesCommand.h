#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

class Dialogs;
class FileList;

inline const QString kAddFilesTitle = QStringLiteral("Add File(s) - Hold Ctrl to select multiple files");
inline const QStringList kAddFilesFilters = {QStringLiteral("Text Files (*.txt)"),
                                             QStringLiteral("CSV Files (*.csv)"),
                                             QStringLiteral("All Files (*.*)")};
inline const QString kTooManyFilesMessage = QStringLiteral("You've selected too many files to add.")
                                            + QStringLiteral("\r\r")
                                            + QStringLiteral("Please try adding via the \"Add All\" button.");

// The room the dialog's answer has, in characters, terminator included.
inline constexpr qsizetype kFileDialogAnswerRoom = 30000;

// "Add Text File(s)": one chosen file is appended exactly as the dialog
// gives it; several are joined from their folder and names and normalised.
// A choice whose answer would not fit the dialog's room shows the
// too-many-files message and appends nothing. Failures are reported under
// Location::AddFiles and the command goes on.
void AddTextFiles(Dialogs& dialogs, FileList& list);

}  // namespace quorvane
