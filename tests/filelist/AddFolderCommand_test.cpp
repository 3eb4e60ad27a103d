#include "filelist/FileListCommands.h"

#include "base/ApplicationTitle.h"
#include "base/BusyIndicator.h"
#include "base/ErrorReport.h"
#include "base/EventPump.h"
#include "base/Failure.h"
#include "base/Settings.h"
#include "filelist/FileList.h"

#include "ScriptedDialogs.h"
#include "TestBasics.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace quorvane;
using quorvane::testing::ScriptedDialogs;
using quorvane::testing::WriteFile;

namespace {

class RecordingPump : public EventPump {
public:
    void processEvents() override
    {
        if (onCall)
            onCall();
    }
    std::function<void()> onCall;
};

class RecordingBusy : public BusyIndicator {
public:
    void setBusy(bool busy) override
    {
        busy_ = busy;
        changes.push_back(busy);
    }
    bool isBusy() const override { return busy_; }
    std::vector<bool> changes;

private:
    bool busy_ = false;
};

// A list whose window refuses the given rows, to see a failure reported
// and the scan go on.
class RefusingFileList : public FileList {
public:
    explicit RefusingFileList(QString refused) : refused_(std::move(refused)) {}
    int count() const override { return static_cast<int>(rows.size()); }
    QString path(int row) const override { return rows.value(row - 1); }
    void append(const QString& path) override
    {
        if (path.endsWith(refused_))
            throw Failure(QStringLiteral("row refused"));
        rows.append(path);
    }
    QStringList rows;

private:
    QString refused_;
};

class AddFolderCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        quorvane::testing::ClearSettings();
        for (const char* name : {"a.txt", "B.TXT", "c.csv", "noext", "~lock.txt", ".hidden.txt",
                                 "sub/d.txt", "sub/e.doc", "sub/deeper/f.txt", ".dotdir/g.txt"})
            WriteFile(root_ + "/" + name, "x");
    }

    QStringList rows(const QStringList& relative) const
    {
        QStringList full;
        for (const QString& path : relative)
            full << root_ + "/" + path;
        return full;
    }

    void run(FileList& list)
    {
        SettingsStore settings;
        AddAllFilesInFolder(dialogs_, settings, list, busy_, pump_);
    }

    QTemporaryDir dir_;
    QString root_ = dir_.path();
    ScriptedDialogs dialogs_;
    RecordingBusy busy_;
    RecordingPump pump_;
    PlainFileList list_;
};

struct ExtensionCase {
    const char* answer;
    QStringList expected;
};
void PrintTo(const ExtensionCase& c, std::ostream* os) { *os << c.answer; }

class ExtensionAnswers : public AddFolderCommand, public ::testing::WithParamInterface<ExtensionCase> {};

TEST_P(ExtensionAnswers, AppendMatchingFilesLevelByLevel)
{
    dialogs_.expectInput(kExtensionPrompt, GetParam().answer).expectFolder(root_);
    run(list_);
    EXPECT_EQ(list_.paths(), rows(GetParam().expected));
}

// "~" names and a plain dot-file are passed over; a hidden folder is searched.
INSTANTIATE_TEST_SUITE_P(
    AddFolderCommand, ExtensionAnswers,
    ::testing::Values(
        ExtensionCase{"txt", {"a.txt", "B.TXT", ".dotdir/g.txt", "sub/d.txt", "sub/deeper/f.txt"}},
        ExtensionCase{"TXT", {"a.txt", "B.TXT", ".dotdir/g.txt", "sub/d.txt", "sub/deeper/f.txt"}},
        ExtensionCase{"*",
                      {"a.txt", "B.TXT", "c.csv", "noext", ".dotdir/g.txt", "sub/d.txt", "sub/e.doc",
                       "sub/deeper/f.txt"}},
        ExtensionCase{"doc", {"sub/e.doc"}}, ExtensionCase{"xls", {}}),
    [](const auto& info) {
        return std::string(info.param.answer) == "*" ? std::string("Star") : std::string(info.param.answer);
    });

TEST_F(AddFolderCommand, PromptIsTitledAndOffersTxtFirstThenTheLastAnswer)
{
    dialogs_.expectInput(kExtensionPrompt, "csv").expectFolder(root_);
    run(list_);
    dialogs_.expectInput(kExtensionPrompt, "").then([] {});
    run(list_);

    ASSERT_EQ(dialogs_.shown().size(), 3u);
    EXPECT_EQ(dialogs_.shown()[0].title, ApplicationTitle());
    EXPECT_EQ(dialogs_.shown()[0].defaultAnswer, "txt");
    EXPECT_EQ(dialogs_.shown()[2].defaultAnswer, "csv");
    EXPECT_EQ(kExtensionPrompt,
              "Enter file extension to load:\r\r(* for all files, txt for all txt files, doc for all doc "
              "files, etc.)");
}

TEST_F(AddFolderCommand, BrowserOpensAtTheLastFolderAndTheChoiceIsStored)
{
    SettingsStore settings;
    settings.SaveSetting(SettingsKey::LastFolder, "/somewhere/else");
    dialogs_.expectInput(kExtensionPrompt, "txt").expectFolder(root_ + "/sub");
    run(list_);

    ASSERT_EQ(dialogs_.shown().size(), 2u);
    EXPECT_EQ(dialogs_.shown()[1].text, "Please select folder:");
    EXPECT_EQ(dialogs_.shown()[1].defaultAnswer, "/somewhere/else");
    EXPECT_EQ(settings.GetSetting(SettingsKey::LastFolder), root_ + "/sub");
    EXPECT_EQ(list_.paths(), rows({"sub/d.txt", "sub/deeper/f.txt"}));
}

TEST_F(AddFolderCommand, CancelledBrowserKeepsTheExtensionAndLeavesLastFolder)
{
    SettingsStore settings;
    settings.SaveSetting(SettingsKey::LastFolder, "/before");
    dialogs_.expectInput(kExtensionPrompt, "csv").expectFolder("");
    run(list_);

    EXPECT_EQ(settings.GetSetting(SettingsKey::Extension), "csv");
    EXPECT_EQ(settings.GetSetting(SettingsKey::LastFolder), "/before");
    EXPECT_EQ(list_.count(), 0);
    EXPECT_TRUE(busy_.changes.empty());
}

TEST_F(AddFolderCommand, EmptyAnswerEndsWithoutStoringOrBrowsing)
{
    SettingsStore settings;
    settings.SaveSetting(SettingsKey::Extension, "doc");
    dialogs_.expectInput(kExtensionPrompt, "");
    run(list_);

    EXPECT_EQ(settings.GetSetting(SettingsKey::Extension), "doc");
    EXPECT_FALSE(settings.contains(SettingsKey::LastFolder));
    EXPECT_EQ(list_.count(), 0);
}

TEST_F(AddFolderCommand, HourglassFromTheChosenFolderToTheEnd)
{
    std::vector<bool> busyWhilePumping;
    pump_.onCall = [&] { busyWhilePumping.push_back(busy_.isBusy()); };
    dialogs_.expectInput(kExtensionPrompt, "txt").expectFolder(root_).then([&] {
        EXPECT_FALSE(busy_.isBusy()) << "busy before the folder was chosen";
    });
    run(list_);

    EXPECT_EQ(busy_.changes, (std::vector<bool>{true, false}));
    ASSERT_FALSE(busyWhilePumping.empty());
    EXPECT_EQ(std::count(busyWhilePumping.begin(), busyWhilePumping.end(), false), 0);
}

TEST_F(AddFolderCommand, RowsAppearWhileTheWindowStillHandlesEvents)
{
    std::vector<int> rowsSeen;
    pump_.onCall = [&] { rowsSeen.push_back(list_.count()); };
    dialogs_.expectInput(kExtensionPrompt, "txt").expectFolder(root_);
    run(list_);

    ASSERT_EQ(list_.count(), 5);
    EXPECT_TRUE(std::any_of(rowsSeen.begin(), rowsSeen.end(), [](int n) { return n > 0 && n < 5; }))
        << "no event handling between the first and the last row";
}

TEST_F(AddFolderCommand, EndingTheProgramMidScanLeavesTheWindowIdle)
{
    pump_.onCall = [] { throw ProgramEnding{}; };
    dialogs_.expectInput(kExtensionPrompt, "txt").expectFolder(root_);
    PlainFileList list;
    SettingsStore settings;
    EXPECT_THROW(AddAllFilesInFolder(dialogs_, settings, list, busy_, pump_), ProgramEnding);
    EXPECT_FALSE(busy_.isBusy());
}

TEST_F(AddFolderCommand, FailedAppendIsReportedAndTheScanGoesOn)
{
    RefusingFileList list(QStringLiteral("/B.TXT"));
    dialogs_.expectInput(kExtensionPrompt, "txt")
        .expectFolder(root_)
        .expectErrorReport(Location::AddFolder, 128);
    run(list);

    EXPECT_EQ(list.rows, rows({"a.txt", ".dotdir/g.txt", "sub/d.txt", "sub/deeper/f.txt"}));
    EXPECT_FALSE(busy_.isBusy());
}

TEST_F(AddFolderCommand, ChosenFolderWithTrailingSeparatorGivesSingleSeparators)
{
    dialogs_.expectInput(kExtensionPrompt, "doc").expectFolder(root_ + "/sub/");
    run(list_);
    EXPECT_EQ(list_.paths(), rows({"sub/e.doc"}));
}

}  // namespace
