#pragma once

#include <QString>

class QCheckBox;
class QComboBox;
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

// The import window's controls.
struct ImportWindowControls {
    QPushButton* backButton = nullptr;  // "< Back To Setup"
    FileListView* fileList = nullptr;  // the files to import
    QGroupBox* separatorFrame = nullptr;  // the separator
    QLineEdit* separatorEdit = nullptr;  // separator
    QPushButton* separatorHelpButton = nullptr;  // "?"
    QPushButton* addFilesButton = nullptr;  // "Add Text File(s)"
    QPushButton* addFolderButton = nullptr;  // "Add All File(s) In Folder"
    QPushButton* importButton = nullptr;  // "Import to IBM DB2"

    QGroupBox* tableOptionsFrame = nullptr;  // "Table Options"
    QRadioButton* createTableOption = nullptr;  // create new tables
    QGroupBox* createOptionsFrame = nullptr;  // "Create New Table Options"
    QRadioButton* headerColumnsOption = nullptr;  // columns from the first line
    QRadioButton* promptedColumnsOption = nullptr;  // columns named by the user
    QLabel* tableNameLabel = nullptr;  // "Table Name:"
    QLineEdit* tableNameEdit = nullptr;  // table name pattern
    QRadioButton* appendOption = nullptr;  // append to an existing table
    QGroupBox* appendOptionsFrame = nullptr;  // "Append to Existing Table Options"
    QCheckBox* ignoreHeaderCheck = nullptr;  // header row without data
    QLabel* tableListLabel = nullptr;  // "Table Name:"
    QListWidget* tableList = nullptr;  // the database's tables

    // The strip below the controls above: how the files are read.
    QWidget* readingStrip = nullptr;
    QLabel* encodingLabel = nullptr;  // "File encoding:"
    QComboBox* encodingChoice = nullptr;  // Automatic, or one encoding
    QCheckBox* quotedFieldsCheck = nullptr;  // "Fields may be enclosed in double quotes"
    QCheckBox* fastLoadCheck = nullptr;  // "Fast load (rows in batches)"
    QPushButton* previewButton = nullptr;  // "Preview"
    QLabel* columnTypesLabel = nullptr;  // "Column types:"
    QComboBox* columnTypesChoice = nullptr;  // "Text (LONG VARCHAR)" or "Detected from the file"
    // Beside the create option: created tables' names upper-cased.
    QCheckBox* upperCaseNamesCheck = nullptr;  // "Upper-case names"
    QCheckBox* matchNamesCheck = nullptr;  // "Match columns by name"
};

inline const QString kTextColumnTypes = QStringLiteral("Text (LONG VARCHAR)");
inline const QString kDetectedColumnTypes = QStringLiteral("Detected from the file");

// The window's size in twips: the designed 15960 by 5160, and the strip.
inline constexpr int kImportWindowWidthTwips = 15960;
inline constexpr int kImportWindowHeightTwips = 5160 + 480;

// Creates the controls on the window at their places and in their designed
// state: create mode, header-row columns, the append frame disabled.
ImportWindowControls BuildImportWindowControls(QWidget* window, BusyIndicator& windowBusy);

}  // namespace quorvane
