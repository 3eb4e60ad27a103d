#pragma once

#include <QString>

namespace quorvane {

class Dialogs;

inline const QString kSupportAddress = QStringLiteral("support@quorvane.example");
inline const QString kErrorReportTitle = QStringLiteral("Application Error");

// The locations that name every reporting procedure.
namespace Location {
inline const QString LoginWindowLoad = QStringLiteral("Velbrook2021/08/31.Form1.Form_Load");
inline const QString LoginWindowTestConnection = QStringLiteral("Velbrook2021/08/31.Form1.PushButton2_Click");
inline const QString LoginWindowNext = QStringLiteral("Velbrook2021/08/31.Form1.PushButton3_Click");
inline const QString LoginWindowHelp = QStringLiteral("Velbrook2021/08/31.Form1.PushButton5_Click");
inline const QString ImportWindowLoad = QStringLiteral("Velbrook2021/08/31.Form2.Form_Load");
inline const QString ImportRun = QStringLiteral("Velbrook2021/08/31.Form2.PushButton1_Click");
inline const QString AddFiles = QStringLiteral("Velbrook2021/08/31.Form2.PushButton3_Click");
inline const QString AddFolder = QStringLiteral("Velbrook2021/08/31.Form2.PushButton4_Click");
inline const QString ImportWindowBack = QStringLiteral("Velbrook2021/08/31.Form2.PushButton5_Click");
inline const QString ImportWindowSeparatorHelp = QStringLiteral("Velbrook2021/08/31.Form2.PushButton6_Click");
inline const QString HelpTextWindowLoad = QStringLiteral("Velbrook2021/08/31.Form3.Form_Load");
inline const QString HelpTextWindowClose = QStringLiteral("Velbrook2021/08/31.Form3.PushButton5_Click");
inline const QString SubDirectories =
    QStringLiteral("DremmelTitle2021/08/31.AddFolder.GetSubDirectories2016");
}  // namespace Location

// description CR LF "in <location> " "at line <n>" CR CR "Please email ...".
QString BuildErrorReportText(const QString& description, const QString& location, int line);

// Shows the report box (title, warning icon, one OK). With a check box text,
// the box carries that check box and its state is returned.
bool ShowErrorReport(Dialogs& dialogs, const QString& description, const QString& location,
                     int line, const QString& checkBoxText = {});

}  // namespace quorvane
