#pragma once

#include <QString>

namespace quorvane {

class Dialogs;

inline const QString kSupportAddress = QStringLiteral("support@quorvane.example");
inline const QString kErrorReportTitle = QStringLiteral("Application Error");

// The locations that name every reporting procedure.
namespace Location {
inline const QString Form1Load = QStringLiteral("Velbrook2021/08/31.Form1.Form_Load");
inline const QString Form1TestConnection = QStringLiteral("Velbrook2021/08/31.Form1.PushButton2_Click");
inline const QString Form1Next = QStringLiteral("Velbrook2021/08/31.Form1.PushButton3_Click");
inline const QString Form1Help = QStringLiteral("Velbrook2021/08/31.Form1.PushButton5_Click");
inline const QString Form2Load = QStringLiteral("Velbrook2021/08/31.Form2.Form_Load");
inline const QString Form2Import = QStringLiteral("Velbrook2021/08/31.Form2.PushButton1_Click");
inline const QString Form2AddFiles = QStringLiteral("Velbrook2021/08/31.Form2.PushButton3_Click");
inline const QString Form2AddFolder = QStringLiteral("Velbrook2021/08/31.Form2.PushButton4_Click");
inline const QString Form2Back = QStringLiteral("Velbrook2021/08/31.Form2.PushButton5_Click");
inline const QString Form2FormatHelp = QStringLiteral("Velbrook2021/08/31.Form2.PushButton6_Click");
inline const QString Form3Load = QStringLiteral("Velbrook2021/08/31.Form3.Form_Load");
inline const QString Form3Close = QStringLiteral("Velbrook2021/08/31.Form3.PushButton5_Click");
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
