#include "import/ui/ImportWindowControls.h"

#include "filelist/ui/FileListView.h"
#include "import/ui/ImportWindowNames.h"
#include "text/TextFormat.h"
#include "widgets/Twips.h"
#include "widgets/WindowLook.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace quorvane {

namespace {

template <class Control>
Control* Make(QWidget* parent, const QString& caption, int left, int top, int width, int height)
{
    auto* control = new Control(caption, parent);
    PlaceInTwips(control, left, top, width, height);
    return control;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, int left, int top, int width,
                        int height)
{
    auto* button = Make<QPushButton>(parent, caption, left, top, width, height);
    button->setFont(ButtonFont());
    button->setAutoDefault(false);
    return button;
}

}  // namespace

ImportWindowControls BuildImportWindowControls(QWidget* window, BusyIndicator& windowBusy)
{
    ImportWindowControls c;
    c.backButton = MakeButton(window, QStringLiteral("< Back To Setup"), 120, 120, 7800, 405);

    c.fileList = new FileListView(windowBusy, window);
    PlaceInTwips(c.fileList, 120, 630, 7800, 2535);

    c.separatorFrame = Make<QGroupBox>(
        window, QStringLiteral("Fields are separated by this character or these characters"), 120,
        3210, 7800, 825);
    c.separatorEdit = Make<QLineEdit>(c.separatorFrame, QString(), 240, 300, 6615, 345);
    c.separatorHelpButton = MakeButton(c.separatorFrame, QStringLiteral("?"), 6960, 300, 615, 345);

    c.addFilesButton = MakeButton(window, QStringLiteral("Add Text File(s)"), 120, 4140, 3840, 405);
    c.addFolderButton =
        MakeButton(window, QStringLiteral("Add All File(s) In Folder"), 4080, 4140, 3840, 405);
    c.importButton = MakeButton(window, QStringLiteral("Import to IBM DB2"), 120, 4650, 7815, 405);

    c.tableOptionsFrame = Make<QGroupBox>(window, QStringLiteral("Table Options"), 8040, 30, 7800, 5045);
    c.createTableOption = Make<QRadioButton>(c.tableOptionsFrame, QStringLiteral("Create New Table From Text File"), 180,
                                   360, 3495, 255);
    c.createOptionsFrame = Make<QGroupBox>(c.tableOptionsFrame, QStringLiteral("Create New Table Options"), 180, 720, 5775,
                               1455);
    c.headerColumnsOption = Make<QRadioButton>(
        c.createOptionsFrame, QStringLiteral("First line in file will be used to create table columns"), 120,
        300, 4695, 255);
    c.promptedColumnsOption = Make<QRadioButton>(
        c.createOptionsFrame, QStringLiteral("Ignore first line, user-specified columns names"), 120, 600, 4455,
        255);
    c.tableNameLabel = Make<QLabel>(c.createOptionsFrame, QStringLiteral("Table Name:"), 240, 960, 1215, 255);
    c.tableNameEdit = Make<QLineEdit>(c.createOptionsFrame, QString(), 1680, 960, 3735, 330);

    c.appendOption = Make<QRadioButton>(
        c.tableOptionsFrame, QStringLiteral("Append to Existing Table From Text File"), 180, 2280, 4095, 255);
    c.appendOptionsFrame = Make<QGroupBox>(c.tableOptionsFrame, QStringLiteral("Append to Existing Table Options"), 180,
                               2640, 5775, 2175);
    c.ignoreHeaderCheck = Make<QCheckBox>(
        c.appendOptionsFrame, QStringLiteral("Ignore first line in file because it is a header row with no data"),
        120, 360, 5535, 255);
    c.tableListLabel = Make<QLabel>(c.appendOptionsFrame, QStringLiteral("Table Name:"), 240, 720, 1215, 255);
    c.tableList = new QListWidget(c.appendOptionsFrame);
    PlaceInTwips(c.tableList, 1680, 720, 3735, 1185);
    c.tableList->setSelectionMode(QAbstractItemView::SingleSelection);

    c.readingStrip = new QWidget(window);
    PlaceInTwips(c.readingStrip, 120, 5160, 15720, 405);
    c.encodingLabel = Make<QLabel>(c.readingStrip, QStringLiteral("File encoding:"), 0, 75, 1335, 255);
    c.encodingChoice = new QComboBox(c.readingStrip);
    PlaceInTwips(c.encodingChoice, 1440, 30, 2400, 345);
    c.encodingChoice->addItems(FileEncoding::WindowChoices());
    c.encodingLabel->setBuddy(c.encodingChoice);
    c.quotedFieldsCheck = Make<QCheckBox>(
        c.readingStrip, QStringLiteral("Fields may be enclosed in double quotes"), 4080, 75, 3840, 255);
    c.fastLoadCheck = Make<QCheckBox>(c.readingStrip, QStringLiteral("Fast load (rows in batches)"), 8040, 75, 2760, 255);
    c.previewButton = MakeButton(c.readingStrip, QStringLiteral("Preview"), 10860, 30, 960, 345);
    c.columnTypesLabel = Make<QLabel>(c.readingStrip, QStringLiteral("Column types:"), 11880, 75, 1335, 255);
    c.columnTypesChoice = new QComboBox(c.readingStrip);
    PlaceInTwips(c.columnTypesChoice, 13260, 30, 2460, 345);
    c.columnTypesChoice->addItems({kTextColumnTypes, kDetectedColumnTypes});
    c.columnTypesLabel->setBuddy(c.columnTypesChoice);
    c.upperCaseNamesCheck =
        Make<QCheckBox>(c.tableOptionsFrame, QStringLiteral("Upper-case names"), 3840, 360, 2400, 255);
    // Beside the append option, as "Upper-case names" stands beside the create option.
    c.matchNamesCheck =
        Make<QCheckBox>(c.tableOptionsFrame, QStringLiteral("Match columns by name"), 4440, 2280, 3240, 255);

    // Two groups of their own: Qt's automatic grouping by parent would also
    // take in headerColumnsOption and promptedColumnsOption, which sit in a frame inside tableOptionsFrame.
    for (auto [first, second] : {std::pair{c.createTableOption, c.appendOption}, std::pair{c.headerColumnsOption, c.promptedColumnsOption}}) {
        auto* group = new QButtonGroup(window);
        group->addButton(first);
        group->addButton(second);
    }
    c.createTableOption->setChecked(true);
    c.headerColumnsOption->setChecked(true);
    for (QWidget* disabled : {static_cast<QWidget*>(c.appendOptionsFrame), static_cast<QWidget*>(c.ignoreHeaderCheck),
                              static_cast<QWidget*>(c.tableListLabel), static_cast<QWidget*>(c.tableList),
                              static_cast<QWidget*>(c.matchNamesCheck)})
        disabled->setEnabled(false);

    QWidget* order[] = {c.backButton, c.fileList, c.separatorEdit, c.separatorHelpButton, c.addFilesButton,
                        c.addFolderButton, c.importButton, c.createTableOption, c.upperCaseNamesCheck,
                        c.headerColumnsOption, c.promptedColumnsOption,
                        c.tableNameEdit, c.appendOption, c.ignoreHeaderCheck, c.tableList, c.encodingChoice,
                        c.quotedFieldsCheck, c.fastLoadCheck, c.previewButton, c.columnTypesChoice, c.matchNamesCheck};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    NameForScreenReaders(c);
    return c;
}

}  // namespace quorvane
