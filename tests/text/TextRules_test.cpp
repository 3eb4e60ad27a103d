#include "text/TextRules.h"

#include "base/Failure.h"
#include "text/TextRecords.h"
#include "ScriptedDialogs.h"
#include "TestBasics.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

using namespace quorvane;
using quorvane::testing::ScriptedDialogs;
using quorvane::testing::WriteFile;

namespace {

// Plain strings, so that a failing comparison prints readable text.
std::vector<std::string> Utf8(const QStringList& list)
{
    std::vector<std::string> out;
    for (const QString& s : list)
        out.push_back(s.toStdString());
    return out;
}

// The encoding an import reads the file in: the one its field-count pass
// settles on.
QString SettledBeforeImport(const QString& path) { return FieldCountPass(path, TextFormat()).run().encoding; }

QStringList ReadAllWithChunkSize(const QString& path, qint64 chunkSize)
{
    LineReader reader(path, SettledBeforeImport(path), chunkSize);
    QStringList lines;
    QString line;
    while (reader.next(line))
        lines << line;
    EXPECT_FALSE(reader.next(line)) << "the reader must stay finished";
    return lines;
}

// The lines as an import reads them: its records, unquoted, each one line.
QStringList ImportedLines(const QString& path)
{
    const QString separator = QStringLiteral(",");
    RecordReader reader(path, {separator, SettledBeforeImport(path), false});
    QStringList lines;
    for (TextRecord record; reader.next(record);)
        lines << record.lineText;
    return lines;
}

// The first line as an import reads it: the header its pass keeps.
QString ImportedHeaderLine(const QString& path)
{
    return FieldCountPass(path, TextFormat()).run().header.join(QLatin1Char(','));
}

class ScratchFolder {
public:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        WriteFile(path, bytes);
        return path;
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

// ---------------------------------------------------------------------------
// Line endings: every reader, at every chunk size, cuts the same lines.

struct LinesCase {
    const char* name;
    QByteArray bytes;
    std::vector<std::string> lines;
};

const std::vector<LinesCase>& LineCases()
{
    static const std::vector<LinesCase> cases = {
        {"CrLf", "h1,h2\r\na,b\r\nc,d", {"h1,h2", "a,b", "c,d"}},
        {"LfOnly", "h1,h2\na,b\nc,d", {"h1,h2", "a,b", "c,d"}},
        {"CrOnly", "h1,h2\ra,b\rc,d", {"h1,h2", "a,b", "c,d"}},
        {"Mixed", "h1,h2\r\na,b\nc,d\re,f", {"h1,h2", "a,b", "c,d", "e,f"}},
        {"TrailingCrLfGivesLastEmptyLine", "h\r\na\r\n", {"h", "a", ""}},
        {"TrailingLfGivesLastEmptyLine", "h\na\n", {"h", "a", ""}},
        {"TrailingCrGivesLastEmptyLine", "h\ra\r", {"h", "a", ""}},
        {"EmptyFileIsOneEmptyLine", "", {""}},
        {"NoLineBreak", "only", {"only"}},
        {"LoneLf", "\n", {"", ""}},
        {"LfThenCrAreTwoBreaks", "a\n\rb", {"a", "", "b"}},
        {"CrCrLfAreTwoBreaks", "a\r\r\nb", {"a", "", "b"}},
        {"BlankLinesKept", "a\n\n\r\n\rb", {"a", "", "", "", "b"}},
        {"Utf8Decoded", "Stra\xc3\x9f" "e,\xe2\x82\xac\n\xf0\x9f\x98\x80", {"Straße,€", "😀"}},
        {"ByteOrderMarkIsNotText", "\xef\xbb\xbfh\nx\xef\xbb\xbf", {"h", "x\xef\xbb\xbf"}},
        {"Utf16LeMarkCrLfAndCr", QByteArray("\xff\xfeh\0\r\0\n\0\xe9\0\r\0\x3d\xd8\x00\xde", 16),
         {"h", "\xc3\xa9", "\xf0\x9f\x98\x80"}},
        {"Utf16BeMarkLf", QByteArray("\xfe\xff\0a\0\n\0\t\0b", 10), {"a", "\tb"}},
        {"NotUtf8ReadAsWindows1252", "M\xfcller\r\n\x80 \xe2\x82", {"M\xc3\xbcller", "\xe2\x82\xac \xc3\xa2\xe2\x80\x9a"}},
        {"TabsAndSpacesKept", " a\tb \n", {" a\tb ", ""}},
        {"LongLineAcrossChunks", QByteArray(100, 'x') + "\r\n" + QByteArray(37, 'y'),
         {std::string(100, 'x'), std::string(37, 'y')}},
    };
    return cases;
}

class LineEndings : public ::testing::TestWithParam<std::tuple<LinesCase, qint64>> {
protected:
    ScratchFolder folder_;
};

TEST_P(LineEndings, LineReaderYieldsTheLines)
{
    const auto& [c, chunkSize] = GetParam();
    const QString path = folder_.write(QStringLiteral("f.txt"), c.bytes);
    EXPECT_EQ(Utf8(ReadAllWithChunkSize(path, chunkSize)), c.lines);
}

// Chunk sizes of 1 to 4 put every CR LF pair, every multi-byte character and
// every line across a chunk boundary somewhere; 64 KiB reads each file whole.
INSTANTIATE_TEST_SUITE_P(Files, LineEndings,
                         ::testing::Combine(::testing::ValuesIn(LineCases()),
                                            ::testing::Values(qint64(1), qint64(2), qint64(3),
                                                              qint64(4), qint64(64 * 1024))),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_chunk" +
                                    std::to_string(std::get<1>(info.param));
                         });

class ImportReaders : public ::testing::TestWithParam<LinesCase> {
protected:
    ScratchFolder folder_;
};

TEST_P(ImportReaders, GiveTheSameLinesAsTheStream)
{
    const QString path = folder_.write(QStringLiteral("f.txt"), GetParam().bytes);
    EXPECT_EQ(Utf8(ImportedLines(path)), GetParam().lines);
    EXPECT_EQ(ImportedHeaderLine(path).toStdString(), GetParam().lines.front());
}

INSTANTIATE_TEST_SUITE_P(Files, ImportReaders, ::testing::ValuesIn(LineCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LineEndingStyles, AllStylesGiveTheSameLines)
{
    ScratchFolder folder;
    const QStringList expected = {QStringLiteral("Name,Zip Code"), QStringLiteral("Ann,123"),
                                  QString(), QStringLiteral("Bo,456"), QString()};
    const QStringList paths = {
        folder.write(QStringLiteral("crlf.txt"), "Name,Zip Code\r\nAnn,123\r\n\r\nBo,456\r\n"),
        folder.write(QStringLiteral("lf.txt"), "Name,Zip Code\nAnn,123\n\nBo,456\n"),
        folder.write(QStringLiteral("cr.txt"), "Name,Zip Code\rAnn,123\r\rBo,456\r"),
        folder.write(QStringLiteral("mixed.txt"), "Name,Zip Code\nAnn,123\r\r\nBo,456\r"),
    };
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(Utf8(ImportedLines(path)), Utf8(expected));
        EXPECT_EQ(ImportedHeaderLine(path), expected.front());
    }
}

TEST(LineEndingStyles, CrLfSplitAtTheChunkBoundaryIsOneLineEnd)
{
    ScratchFolder folder;
    // The CR is the last byte of the first 4-byte chunk, the LF the first of the next.
    const QString path = folder.write(QStringLiteral("f.txt"), "abc\r\ndef\r\n");
    EXPECT_EQ(Utf8(ReadAllWithChunkSize(path, 4)), (std::vector<std::string>{"abc", "def", ""}));
}

TEST(LineEndingStyles, DefaultChunkBoundaryInALongFile)
{
    ScratchFolder folder;
    // With the default chunk of 64 KiB, byte 65535 is a CR and byte 65536 its LF.
    const QByteArray first(65535, 'a');
    const QString path = folder.write(QStringLiteral("f.txt"), first + "\r\nnext\r\n");
    const QStringList lines = ImportedLines(path);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines.at(0).size(), 65535);
    EXPECT_EQ(lines.at(1), QStringLiteral("next"));
    EXPECT_EQ(lines.at(2), QString());
}

// ---------------------------------------------------------------------------
// Files that cannot be read.

struct UnreadableCase {
    const char* name;
    std::function<QString(ScratchFolder&)> makePath;
    const char* reason;
};

class UnreadableFiles : public ::testing::TestWithParam<UnreadableCase> {};

TEST_P(UnreadableFiles, EveryReaderRaisesFailureNamingPathAndReason)
{
    ScratchFolder folder;
    const QString path = GetParam().makePath(folder);
    const std::vector<std::pair<const char*, std::function<void()>>> readers = {
        {"LineReader", [&] { LineReader reader(path); }},
        {"FieldCountPass", [&] { FieldCountPass pass(path, TextFormat()); }},
        {"RecordReader", [&] { RecordReader reader(path, TextFormat()); }},
    };
    for (const auto& [name, read] : readers) {
        SCOPED_TRACE(name);
        try {
            read();
            ADD_FAILURE() << "no failure for " << path.toStdString();
        } catch (const Failure& failure) {
            const QString description = failure.description();
            EXPECT_TRUE(description.startsWith(QStringLiteral("Cannot open file ") + path + ": "))
                << description.toStdString();
            EXPECT_TRUE(description.contains(QLatin1String(GetParam().reason), Qt::CaseInsensitive))
                << description.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, UnreadableFiles,
    ::testing::Values(
        UnreadableCase{"MissingFile",
                       [](ScratchFolder& f) { return f.path(QStringLiteral("missing.txt")); },
                       "No such file or directory"},
        UnreadableCase{"MissingFolder",
                       [](ScratchFolder& f) { return f.path(QStringLiteral("no/such/x.txt")); },
                       "No such file or directory"},
        UnreadableCase{"Folder",
                       [](ScratchFolder& f) {
                           const QString path = f.path(QStringLiteral("folder.txt"));
                           QDir().mkpath(path);
                           return path;
                       },
                       "directory"}),
    [](const auto& info) { return std::string(info.param.name); });

// Root reads every file, so the permission case runs this test program again
// as an unprivileged user, with only this test selected.
constexpr char kUnprivilegedFileVariable[] = "QUORVANE_UNREADABLE_FILE";

void ExpectPermissionDenied(const QString& path)
{
    try {
        FieldCountPass(path, TextFormat());
        FAIL() << "no failure for an unreadable file";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.description(),
                  QStringLiteral("Cannot open file ") + path + QStringLiteral(": Permission denied"));
    }
}

TEST(UnreadableFilePermission, RaisesFailureWithPermissionDenied)
{
    const QString childPath = qEnvironmentVariable(kUnprivilegedFileVariable);
    if (!childPath.isEmpty()) {
        ExpectPermissionDenied(childPath);  // the unprivileged run
        return;
    }
    // A file of mode 0600 in a folder everyone may enter.
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::ExeOther);
    const QString path = dir.filePath(QStringLiteral("locked.txt"));
    WriteFile(path, "a,b\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    if (geteuid() != 0) {
        QFile::setPermissions(path, QFile::WriteOwner);
        ExpectPermissionDenied(path);
        return;
    }

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(kUnprivilegedFileVariable), path);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                 QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
                 QStringLiteral("--gtest_filter=UnreadableFilePermission.*")});
    if (!child.waitForStarted(10000))
        GTEST_SKIP() << "setpriv is not available, so the unreadable-file case cannot run as root";
    ASSERT_TRUE(child.waitForFinished(60000)) << "the unprivileged run did not finish";
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

// ---------------------------------------------------------------------------
// Splitting a line into fields.

struct SplitCase {
    const char* name;
    const char* line;
    const char* separator;
    std::vector<std::string> fields;
};

class FieldSplitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(FieldSplitting, GivesTheFields)
{
    const SplitCase& c = GetParam();
    const QString line = QString::fromUtf8(c.line);
    const QString separator = QString::fromUtf8(c.separator);
    EXPECT_EQ(Utf8(SplitFields(line, separator)), c.fields);
}

TEST_P(FieldSplitting, CountAgreesWithSplit)
{
    const SplitCase& c = GetParam();
    EXPECT_EQ(CountFields(QString::fromUtf8(c.line), QString::fromUtf8(c.separator)),
              qsizetype(c.fields.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FieldSplitting,
    ::testing::Values(
        SplitCase{"TrailingSeparatorGivesLastEmptyField", "a,b,", ",", {"a", "b", ""}},
        SplitCase{"LeadingSeparatorGivesFirstEmptyField", ",b", ",", {"", "b"}},
        SplitCase{"TwoCharacterSeparatorSkippedWhole", "a|||b", "||", {"a", "|b"}},
        SplitCase{"EmptyLineGivesNoFields", "", ",", {}},
        SplitCase{"EmptyLineAndEmptySeparator", "", "", {}},
        SplitCase{"EmptySeparatorGivesWholeLine", "a,b c", "", {"a,b c"}},
        SplitCase{"EmptyFieldsInTheMiddleKept", "a,,b", ",", {"a", "", "b"}},
        SplitCase{"SeparatorOnlyGivesTwoEmptyFields", ",", ",", {"", ""}},
        SplitCase{"QuotedSeparatorIsStillCut", "\"x,y\",z", ",", {"\"x", "y\"", "z"}},
        SplitCase{"ApostrophesAndSpacesAreOrdinary", " O'Neil , x ", ",", {" O'Neil ", " x "}},
        SplitCase{"SeparatorIsCaseSensitive", "aXbxc", "x", {"aXb", "c"}},
        SplitCase{"LongSeparator", "a<sep>b<sep>", "<sep>", {"a", "b", ""}},
        SplitCase{"SeparatorLongerThanLine", "ab", "abc", {"ab"}},
        SplitCase{"TabSeparator", "a\tb\t\tc", "\t", {"a", "b", "", "c"}},
        SplitCase{"NonAsciiSeparator", "1§2§§3", "§", {"1", "2", "", "3"}},
        SplitCase{"NoSeparatorInLine", "abc", ";", {"abc"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The field-count check.

struct CountCheckCase {
    const char* name;
    QByteArray file;
    const char* separator;
    int expectedLastIndex;
    const char* report;  // nullptr: every line agrees
};

class FieldCountCheck : public ::testing::TestWithParam<CountCheckCase> {
protected:
    // The pass over the row's file, each line a record.
    FieldCountScan check()
    {
        TextFormat format;
        format.separator = QString::fromUtf8(GetParam().separator);
        return FieldCountPass(folder_.write(QStringLiteral("f.txt"), GetParam().file), format)
            .run(GetParam().expectedLastIndex);
    }
    ScratchFolder folder_;
};

TEST_P(FieldCountCheck, FindsTheFirstMismatch)
{
    const CountCheckCase& c = GetParam();
    const FieldCountScan scan = check();
    EXPECT_EQ(scan.result, c.report == nullptr ? FieldCountResult::Agreed : FieldCountResult::Mismatch);
    EXPECT_EQ(scan.report.toStdString(), c.report == nullptr ? "" : c.report);
}

TEST_P(FieldCountCheck, ShowsTheReportAndReturnsFalseOnceClosed)
{
    const CountCheckCase& c = GetParam();
    ScriptedDialogs dialogs;
    bool windowClosed = false;
    if (c.report != nullptr)
        dialogs.expectTextWindow(QString::fromUtf8(c.report)).then([&] { windowClosed = true; });
    const bool agree = CheckFieldCounts(check(), dialogs);
    EXPECT_EQ(agree, c.report == nullptr);
    EXPECT_EQ(windowClosed, c.report != nullptr);
    EXPECT_TRUE(dialogs.scriptDone());
}

INSTANTIATE_TEST_SUITE_P(
    Files, FieldCountCheck,
    ::testing::Values(
        CountCheckCase{"AllLinesAgree", "h1,h2\na,b\nc,d\n", ",", 1, nullptr},
        CountCheckCase{"OnlyTheFirstMismatchIsReported", "h1,h2\na,b\nc\nd,e,f\n", ",", 1,
                       "Line no 2: c"},
        CountCheckCase{"MoreFieldsThanTheHeader", "h1,h2\r\na,b,c\r\n", ",", 1, "Line no 1: a,b,c"},
        CountCheckCase{"EmptyLinesSkippedButCounted", "h1,h2\n\n\r\nx\n", ",", 1, "Line no 3: x"},
        CountCheckCase{"OnlyEmptyLinesAfterHeader", "h1,h2\n\n\n", ",", 1, nullptr},
        CountCheckCase{"HeaderOnly", "h1,h2", ",", 1, nullptr},
        CountCheckCase{"EmptyFile", "", ",", 1, nullptr},
        CountCheckCase{"HeaderLineIsNotChecked", "x,y,z\na,b\n", ",", 1, nullptr},
        CountCheckCase{"CrOnlyEndings", "h1,h2\ra,b\rc\r", ",", 1, "Line no 2: c"},
        CountCheckCase{"LfOnlyFileChecksEachLine", "h1,h2\na,b\nc,d\n", ",", 1, nullptr},
        CountCheckCase{"MultiCharacterSeparator", "a||b\nc|||d\ne|f\n", "||", 1, "Line no 2: e|f"},
        CountCheckCase{"ReportKeepsTextAsItStands", "a;b\n x;'y\" ;z\n", ";", 1,
                       "Line no 1:  x;'y\" ;z"},
        CountCheckCase{"EmptySeparatorOneFieldEach", "abc\nd,e\n", "", 0, nullptr},
        CountCheckCase{"PercentSignsInLineText", "a,b\n%1%2\n", ",", 1, "Line no 1: %1%2"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Table names, list lookup, character filters.

struct ExpandCase {
    const char* pattern;
    int position;
    const char* name;
};

class TableNameExpansion : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(TableNameExpansion, ReplacesEveryCounter)
{
    EXPECT_EQ(ExpandTableName(QString::fromUtf8(GetParam().pattern), GetParam().position)
                  .toStdString(),
              GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Patterns, TableNameExpansion,
                         ::testing::Values(ExpandCase{"Sales[counter]_[counter]", 12, "Sales12_12"},
                                           ExpandCase{"NewTable[counter]", 1, "NewTable1"},
                                           ExpandCase{"NoPlaceholder", 3, "NoPlaceholder"},
                                           ExpandCase{"[Counter][COUNTER]", 2, "[Counter][COUNTER]"},
                                           ExpandCase{"[counter]", 100, "100"},
                                           ExpandCase{"[counter[counter]]", 5, "[counter5]"},
                                           ExpandCase{"", 7, ""}));

struct ContainsCase {
    std::vector<const char*> items;
    const char* name;
    bool found;
};

class TableListLookup : public ::testing::TestWithParam<ContainsCase> {};

TEST_P(TableListLookup, ComparesLowerCased)
{
    QStringList items;
    for (const char* item : GetParam().items)
        items << QString::fromUtf8(item);
    EXPECT_EQ(ListContains(items, QString::fromUtf8(GetParam().name)), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(Names, TableListLookup,
                         ::testing::Values(ContainsCase{{"ORDERS"}, "Orders", true},
                                           ContainsCase{{"a", "newtable2"}, "NewTable2", true},
                                           ContainsCase{{}, "Orders", false},
                                           ContainsCase{{"Orders2", "Order"}, "Orders", false},
                                           ContainsCase{{"ÄPFEL"}, "äpfel", true},
                                           // The Kelvin sign lowers to an ASCII k.
                                           ContainsCase{{"\u212Aey"}, "KEY", true},
                                           ContainsCase{{" Orders"}, "Orders", false},
                                           ContainsCase{{""}, "", true}));

struct FilterCase {
    const char* text;
    const char* set;
    bool keep;
    const char* result;
};

class CharacterFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(CharacterFilter, KeepsOrDropsSetMembers)
{
    const FilterCase& c = GetParam();
    EXPECT_EQ(FilterCharacters(QString::fromUtf8(c.text), QString::fromUtf8(c.set), c.keep)
                  .toStdString(),
              c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CharacterFilter,
    ::testing::Values(FilterCase{"a-b c", " -", false, "abc"}, FilterCase{"a-b c", " -", true, "- "},
                      FilterCase{"aAbB", "ab", true, "ab"}, FilterCase{"xyz", "", true, ""},
                      FilterCase{"xyz", "", false, "xyz"}, FilterCase{"", "abc", true, ""},
                      FilterCase{"x😀y😁", "😀", true, "😀"},
                      FilterCase{"x😀y😁", "😀", false, "xy😁"},
                      FilterCase{"Größe", "ö", false, "Grße"}));

struct AlphanumericCase {
    const char* text;
    const char* result;
};

class AlphanumericFilter : public ::testing::TestWithParam<AlphanumericCase> {};

TEST_P(AlphanumericFilter, KeepsAsciiLettersAndDigits)
{
    EXPECT_EQ(KeepAlphanumeric(QString::fromUtf8(GetParam().text)).toStdString(), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Texts, AlphanumericFilter,
                         ::testing::Values(AlphanumericCase{"Name", "Name"},
                                           AlphanumericCase{"Zip Code", "ZipCode"},
                                           AlphanumericCase{"e-mail", "email"},
                                           AlphanumericCase{"%%% !", ""},
                                           AlphanumericCase{"Größe 2", "Gre2"},
                                           AlphanumericCase{"\"quoted\"", "quoted"},
                                           AlphanumericCase{"Tab\tX_9", "TabX9"}));

}  // namespace
