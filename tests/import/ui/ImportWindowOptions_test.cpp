// The import window's options panel: its design, the enabling of the two
// modes, and the options as the import run reads them.
#include "base/ErrorReport.h"
#include "base/Settings.h"
#include "app/ApplicationWindows.h"
#include "widgets/Twips.h"
#include "widgets/WindowPointer.h"
#include "filelist/ui/FileListView.h"
#include "import/ui/ImportWindow.h"

#include "ScriptedDialogs.h"
#include "WidgetChecks.h"
#include "TestSupport.h"

#include <QApplication>
#include <QCheckBox>
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

std::map<std::string, bool> Enabling(const Form2Controls& c)
{
    return {{"Option1", c.Option1->isEnabled()}, {"Option2", c.Option2->isEnabled()},
            {"Frame3", c.Frame3->isEnabled()},   {"Option3", c.Option3->isEnabled()},
            {"Option4", c.Option4->isEnabled()}, {"Label5", c.Label5->isEnabled()},
            {"Text2", c.Text2->isEnabled()},     {"Frame4", c.Frame4->isEnabled()},
            {"Check2", c.Check2->isEnabled()},   {"Label2", c.Label2->isEnabled()},
            {"List1", c.List1->isEnabled()}};
}

// The import window after a start with fields that connect.
class Form2OptionsPanel : public ::testing::Test {
protected:
    Form2OptionsPanel()
    {
        testing::ClearSettings();
        testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE PEOPLE (NAME LONG VARCHAR)"));
        testing::RunSql(db.parameters(), QStringLiteral("CREATE TABLE PLACES (NAME LONG VARCHAR)"));
        StoreLogin(db.parameters());
        windows.start();
    }
    ~Form2OptionsPanel() override { testing::ClearSettings(); }

    Form2& form() { return *windows.importWindow(); }
    const Form2Controls& c() { return form().controls(); }

    ScratchDatabase db;
    ScriptedDialogs dialogs;
    ApplicationWindows windows{dialogs};
};

TEST_F(Form2OptionsPanel, FirstDisplayIsCreateModeWithHeaderRowColumns)
{
    ASSERT_NE(windows.importWindow(), nullptr);
    const std::map<std::string, bool> expected = {
        {"Option1", true}, {"Option2", true}, {"Frame3", true},  {"Option3", true},
        {"Option4", true}, {"Label5", true},  {"Text2", true},   {"Frame4", false},
        {"Check2", false}, {"Label2", false}, {"List1", false}};
    EXPECT_EQ(Enabling(c()), expected);
    EXPECT_TRUE(c().Option1->isChecked());
    EXPECT_TRUE(c().Option3->isChecked());
    EXPECT_FALSE(c().Check2->isChecked());
    EXPECT_EQ(c().Text2->text(), QStringLiteral("NewTable[counter]"));
    EXPECT_EQ(c().Text3->text(), QStringLiteral(","));
}

TEST_F(Form2OptionsPanel, AppendModeEnablesTheAppendFrameAndKeepsFrame3)
{
    QTest::mouseClick(c().Option2, Qt::LeftButton);
    const std::map<std::string, bool> expected = {
        {"Option1", true},  {"Option2", true},  {"Frame3", true},  {"Option3", false},
        {"Option4", false}, {"Label5", false},  {"Text2", false},  {"Frame4", true},
        {"Check2", true},   {"Label2", true},   {"List1", true}};
    EXPECT_EQ(Enabling(c()), expected);
    EXPECT_EQ(form().importOptions().currentOptions().mode, ImportMode::AppendExisting);
}

TEST_F(Form2OptionsPanel, Option2ThenOption1RestoresTheFirstDisplayExactly)
{
    const auto first = Enabling(c());
    QTest::mouseClick(c().Option2, Qt::LeftButton);
    ASSERT_NE(Enabling(c()), first);
    QTest::mouseClick(c().Option1, Qt::LeftButton);
    EXPECT_EQ(Enabling(c()), first);
    EXPECT_EQ(form().importOptions().currentOptions().mode, ImportMode::CreateNew);
}

TEST_F(Form2OptionsPanel, Option4IsKeptAcrossAppendModeAndBack)
{
    QTest::mouseClick(c().Option4, Qt::LeftButton);
    QTest::mouseClick(c().Option2, Qt::LeftButton);
    EXPECT_TRUE(c().Option4->isChecked());
    QTest::mouseClick(c().Option1, Qt::LeftButton);
    EXPECT_TRUE(c().Option4->isChecked());
    EXPECT_FALSE(c().Option3->isChecked());
    EXPECT_EQ(form().importOptions().currentOptions().columnSource, ColumnSource::Prompted);
}

TEST_F(Form2OptionsPanel, OptionsAreReadFromTheControlsAtEveryCall)
{
    ImportOptionsSource& source = form().importOptions();
    EXPECT_EQ(source.currentOptions().separator, QStringLiteral(","));
    EXPECT_FALSE(source.currentOptions().selectedTable.has_value());

    c().Text3->setText(QStringLiteral("||"));
    c().Text2->setText(QStringLiteral("Load[counter]"));
    QTest::mouseClick(c().Option2, Qt::LeftButton);
    const int places = c().List1->row(c().List1->findItems(QStringLiteral("PLACES"), Qt::MatchExactly).value(0));
    ASSERT_GE(places, 0);
    c().List1->item(places)->setSelected(true);

    const ImportOptions now = source.currentOptions();
    EXPECT_EQ(now.separator, QStringLiteral("||"));
    EXPECT_EQ(now.tableNamePattern, QStringLiteral("Load[counter]"));
    EXPECT_EQ(now.selectedTable, std::optional<QString>(QStringLiteral("PLACES")));
    EXPECT_EQ(form().tableList().selectedItem(), std::optional<QString>(QStringLiteral("PLACES")));
}

TEST_F(Form2OptionsPanel, CurrentRowWithoutSelectionPicksNoTable)
{
    QTest::mouseClick(c().Option2, Qt::LeftButton);
    c().List1->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    EXPECT_FALSE(form().importOptions().currentOptions().selectedTable.has_value());
}

TEST_F(Form2OptionsPanel, QuestionMarkExplainsTheFormatExactly)
{
    dialogs.expectMessage(QStringLiteral(
        "Text files should look like this:\r\n\r\n"
        "Name,State\r\nPeter,NH\r\nJane,MA\r\n\r\n"
        "Also, if appending, make sure the number of columns in the text file match the number of "
        "columns in the table.\r\n\r\n"
        "When appending, number of columns and data types (number, decimal, text, etc.) must be "
        "identical.\r\n\r\n"
        "In the separator, type \\t for a tab and \\\\ for a backslash."));
    QTest::mouseClick(c().PushButton6, Qt::LeftButton);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown().front().title, QStringLiteral("Quorvane"));
    EXPECT_FALSE(dialogs.shown().front().warningIcon);
}

TEST_F(Form2OptionsPanel, HoverKeepsTheHourglassWhileBusy)
{
    form().busyIndicator().setBusy(true);
    for (QWidget* control : {static_cast<QWidget*>(c().PushButton1), static_cast<QWidget*>(c().Frame2),
                             static_cast<QWidget*>(c().Text3), static_cast<QWidget*>(&form())})
        MoveMouseOver(control);
    EXPECT_EQ(form().cursor().shape(), Qt::WaitCursor);

    form().busyIndicator().setBusy(false);
    MoveMouseOver(c().PushButton4);
    EXPECT_EQ(form().pointer().state(), PointerState::Custom);
    MoveMouseOver(c().Frame1);
    EXPECT_EQ(form().pointer().state(), PointerState::Default);
    MoveMouseOver(c().PushButton6);
    MoveMouseOver(c().Text2);  // leaves the pointer as it was
    EXPECT_EQ(form().pointer().state(), PointerState::Custom);
}

TEST_F(Form2OptionsPanel, WindowUsesButtonFaceColoursAndItsSize)
{
    EXPECT_EQ(form().palette().color(QPalette::Window),
              QGuiApplication::palette().color(QPalette::Button));
    EXPECT_EQ(form().size(), QSize(1064, 344));
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Quorvane"));
    EXPECT_TRUE(form().font().bold());
}

struct PlaceCase {
    const char* name;
    QString caption;
    QRect twips;
};

QWidget* ControlNamed(const Form2Controls& c, const QString& name)
{
    const std::pair<const char*, QWidget*> all[] = {
        {"PushButton5", c.PushButton5}, {"ListView1", c.ListView1}, {"Frame1", c.Frame1},
        {"Text3", c.Text3},             {"PushButton6", c.PushButton6},
        {"PushButton3", c.PushButton3}, {"PushButton4", c.PushButton4},
        {"PushButton1", c.PushButton1}, {"Frame2", c.Frame2},       {"Option1", c.Option1},
        {"Frame3", c.Frame3},           {"Option3", c.Option3},     {"Option4", c.Option4},
        {"Label5", c.Label5},           {"Text2", c.Text2},         {"Option2", c.Option2},
        {"Frame4", c.Frame4},           {"Check2", c.Check2},       {"Label2", c.Label2},
        {"List1", c.List1}};
    for (const auto& [n, w] : all)
        if (name == QLatin1String(n))
            return w;
    return nullptr;
}

class Form2Layout : public Form2OptionsPanel, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(Form2Layout, ControlHasItsCaptionAndPlace)
{
    testing::ExpectCaptionPlaceAndFont(ControlNamed(c(), QLatin1String(GetParam().name)),
                                       GetParam().twips, GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, Form2Layout,
    ::testing::Values(
        PlaceCase{"PushButton5", "< Back To Setup", {120, 120, 7800, 405}},
        PlaceCase{"ListView1", "", {120, 630, 7800, 2535}},
        PlaceCase{"Frame1", "Fields are separated by this character or these characters",
                  {120, 3210, 7800, 825}},
        PlaceCase{"Text3", "", {240, 300, 6615, 345}},
        PlaceCase{"PushButton6", "?", {6960, 300, 615, 345}},
        PlaceCase{"PushButton3", "Add Text File(s)", {120, 4140, 3840, 405}},
        PlaceCase{"PushButton4", "Add All File(s) In Folder", {4080, 4140, 3840, 405}},
        PlaceCase{"PushButton1", "Import to IBM DB2", {120, 4650, 7815, 405}},
        PlaceCase{"Frame2", "Table Options", {8040, 30, 7800, 5045}},
        PlaceCase{"Option1", "Create New Table From Text File", {180, 360, 3495, 255}},
        PlaceCase{"Frame3", "Create New Table Options", {180, 720, 5775, 1455}},
        PlaceCase{"Option3", "First line in file will be used to create table columns",
                  {120, 300, 4695, 255}},
        PlaceCase{"Option4", "Ignore first line, user-specified columns names", {120, 600, 4455, 255}},
        PlaceCase{"Label5", "Table Name:", {240, 960, 1215, 255}},
        PlaceCase{"Text2", "", {1680, 960, 3735, 330}},
        PlaceCase{"Option2", "Append to Existing Table From Text File", {180, 2280, 4095, 255}},
        PlaceCase{"Frame4", "Append to Existing Table Options", {180, 2640, 5775, 2175}},
        PlaceCase{"Check2", "Ignore first line in file because it is a header row with no data",
                  {120, 360, 5535, 255}},
        PlaceCase{"Label2", "Table Name:", {240, 720, 1215, 255}},
        PlaceCase{"List1", "", {1680, 720, 3735, 1185}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvane
