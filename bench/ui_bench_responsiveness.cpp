// How long the import window goes without handling its events while an
// import runs. The window is built as the program builds it, offscreen, with
// the login fields saved for a SQLite database so that the start-up check
// hands over to the import window; then one generated file is imported by
// pressing "Import to IBM DB2". A 1 ms timer notes every time the event loop
// gets a turn; the longest interval between two of its ticks is the figure.
//
//   QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=<scratch> ODBCSYSINI=<drivers>
//   ui_bench_responsiveness DATA_FILE SQLITE_DATABASE

#include "app/ApplicationWindows.h"
#include "base/Dialogs.h"
#include "base/PacedEvents.h"
#include "base/Settings.h"
#include "db/ConnectionParameters.h"
#include "filelist/ui/FileListView.h"
#include "import/ImportDatabase.h"
#include "import/ImportEngine.h"
#include "import/SqlTexts.h"
#include "import/TextRules.h"
#include "import/ui/ImportWindow.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QSysInfo>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace quorvane;

namespace {

// Answers every box at once and keeps its text, so that the closing message
// of the run does not wait for a user.
class AnsweringDialogs final : public Dialogs {
public:
    QStringList messages;
    bool messageBox(const MessageBoxSpec& box) override
    {
        messages << box.text;
        return false;
    }
    QString inputBox(const QString& prompt, const QString&, const QString&) override
    {
        messages << prompt;
        return {};
    }
    QStringList openFiles(const OpenFilesSpec&) override { return {}; }
    QString browseForFolder(const QString&, const QString&) override { return {}; }
    void showTextWindow(const QString& text) override { messages << text; }
};

// Ticks as often as the event loop lets it; notes the intervals and what the
// import button said on either side of the longest one.
class GapRecorder {
public:
    explicit GapRecorder(const QPushButton& button) : button_(button)
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        clock_.start();
        lastNs_ = 0;
        lastCaption_ = button_.text();
        timer_.start();
    }
    void stop()
    {
        tick();
        timer_.stop();
    }
    const std::vector<double>& gapsMs() const { return gapsMs_; }
    double longestMs() const { return longestMs_; }
    QString before() const { return longestBefore_; }
    QString after() const { return longestAfter_; }

private:
    void tick()
    {
        const qint64 now = clock_.nsecsElapsed();
        const double gap = (now - lastNs_) / 1e6;
        gapsMs_.push_back(gap);
        const QString caption = button_.text();
        if (gap > longestMs_) {
            longestMs_ = gap;
            longestBefore_ = lastCaption_;
            longestAfter_ = caption;
        }
        lastNs_ = now;
        lastCaption_ = caption;
    }

    const QPushButton& button_;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 lastNs_ = 0;
    QString lastCaption_, longestBefore_, longestAfter_;
    std::vector<double> gapsMs_;
    double longestMs_ = 0;
};

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(share * (values.size() - 1))];
}

ConnectionParameters loginFor(const QString& database)
{
    return {QStringLiteral("localhost"), QStringLiteral("0"), database, QStringLiteral("bench"),
            QStringLiteral("bench")};
}

void saveLogin(const ConnectionParameters& login)
{
    SettingsStore settings;
    settings.SaveSetting(SettingsKey::Server, login.server);
    settings.SaveSetting(SettingsKey::Port, login.port);
    settings.SaveSetting(SettingsKey::User, login.user);
    settings.SaveSetting(SettingsKey::Password, login.password);
    settings.SaveSetting(SettingsKey::Database, login.database);
}

double millisecondsOf(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.nsecsElapsed() / 1e6;
}

// A run does these between its first pause and its first row without
// yielding; timed one by one they show what the interval there is made of.
void printStepsBeforeFirstRow(const ConnectionParameters& login, const QString& dataFile)
{
    const QString separator = QStringLiteral(",");
    const QStringList header = SplitFields(ReadFirstLine(dataFile), separator);
    OdbcImportDatabase database;
    const double openMs = millisecondsOf([&] { database.open(BuildConnectionString(login)); });
    const double checkMs = millisecondsOf(
        [&] { FindFieldCountMismatch(dataFile, separator, static_cast<int>(header.size()) - 1); });
    const QString table = QStringLiteral("ui_bench_steps");
    const double createMs = millisecondsOf([&] { database.execute(BuildCreateStatement(table, header)); });
    database.execute(QStringLiteral("DROP TABLE \"ui_bench_steps\""));
    database.close();
    std::printf("steps before the first row, timed apart: open the connection %.1f ms, field-count check "
                "of the whole file %.1f ms, CREATE TABLE %.1f ms\n",
                openMs, checkMs, createMs);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    // The login fields are written to the settings store: never the user's own.
    if (args.size() != 3 || qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME")) {
        std::fprintf(stderr, "usage: XDG_CONFIG_HOME=<scratch> %s DATA_FILE SQLITE_DATABASE\n", argv[0]);
        return 2;
    }
    const QString dataFile = QFileInfo(args.at(1)).absoluteFilePath();
    const ConnectionParameters login = loginFor(QFileInfo(args.at(2)).absoluteFilePath());
    saveLogin(login);

    AnsweringDialogs dialogs;
    ApplicationWindows windows(dialogs);
    windows.start();
    ImportWindow* window = windows.importWindow();
    if (!window) {
        std::fprintf(stderr, "the start-up check did not reach the import window:\n%s\n",
                     qPrintable(dialogs.messages.join(QLatin1Char('\n'))));
        return 1;
    }
    window->fileList()->append(dataFile);
    dialogs.messages.clear();

    GapRecorder recorder(*window->importButton());
    double importSeconds = 0;
    QTimer::singleShot(0, [&] {
        QElapsedTimer clock;
        clock.start();
        recorder.start();
        window->importButton()->click();  // returns once the run and its closing message are over
        recorder.stop();
        importSeconds = clock.nsecsElapsed() / 1e9;
        QCoreApplication::quit();
    });
    app.exec();

    const auto& gaps = recorder.gapsMs();
    double total = 0;
    for (double gap : gaps)
        total += gap;
    std::printf("ui_bench_responsiveness  %s\n",
                qPrintable(QDateTime::currentDateTime().toString(Qt::ISODate)));
    std::printf("machine: %s, %d cores, %s, platform %s\n", qPrintable(QSysInfo::prettyProductName()),
                QThread::idealThreadCount(), qPrintable(QSysInfo::currentCpuArchitecture()),
                qPrintable(QGuiApplication::platformName()));
    std::printf("file: %s, %.1f MB; import took %.2f s; closing message: %s\n", qPrintable(dataFile),
                QFileInfo(dataFile).size() / 1e6, importSeconds,
                qPrintable(dialogs.messages.join(QStringLiteral(" | ")).simplified()));
    std::printf("event-loop turns: %zu, mean interval %.2f ms, median %.2f ms, 99th percentile %.2f ms\n",
                gaps.size(), gaps.empty() ? 0 : total / gaps.size(), percentile(gaps, 0.5),
                percentile(gaps, 0.99));
    const double targetMs = 50;
    std::printf("intervals over %.0f ms: %ld\n", targetMs,
                static_cast<long>(std::count_if(gaps.begin(), gaps.end(), [&](double gap) { return gap >= targetMs; })));
    std::printf("the run yields to the window at most every %d ms\n", kEventPauseIntervalMs);
    std::printf("longest interval: %.1f ms, between \"%s\" and \"%s\"\n", recorder.longestMs(),
                qPrintable(recorder.before()), qPrintable(recorder.after()));
    printStepsBeforeFirstRow(login, dataFile);
    std::printf("target: longest interval < %.0f ms -> %.1f ms: %s\n", targetMs, recorder.longestMs(),
                recorder.longestMs() < targetMs ? "met" : "missed");
    return 0;
}
