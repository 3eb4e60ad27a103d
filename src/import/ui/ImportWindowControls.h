#pragma once

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

namespace quorvane {

class BusyIndicator;
class FileListView;

// The import window's controls, named by kind and number.
struct Form2Controls {
    QPushButton* PushButton5 = nullptr;  // "< Back To Setup"
    FileListView* ListView1 = nullptr;  // the files to import
    QGroupBox* Frame1 = nullptr;  // the separator
    QLineEdit* Text3 = nullptr;  // separator
    QPushButton* PushButton6 = nullptr;  // "?"
    QPushButton* PushButton3 = nullptr;  // "Add Text File(s)"
    QPushButton* PushButton4 = nullptr;  // "Add All File(s) In Folder"
    QPushButton* PushButton1 = nullptr;  // "Import to IBM DB2"

    QGroupBox* Frame2 = nullptr;  // "Table Options"
    QRadioButton* Option1 = nullptr;  // create new tables
    QGroupBox* Frame3 = nullptr;  // "Create New Table Options"
    QRadioButton* Option3 = nullptr;  // columns from the first line
    QRadioButton* Option4 = nullptr;  // columns named by the user
    QLabel* Label5 = nullptr;  // "Table Name:"
    QLineEdit* Text2 = nullptr;  // table name pattern
    QRadioButton* Option2 = nullptr;  // append to an existing table
    QGroupBox* Frame4 = nullptr;  // "Append to Existing Table Options"
    QCheckBox* Check2 = nullptr;  // header row without data
    QLabel* Label2 = nullptr;  // "Table Name:"
    QListWidget* List1 = nullptr;  // the database's tables
};

// Creates the controls on the window at their places and in their designed
// state: create mode, header-row columns, the append frame disabled.
Form2Controls BuildForm2Controls(QWidget* window, BusyIndicator& windowBusy);

}  // namespace quorvane
