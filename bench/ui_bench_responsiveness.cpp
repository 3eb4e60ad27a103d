// How long the import window goes without handling its events while an
// import runs. The window is built as the program builds it, offscreen, with
// the login fields saved for the database so that the start-up check hands
// over to the import window; then one generated file is imported by pressing
// "Import to IBM DB2". A 1 ms timer notes every time the event loop gets a
// turn; the longest interval between two of its ticks is the figure.
//
//   QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=<scratch> ODBCSYSINI=<drivers>
//   ui_bench_responsiveness [--fast] DATA_FILE SQLITE_DATABASE
//   ui_bench_responsiveness [--fast] [--lock-seconds S] --mariadb HOST:PORT [--user NAME]
//                           DATA_FILE DATABASE
//
// --fast stores the fast-load choice before the window is built, so the run
// loads in batches. With MariaDB the password comes from QUORVANE_PASSWORD.
// --lock-seconds: once the first rows are in, a second connection holds
// LOCK TABLES ... WRITE on the target table for that long, so that one
// statement of the run waits that long.

#include "app/ApplicationWindows.h"
#include "base/Dialogs.h"
#include "base/PacedEvents.h"
#include "base/Settings.h"
#include "db/ConnectionParameters.h"
#include "filelist/ui/FileListView.h"
#include "import/ImportDatabase.h"
#include "import/ImportEngine.h"
#include "import/SqlTexts.h"
#include "text/TextRules.h"
#include "import/ui/ImportWindow.h"
#include "import/ui/ImportWindowControls.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSysInfo>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

using namespace quorvane;

namespace {

// The settings key and value that turn fast load on in the import window.
const QString kFastLoadKey = SettingsKey::FastLoad;
const QString kFastLoadOn = QStringLiteral("true");

// The table pattern the bench types into the window, and the table it makes.
const QString kTablePattern = QStringLiteral("ui_bench[counter]");
const QString kTable = QStringLiteral("ui_bench1");

// Answers every box at once and keeps its text, so that the closing message
// of the run does not wait for a user.
class AnsweringDialogs final : public Dialogs {
public:
    bool messageBox(const MessageBoxSpec& box) override
    {
        note(box.text);
        return false;
    }
    QString inputBox(const QString& prompt, const QString&, const QString&) override
    {
        note(prompt);
        return {};
    }
    QStringList openFiles(const OpenFilesSpec&) override { return {}; }
    QString browseForFolder(const QString&, const QString&) override { return {}; }
    void showTextWindow(const QString& text) override { note(text); }

    QStringList messages() const
    {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    void clear()
    {
        std::lock_guard lock(mutex_);
        messages_.clear();
    }

private:
    // A run on a worker thread may ask from there.
    void note(const QString& text)
    {
        std::lock_guard lock(mutex_);
        messages_ << text;
    }
    mutable std::mutex mutex_;
    QStringList messages_;
};

// Ticks as often as the event loop lets it; notes the intervals, when each
// ended, and what the import button said on either side of the longest one.
class GapRecorder {
public:
    GapRecorder(const QPushButton& button, const QElapsedTimer& clock) : button_(button), clock_(clock)
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }
    // Called at every tick, after the interval is noted.
    std::function<void(const QString& caption)> onTick;

    void start()
    {
        lastNs_ = clock_.nsecsElapsed();
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

    // The longest interval that overlaps [fromNs, toNs] of the clock.
    double longestOverlappingMs(qint64 fromNs, qint64 toNs) const
    {
        double longest = 0;
        for (size_t i = 0; i < gapsMs_.size(); ++i) {
            const qint64 end = endsNs_[i];
            const qint64 begin = end - static_cast<qint64>(gapsMs_[i] * 1e6);
            if (end >= fromNs && begin <= toNs)
                longest = std::max(longest, gapsMs_[i]);
        }
        return longest;
    }

private:
    void tick()
    {
        const qint64 now = clock_.nsecsElapsed();
        const double gap = (now - lastNs_) / 1e6;
        gapsMs_.push_back(gap);
        endsNs_.push_back(now);
        const QString caption = button_.text();
        if (gap > longestMs_) {
            longestMs_ = gap;
            longestBefore_ = lastCaption_;
            longestAfter_ = caption;
        }
        lastNs_ = now;
        lastCaption_ = caption;
        if (onTick)
            onTick(caption);
    }

    const QPushButton& button_;
    const QElapsedTimer& clock_;
    QTimer timer_;
    qint64 lastNs_ = 0;
    QString lastCaption_, longestBefore_, longestAfter_;
    std::vector<double> gapsMs_;
    std::vector<qint64> endsNs_;
    double longestMs_ = 0;
};

// A second session that, once told to, holds a write lock on the target
// table for a while, so that the run's next statement on it waits. It
// connects before the run, so that the lock follows the signal at once.
class TableLocker {
public:
    TableLocker(const ConnectionParameters& login, double seconds, const QElapsedTimer& clock)
        : seconds_(seconds), clock_(clock)
    {
        thread_ = std::thread([this, connection = BuildConnectionString(login)] { hold(connection); });
    }
    ~TableLocker() { finish(); }

    void lockNow()
    {
        if (!signalled_.exchange(true))
            go_.set_value(true);
    }
    // Lets the thread end; a lock never taken is not taken any more.
    void finish()
    {
        if (!signalled_.exchange(true))
            go_.set_value(false);
        if (thread_.joinable())
            thread_.join();
    }
    bool signalled() const { return signalled_; }
    qint64 lockedNs() const { return lockedNs_; }
    qint64 unlockedNs() const { return unlockedNs_; }
    QString failure() const
    {
        std::lock_guard lock(mutex_);
        return failure_;
    }

private:
    void hold(const QString& connection)
    {
        auto go = go_.get_future();
        try {
            OdbcImportDatabase session;
            session.open(connection);
            if (go.get()) {
                session.execute(QStringLiteral("LOCK TABLES \"%1\" WRITE").arg(kTable));
                lockedNs_ = clock_.nsecsElapsed();
                std::this_thread::sleep_for(std::chrono::duration<double>(seconds_));
                session.execute(QStringLiteral("UNLOCK TABLES"));
                unlockedNs_ = clock_.nsecsElapsed();
            }
            session.close();
        } catch (const std::exception& error) {
            std::lock_guard lock(mutex_);
            failure_ = QString::fromStdString(error.what());
        }
    }

    double seconds_;
    const QElapsedTimer& clock_;
    std::promise<bool> go_;
    std::atomic<bool> signalled_{false};
    std::atomic<qint64> lockedNs_{-1}, unlockedNs_{-1};
    mutable std::mutex mutex_;
    QString failure_;
    std::thread thread_;
};

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(share * (values.size() - 1))];
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

// A run does these between its first pause and its first row; timed one by
// one they show what the interval there is made of.
void printStepsBeforeFirstRow(const ConnectionParameters& login, const QString& dataFile)
{
    QStringList header;
    OdbcImportDatabase database;
    const double openMs = millisecondsOf([&] { database.open(BuildConnectionString(login)); });
    const double checkMs = millisecondsOf([&] { header = FieldCountPass(dataFile, TextFormat()).run().header; });
    const QString table = QStringLiteral("ui_bench_steps");
    const double createMs = millisecondsOf([&] { database.execute(BuildCreateStatement(table, header)); });
    database.execute(QStringLiteral("DROP TABLE \"ui_bench_steps\""));
    database.close();
    std::printf("steps before the first row, timed apart: open the connection %.1f ms, field-count check "
                "of the whole file %.1f ms, CREATE TABLE %.1f ms\n",
                openMs, checkMs, createMs);
}

// The window's fast-load control, found by its text: the bench does not
// depend on the name of the member that holds it.
QCheckBox* fastLoadControl(QWidget& window)
{
    for (QCheckBox* box : window.findChildren<QCheckBox*>()) {
        if (box->text().remove(QLatin1Char('&')).contains(QLatin1String("fast"), Qt::CaseInsensitive))
            return box;
    }
    return nullptr;
}

void dropTable(const ConnectionParameters& login)
{
    OdbcImportDatabase database;
    database.open(BuildConnectionString(login));
    try {
        database.execute(QStringLiteral("DROP TABLE \"%1\"").arg(kTable));
    } catch (const std::exception&) {
        // It was not there.
    }
    database.close();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("fast"), QStringLiteral("Load with fast load on.")},
        {QStringLiteral("mariadb"), QStringLiteral("Load into MariaDB at HOST:PORT."), QStringLiteral("HOST:PORT")},
        {QStringLiteral("user"), QStringLiteral("MariaDB user (default bench)."), QStringLiteral("NAME"),
         QStringLiteral("bench")},
        {QStringLiteral("lock-seconds"),
         QStringLiteral("MariaDB only: hold a write lock on the table this long once rows are in."),
         QStringLiteral("S")},
    });
    parser.addPositionalArgument(QStringLiteral("DATA_FILE"), QStringLiteral("The file to import."));
    parser.addPositionalArgument(QStringLiteral("DATABASE"), QStringLiteral("SQLite file, or MariaDB database."));
    parser.process(app);
    const QStringList positional = parser.positionalArguments();
    const bool mariadb = parser.isSet(QStringLiteral("mariadb"));
    const bool fast = parser.isSet(QStringLiteral("fast"));
    const double lockSeconds = parser.value(QStringLiteral("lock-seconds")).toDouble();
    const QStringList hostPort = parser.value(QStringLiteral("mariadb")).split(QLatin1Char(':'));
    // The login fields are written to the settings store: never the user's own.
    if (positional.size() != 2 || qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME")
        || (mariadb && hostPort.size() != 2) || (lockSeconds > 0 && !mariadb)) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        std::fprintf(stderr, "XDG_CONFIG_HOME must name a scratch folder; --lock-seconds needs --mariadb\n");
        return 2;
    }
    const QString dataFile = QFileInfo(positional.at(0)).absoluteFilePath();
    const ConnectionParameters login =
        mariadb ? ConnectionParameters{hostPort.at(0), hostPort.at(1), positional.at(1),
                                       parser.value(QStringLiteral("user")),
                                       qEnvironmentVariable("QUORVANE_PASSWORD")}
                : ConnectionParameters{QStringLiteral("localhost"), QStringLiteral("0"),
                                       QFileInfo(positional.at(1)).absoluteFilePath(),
                                       QStringLiteral("bench"), QStringLiteral("bench")};
    saveLogin(login);
    {
        SettingsStore settings;
        if (fast)
            settings.SaveSetting(kFastLoadKey, kFastLoadOn);
    }
    if (mariadb)
        dropTable(login);

    std::printf("ui_bench_responsiveness  %s\n", qPrintable(QDateTime::currentDateTime().toString(Qt::ISODate)));
    std::printf("machine: %s, %d cores, %s, platform %s\n", qPrintable(QSysInfo::prettyProductName()),
                QThread::idealThreadCount(), qPrintable(QSysInfo::currentCpuArchitecture()),
                qPrintable(QGuiApplication::platformName()));
    std::printf("mode: %s; database: %s\n",
                fast ? qPrintable(QStringLiteral("fast load (setting %1=%2)").arg(kFastLoadKey, kFastLoadOn))
                     : "row by row",
                mariadb ? qPrintable(QStringLiteral("MariaDB %1:%2/%3").arg(login.server, login.port, login.database))
                        : qPrintable(QStringLiteral("SQLite %1").arg(login.database)));
    std::fflush(stdout);

    AnsweringDialogs dialogs;
    ApplicationWindows windows(dialogs);
    windows.start();
    ImportWindow* window = windows.importWindow();
    if (!window) {
        std::fprintf(stderr, "the start-up check did not reach the import window:\n%s\n",
                     qPrintable(dialogs.messages().join(QLatin1Char('\n'))));
        return 1;
    }
    if (fast) {
        const QCheckBox* control = fastLoadControl(*window);
        if (!control || !control->isChecked()) {
            std::printf("skipped: %s\n",
                        control ? qPrintable(QStringLiteral("the window's \"%1\" control is off although %2=%3 "
                                                            "is stored; correct kFastLoadKey or kFastLoadOn")
                                                 .arg(control->text(), kFastLoadKey, kFastLoadOn))
                                : "the import window has no fast-load control (no check box whose text says "
                                  "\"fast\"): this build has no fast load");
            return 3;
        }
    }
    window->controls().tableNameEdit->setText(kTablePattern);
    window->fileList()->append(dataFile);
    dialogs.clear();

    QElapsedTimer clock;
    clock.start();
    GapRecorder recorder(*window->importButton(), clock);
    std::unique_ptr<TableLocker> locker;
    if (lockSeconds > 0) {
        locker = std::make_unique<TableLocker>(login, lockSeconds, clock);
        // Once rows are in the table, so that an INSERT is what waits.
        static const QRegularExpression rowsIn(QStringLiteral("([0-9]+) rows inserted"));
        recorder.onTick = [&](const QString& caption) {
            const QRegularExpressionMatch match = rowsIn.match(caption);
            if (match.hasMatch() && match.captured(1).toLongLong() > 0)
                locker->lockNow();
        };
    }
    const QString idleCaption = window->importButton()->text();
    double importSeconds = 0;
    qint64 runEndNs = 0;
    bool ended = true;
    QTimer::singleShot(0, [&] {
        recorder.start();
        const qint64 startNs = clock.nsecsElapsed();
        // Returns after the run when it runs on the window's thread; when it
        // runs on a worker, the run is over once the closing message has come
        // and the button has its caption back.
        window->importButton()->click();
        auto over = [&] { return window->importButton()->text() == idleCaption && !dialogs.messages().isEmpty(); };
        if (!over()) {
            QEventLoop waiting;
            QTimer check;
            QObject::connect(&check, &QTimer::timeout, [&] {
                if (over())
                    waiting.quit();
            });
            check.start(5);
            QTimer::singleShot(3600 * 1000, &waiting, [&] {
                ended = false;
                waiting.quit();
            });
            waiting.exec();
        }
        recorder.stop();
        runEndNs = clock.nsecsElapsed();
        importSeconds = (runEndNs - startNs) / 1e9;
        QCoreApplication::quit();
    });
    app.exec();
    if (locker)
        locker->finish();

    const auto& gaps = recorder.gapsMs();
    double total = 0;
    for (double gap : gaps)
        total += gap;
    std::printf("file: %s, %.1f MB; import took %.2f s; closing message: %s\n", qPrintable(dataFile),
                QFileInfo(dataFile).size() / 1e6, importSeconds,
                ended ? qPrintable(dialogs.messages().join(QStringLiteral(" | ")).simplified())
                      : "none: the run had not ended after an hour");
    std::printf("event-loop turns: %zu, mean interval %.2f ms, median %.2f ms, 99th percentile %.2f ms\n",
                gaps.size(), gaps.empty() ? 0 : total / gaps.size(), percentile(gaps, 0.5),
                percentile(gaps, 0.99));
    const double targetMs = 50;
    std::printf("intervals over %.0f ms: %ld\n", targetMs,
                static_cast<long>(std::count_if(gaps.begin(), gaps.end(), [&](double gap) { return gap >= targetMs; })));
    std::printf("the run yields to the window at most every %d ms\n", kEventPauseIntervalMs);
    std::printf("longest interval: %.1f ms, between \"%s\" and \"%s\"\n", recorder.longestMs(),
                qPrintable(recorder.before()), qPrintable(recorder.after()));
    if (locker) {
        const qint64 locked = locker->lockedNs(), unlocked = locker->unlockedNs();
        if (!locker->failure().isEmpty()) {
            std::printf("lock: failed: %s\n", qPrintable(locker->failure().simplified()));
        } else if (locked < 0) {
            std::printf("lock: not taken (%s); this run says nothing about a slow statement\n",
                        locker->signalled() ? "the run ended first" : "no rows were reported before the end");
        } else {
            std::printf("lock: LOCK TABLES \"%s\" WRITE held by a second session from %.2f s to %.2f s of the "
                        "run (%.2f s)%s\n",
                        qPrintable(kTable), locked / 1e9, unlocked / 1e9, (unlocked - locked) / 1e9,
                        unlocked > runEndNs ? "; the run ended before the lock did" : "");
            std::printf("longest interval while the lock was held: %.1f ms\n",
                        recorder.longestOverlappingMs(locked, unlocked));
        }
    }
    printStepsBeforeFirstRow(login, dataFile);
    if (mariadb)
        dropTable(login);
    std::printf("target: longest interval < %.0f ms -> %.1f ms: %s\n", targetMs, recorder.longestMs(),
                recorder.longestMs() < targetMs ? "met" : "missed");
    return 0;
}
