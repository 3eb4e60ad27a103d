// The import window's options panel: its design, the enabling of the two
// modes, and the options as the import run reads them.
#include "app/ApplicationWindows.h"
#include "base/ErrorReport.h"
#include "base/Settings.h"
#include "filelist/ui/FileListView.h"
#include "import/ui/ImportWindow.h"
#include "widgets/Twips.h"
#include "widgets/WindowPointer.h"

#include "ScriptedDialogs.h"
#include "WidgetChecks.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace quorvane {
namespace {

using testing::ScratchDatabase;
using testing::ScriptedDialogs;

using testing::StoreLogin;

void MoveMouseOver(QWidget* control)
{
    const QPointF inside(2, 2);
    QMouseEvent move(QEvent::MouseMove, inside, control->mapToGlobal(inside), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control, &move);
}

std::map<std::string, bool> Enabling(const ImportWindowControls& c)
{
    return {{"createTableOption", c.createTableOption->isEnabled()}, {"appendOption", c.appendOption->isEnabled()},
            {"createOptionsFrame", c.createOptionsFrame->isEnabled()},   {"headerColumnsOption", c.headerColumnsOption->isEnabled()},
            {"promptedColumnsOption", c.promptedColumnsOption->isEnabled()}, {"tableNameLabel", c.tableNameLabel->isEnabled()},
            {"tableNameEdit", c.tableNameEdit->isEnabled()},     {"appendOptionsFrame", c.appendOptionsFrame->isEnabled()},
            {"ignoreHeaderCheck", c.ignoreHeaderCheck->isEnabled()},   {"tableListLabel", c.tableListLabel->isEnabled()},
            {"tableList", c.tableList->isEnabled()}, {"upperCaseNamesCheck", c.upperCaseNamesCheck->isEnabled()},
            {"columnTypesLabel", c.columnTypesLabel->isEnabled()}, {"columnTypesChoice", c.columnTypesChoice->isEnabled()},
            {"matchNamesCheck", c.matchNamesCheck->isEnabled()}};
}

// The import window after a start with fields that connect.
class ImportWindowOptions : public ::testing::Test {
protected:
    ImportWindowOptions()
    {
        testing::ClearSettings();
        testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE PEOPLE (NAME LONG VARCHAR)"));
        testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE PLACES (NAME LONG VARCHAR)"));
        StoreLogin(db.parameters());
        windows.start();
    }
    ~ImportWindowOptions() override { testing::ClearSettings(); }

    ImportWindow& form() { return *windows.importWindow(); }
    const ImportWindowControls& c() { return form().controls(); }

    ScratchDatabase db;
    ScriptedDialogs dialogs;
    ApplicationWindows windows{dialogs};
};

TEST_F(ImportWindowOptions, FirstDisplayIsCreateModeWithHeaderRowColumns)
{
    ASSERT_NE(windows.importWindow(), nullptr);
    const std::map<std::string, bool> expected = {
        {"createTableOption", true}, {"appendOption", true}, {"createOptionsFrame", true},  {"headerColumnsOption", true},
        {"promptedColumnsOption", true}, {"tableNameLabel", true},  {"tableNameEdit", true},   {"appendOptionsFrame", false},
        {"ignoreHeaderCheck", false}, {"tableListLabel", false}, {"tableList", false},
        {"upperCaseNamesCheck", true}, {"columnTypesLabel", true}, {"columnTypesChoice", true},
        {"matchNamesCheck", false}};
    EXPECT_EQ(Enabling(c()), expected);
    EXPECT_TRUE(c().createTableOption->isChecked());
    EXPECT_TRUE(c().headerColumnsOption->isChecked());
    EXPECT_FALSE(c().ignoreHeaderCheck->isChecked());
    EXPECT_EQ(c().tableNameEdit->text(), QStringLiteral("NewTable[counter]"));
    EXPECT_EQ(c().separatorEdit->text(), QStringLiteral(","));
}

TEST_F(ImportWindowOptions, AppendModeEnablesTheAppendFrameAndKeepsTheCreateFrame)
{
    QTest::mouseClick(c().appendOption, Qt::LeftButton);
    const std::map<std::string, bool> expected = {
        {"createTableOption", true},  {"appendOption", true},  {"createOptionsFrame", true},  {"headerColumnsOption", false},
        {"promptedColumnsOption", false}, {"tableNameLabel", false},  {"tableNameEdit", false},  {"appendOptionsFrame", true},
        {"ignoreHeaderCheck", true},   {"tableListLabel", true},   {"tableList", true},
        {"upperCaseNamesCheck", false}, {"columnTypesLabel", false}, {"columnTypesChoice", false},
        {"matchNamesCheck", true}};
    EXPECT_EQ(Enabling(c()), expected);
    EXPECT_EQ(form().importOptions().currentOptions().mode, ImportMode::AppendExisting);
}

TEST_F(ImportWindowOptions, AppendThenCreateRestoresTheFirstDisplayExactly)
{
    const auto first = Enabling(c());
    QTest::mouseClick(c().appendOption, Qt::LeftButton);
    ASSERT_NE(Enabling(c()), first);
    QTest::mouseClick(c().createTableOption, Qt::LeftButton);
    EXPECT_EQ(Enabling(c()), first);
    EXPECT_EQ(form().importOptions().currentOptions().mode, ImportMode::CreateNew);
}

TEST_F(ImportWindowOptions, PromptedColumnsOptionIsKeptAcrossAppendModeAndBack)
{
    QTest::mouseClick(c().promptedColumnsOption, Qt::LeftButton);
    QTest::mouseClick(c().appendOption, Qt::LeftButton);
    EXPECT_TRUE(c().promptedColumnsOption->isChecked());
    QTest::mouseClick(c().createTableOption, Qt::LeftButton);
    EXPECT_TRUE(c().promptedColumnsOption->isChecked());
    EXPECT_FALSE(c().headerColumnsOption->isChecked());
    EXPECT_EQ(form().importOptions().currentOptions().columnSource, ColumnSource::Prompted);
}

TEST_F(ImportWindowOptions, OptionsAreReadFromTheControlsAtEveryCall)
{
    ImportOptionsSource& source = form().importOptions();
    EXPECT_EQ(source.currentOptions().separator, QStringLiteral(","));
    EXPECT_FALSE(source.currentOptions().selectedTable.has_value());

    c().separatorEdit->setText(QStringLiteral("||"));
    c().tableNameEdit->setText(QStringLiteral("Load[counter]"));
    QTest::mouseClick(c().appendOption, Qt::LeftButton);
    const int places = c().tableList->row(c().tableList->findItems(QStringLiteral("PLACES"), Qt::MatchExactly).value(0));
    ASSERT_GE(places, 0);
    c().tableList->item(places)->setSelected(true);

    const ImportOptions now = source.currentOptions();
    EXPECT_EQ(now.separator, QStringLiteral("||"));
    EXPECT_EQ(now.tableNamePattern, QStringLiteral("Load[counter]"));
    EXPECT_EQ(now.selectedTable, std::optional<QString>(QStringLiteral("PLACES")));
    EXPECT_EQ(form().tableList().selectedItem(), std::optional<QString>(QStringLiteral("PLACES")));
}

// The reading choices start as Automatic, unquoted and not fast, reach the
// run, and a window opened later shows them as they were left.
TEST_F(ImportWindowOptions, ReadingChoicesAreRememberedAndReachTheRun)
{
    EXPECT_EQ(c().encodingChoice->currentText(), QStringLiteral("Automatic"));
    EXPECT_FALSE(c().quotedFieldsCheck->isChecked());
    EXPECT_EQ(form().importOptions().currentOptions().encoding, QString());
    EXPECT_FALSE(form().importOptions().currentOptions().quotedFields);
    EXPECT_FALSE(form().importOptions().currentOptions().fastLoad);
    EXPECT_FALSE(form().importOptions().currentOptions().matchColumnsByName);
    QStringList offered;
    for (int i = 0; i < c().encodingChoice->count(); ++i)
        offered << c().encodingChoice->itemText(i);
    EXPECT_EQ(offered, (QStringList{"Automatic", "UTF-8", "UTF-16", "Windows-1252", "ISO-8859-1",
                                    "ISO-8859-15"}));

    c().encodingChoice->setCurrentText(QStringLiteral("Windows-1252"));
    QTest::mouseClick(c().quotedFieldsCheck, Qt::LeftButton);
    QTest::mouseClick(c().fastLoadCheck, Qt::LeftButton);
    c().appendOption->click();  // the matching is an append choice
    QTest::mouseClick(c().matchNamesCheck, Qt::LeftButton);
    EXPECT_TRUE(form().importOptions().currentOptions().fastLoad);
    EXPECT_TRUE(form().importOptions().currentOptions().matchColumnsByName);
    EXPECT_EQ(form().importOptions().currentOptions().encoding, QStringLiteral("Windows-1252"));
    EXPECT_TRUE(form().importOptions().currentOptions().quotedFields);
    form().load();  // a hand-over from the login window keeps them
    EXPECT_TRUE(c().quotedFieldsCheck->isChecked());

    ApplicationWindows later{dialogs};
    later.start();
    ASSERT_NE(later.importWindow(), nullptr);
    EXPECT_EQ(later.importWindow()->controls().encodingChoice->currentText(), QStringLiteral("Windows-1252"));
    EXPECT_TRUE(later.importWindow()->controls().quotedFieldsCheck->isChecked());
    EXPECT_TRUE(later.importWindow()->controls().fastLoadCheck->isChecked());
    EXPECT_TRUE(later.importWindow()->controls().matchNamesCheck->isChecked());
}

// F5 (and "Refresh" on the list) lists a table made elsewhere, keeps the
// selection and touches nothing else; during a run it does nothing.
TEST_F(ImportWindowOptions, RefreshListsNewTablesAndKeepsTheSelection)
{
    // In create mode the list is disabled, and F5 still works.
    c().tableList->findItems(QStringLiteral("PLACES"), Qt::MatchExactly).value(0)->setSelected(true);
    c().separatorEdit->setText(QStringLiteral(";"));
    testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE MADE_ELSEWHERE (NAME LONG VARCHAR)"));
    form().setImportRunning(true);
    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    QTest::keyClick(&form(), Qt::Key_F5);
    EXPECT_TRUE(c().tableList->findItems(QStringLiteral("MADE_ELSEWHERE"), Qt::MatchExactly).isEmpty());
    form().setImportRunning(false);

    QTest::keyClick(&form(), Qt::Key_F5);
    EXPECT_FALSE(c().tableList->findItems(QStringLiteral("MADE_ELSEWHERE"), Qt::MatchExactly).isEmpty());
    EXPECT_EQ(form().tableList().selectedItem(), std::optional<QString>(QStringLiteral("PLACES")));
    EXPECT_EQ(c().separatorEdit->text(), QStringLiteral(";"));
    EXPECT_TRUE(c().createTableOption->isChecked());

    testing::RunSql(db.parameters(), QStringLiteral("DROP TABLE PLACES"));
    ASSERT_EQ(c().tableList->contextMenuPolicy(), Qt::ActionsContextMenu);
    const QList<QAction*> menu = c().tableList->actions();
    ASSERT_EQ(menu.size(), 1);
    EXPECT_EQ(menu.front()->text(), QStringLiteral("Refresh"));
    menu.front()->trigger();
    QStringList listed = form().tableList().items();
    listed.sort();  // in the catalogue's order
    EXPECT_EQ(listed, (QStringList{"MADE_ELSEWHERE", "PEOPLE"}));
    EXPECT_FALSE(form().tableList().selectedItem().has_value());
    EXPECT_TRUE(dialogs.shown().empty());
}

// The create choices start as text columns and names as written, reach the
// run, are stored under their own keys, and a later window shows them.
TEST_F(ImportWindowOptions, CreateChoicesAreRememberedAndReachTheRun)
{
    QStringList offered;
    for (int i = 0; i < c().columnTypesChoice->count(); ++i)
        offered << c().columnTypesChoice->itemText(i);
    EXPECT_EQ(offered, (QStringList{"Text (LONG VARCHAR)", "Detected from the file"}));
    EXPECT_EQ(c().columnTypesChoice->currentText(), QStringLiteral("Text (LONG VARCHAR)"));
    EXPECT_FALSE(c().upperCaseNamesCheck->isChecked());
    EXPECT_FALSE(form().importOptions().currentOptions().detectColumnTypes);
    EXPECT_FALSE(form().importOptions().currentOptions().upperCaseNames);

    c().columnTypesChoice->setCurrentText(QStringLiteral("Detected from the file"));
    QTest::mouseClick(c().upperCaseNamesCheck, Qt::LeftButton);
    EXPECT_TRUE(form().importOptions().currentOptions().detectColumnTypes);
    EXPECT_TRUE(form().importOptions().currentOptions().upperCaseNames);
    EXPECT_EQ(SettingsStore().GetSetting(SettingsKey::ColumnTypes), QStringLiteral("Detected"));
    EXPECT_EQ(SettingsStore().GetSetting(SettingsKey::UpperCaseNames), QStringLiteral("true"));

    ApplicationWindows later{dialogs};
    later.start();
    ASSERT_NE(later.importWindow(), nullptr);
    EXPECT_EQ(later.importWindow()->controls().columnTypesChoice->currentText(),
              QStringLiteral("Detected from the file"));
    EXPECT_TRUE(later.importWindow()->controls().upperCaseNamesCheck->isChecked());

    c().columnTypesChoice->setCurrentText(QStringLiteral("Text (LONG VARCHAR)"));
    EXPECT_EQ(SettingsStore().GetSetting(SettingsKey::ColumnTypes), QStringLiteral("Text"));
}

TEST_F(ImportWindowOptions, CurrentRowWithoutSelectionPicksNoTable)
{
    QTest::mouseClick(c().appendOption, Qt::LeftButton);
    c().tableList->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    EXPECT_FALSE(form().importOptions().currentOptions().selectedTable.has_value());
}

TEST_F(ImportWindowOptions, QuestionMarkExplainsTheFormatExactly)
{
    dialogs.expectMessage(QStringLiteral(
        "Text files should look like this:\r\n\r\n"
        "Name,State\r\nPeter,NH\r\nJane,MA\r\n\r\n"
        "Also, if appending, make sure the number of columns in the text file match the number of "
        "columns in the table.\r\n\r\n"
        "When appending, number of columns and data types (number, decimal, text, etc.) must be "
        "identical.\r\n\r\n"
        "In the separator, type \\t for a tab and \\\\ for a backslash.\r\n\r\n"
        "File encoding: Automatic reads a file with a byte-order mark as the mark says, a file that is valid UTF-8 throughout as UTF-8, and any other as Windows-1252; a line that cannot be read in the chosen encoding is reported and not sent.\r\n\r\n"
        "With \"Fields may be enclosed in double quotes\", a field such as \"Smith, John\" may hold the separator and line breaks, and \"\" inside it stands for one double quote."));
    QTest::mouseClick(c().separatorHelpButton, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown().front().title, QStringLiteral("Quorvane"));
    EXPECT_FALSE(dialogs.shown().front().warningIcon);
}

TEST_F(ImportWindowOptions, HoverKeepsTheHourglassWhileBusy)
{
    form().busyIndicator().setBusy(true);
    for (QWidget* control : {static_cast<QWidget*>(c().importButton), static_cast<QWidget*>(c().tableOptionsFrame),
                             static_cast<QWidget*>(c().separatorEdit), static_cast<QWidget*>(&form())})
        MoveMouseOver(control);
    EXPECT_EQ(form().cursor().shape(), Qt::WaitCursor);

    form().busyIndicator().setBusy(false);
    MoveMouseOver(c().addFolderButton);
    EXPECT_EQ(form().pointer().state(), PointerState::Custom);
    MoveMouseOver(c().separatorFrame);
    EXPECT_EQ(form().pointer().state(), PointerState::Default);
    MoveMouseOver(c().separatorHelpButton);
    MoveMouseOver(c().tableNameEdit);  // leaves the pointer as it was
    EXPECT_EQ(form().pointer().state(), PointerState::Custom);
}

TEST_F(ImportWindowOptions, WindowUsesButtonFaceColoursAndItsSize)
{
    EXPECT_EQ(form().palette().color(QPalette::Window),
              QGuiApplication::palette().color(QPalette::Button));
    EXPECT_EQ(form().size(), QSize(1064, 376));  // 15960 by 5160 twips and the reading strip
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Quorvane"));
    EXPECT_TRUE(form().font().bold());
}

struct PlaceCase {
    const char* name;
    QString caption;
    QRect twips;
};

QWidget* ControlNamed(const ImportWindowControls& c, const QString& name)
{
    const std::pair<const char*, QWidget*> all[] = {
        {"backButton", c.backButton}, {"fileList", c.fileList}, {"separatorFrame", c.separatorFrame},
        {"separatorEdit", c.separatorEdit},             {"separatorHelpButton", c.separatorHelpButton},
        {"addFilesButton", c.addFilesButton}, {"addFolderButton", c.addFolderButton},
        {"importButton", c.importButton}, {"tableOptionsFrame", c.tableOptionsFrame},       {"createTableOption", c.createTableOption},
        {"createOptionsFrame", c.createOptionsFrame},           {"headerColumnsOption", c.headerColumnsOption},     {"promptedColumnsOption", c.promptedColumnsOption},
        {"tableNameLabel", c.tableNameLabel},           {"tableNameEdit", c.tableNameEdit},         {"appendOption", c.appendOption},
        {"appendOptionsFrame", c.appendOptionsFrame},           {"ignoreHeaderCheck", c.ignoreHeaderCheck},       {"tableListLabel", c.tableListLabel},
        {"tableList", c.tableList},     {"readingStrip", c.readingStrip},
        {"encodingLabel", c.encodingLabel}, {"encodingChoice", c.encodingChoice},
        {"quotedFieldsCheck", c.quotedFieldsCheck}, {"fastLoadCheck", c.fastLoadCheck},
        {"previewButton", c.previewButton},
        {"columnTypesLabel", c.columnTypesLabel}, {"columnTypesChoice", c.columnTypesChoice},
        {"upperCaseNamesCheck", c.upperCaseNamesCheck},
        {"matchNamesCheck", c.matchNamesCheck}};
    for (const auto& [n, w] : all)
        if (name == QLatin1String(n))
            return w;
    return nullptr;
}

class ImportWindowLayout : public ImportWindowOptions, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(ImportWindowLayout, ControlHasItsCaptionAndPlace)
{
    testing::ExpectCaptionPlaceAndFont(ControlNamed(c(), QLatin1String(GetParam().name)),
                                       GetParam().twips, GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, ImportWindowLayout,
    ::testing::Values(
        PlaceCase{"backButton", "< Back To Setup", {120, 120, 7800, 405}},
        PlaceCase{"fileList", "", {120, 630, 7800, 2535}},
        PlaceCase{"separatorFrame", "Fields are separated by this character or these characters",
                  {120, 3210, 7800, 825}},
        PlaceCase{"separatorEdit", "", {240, 300, 6615, 345}},
        PlaceCase{"separatorHelpButton", "?", {6960, 300, 615, 345}},
        PlaceCase{"addFilesButton", "Add Text File(s)", {120, 4140, 3840, 405}},
        PlaceCase{"addFolderButton", "Add All File(s) In Folder", {4080, 4140, 3840, 405}},
        PlaceCase{"importButton", "Import to IBM DB2", {120, 4650, 7815, 405}},
        PlaceCase{"tableOptionsFrame", "Table Options", {8040, 30, 7800, 5045}},
        PlaceCase{"createTableOption", "Create New Table From Text File", {180, 360, 3495, 255}},
        PlaceCase{"createOptionsFrame", "Create New Table Options", {180, 720, 5775, 1455}},
        PlaceCase{"headerColumnsOption", "First line in file will be used to create table columns",
                  {120, 300, 4695, 255}},
        PlaceCase{"promptedColumnsOption", "Ignore first line, user-specified columns names", {120, 600, 4455, 255}},
        PlaceCase{"tableNameLabel", "Table Name:", {240, 960, 1215, 255}},
        PlaceCase{"tableNameEdit", "", {1680, 960, 3735, 330}},
        PlaceCase{"appendOption", "Append to Existing Table From Text File", {180, 2280, 4095, 255}},
        PlaceCase{"appendOptionsFrame", "Append to Existing Table Options", {180, 2640, 5775, 2175}},
        PlaceCase{"ignoreHeaderCheck", "Ignore first line in file because it is a header row with no data",
                  {120, 360, 5535, 255}},
        PlaceCase{"tableListLabel", "Table Name:", {240, 720, 1215, 255}},
        PlaceCase{"tableList", "", {1680, 720, 3735, 1185}},
        PlaceCase{"readingStrip", "", {120, 5160, 15720, 405}},
        PlaceCase{"encodingLabel", "File encoding:", {0, 75, 1335, 255}},
        PlaceCase{"encodingChoice", "", {1440, 30, 2400, 345}},
        PlaceCase{"quotedFieldsCheck", "Fields may be enclosed in double quotes", {4080, 75, 3840, 255}},
        PlaceCase{"fastLoadCheck", "Fast load (rows in batches)", {8040, 75, 2760, 255}},
        PlaceCase{"previewButton", "Preview", {10860, 30, 960, 345}},
        PlaceCase{"columnTypesLabel", "Column types:", {11880, 75, 1335, 255}},
        PlaceCase{"columnTypesChoice", "", {13260, 30, 2460, 345}},
        PlaceCase{"upperCaseNamesCheck", "Upper-case names", {3840, 360, 2400, 255}},
        PlaceCase{"matchNamesCheck", "Match columns by name", {4440, 2280, 3240, 255}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvane
