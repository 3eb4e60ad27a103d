// Shared main of the test programs: a scratch settings folder, so no test
// ever touches the user's real settings, an application object, and in the
// MariaDB pass a check that the server was tested.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "TestBasics.h"

#include <gtest/gtest.h>

#include <cstdio>

#ifdef QUORVANE_WIDGET_TESTS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

namespace {

// The MariaDB pass (the test command's *_mariadb entries) must have tested
// the server: a program with suites for it runs some, and none of them skips
// but a case for SQLite only. Otherwise a missing server or environment, or
// a filter that matches nothing, would pass as green.
bool MariaDbPassRanItsCases()
{
    if (qEnvironmentVariable("QUORVANE_TEST_BACKEND") != QLatin1String("mariadb"))
        return true;
    const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
    bool serverSuites = false;
    bool ok = true;
    for (int i = 0; i < unit.total_test_suite_count(); ++i) {
        const ::testing::TestSuite& suite = *unit.GetTestSuite(i);
        serverSuites = serverSuites || QByteArray(suite.name()).endsWith("Db");
        for (int j = 0; j < suite.total_test_count(); ++j) {
            const ::testing::TestInfo& test = *suite.GetTestInfo(j);
            const ::testing::TestResult& result = *test.result();
            for (int k = 0; k < result.total_part_count(); ++k) {
                const ::testing::TestPartResult& part = result.GetTestPartResult(k);
                if (part.skipped() && !QByteArray(part.message()).contains(quorvane::testing::kSqliteOnly)) {
                    std::fprintf(stderr, "MariaDB pass: %s.%s skipped: %s\n", suite.name(), test.name(),
                                 part.message());
                    ok = false;
                }
            }
        }
    }
    if (serverSuites && unit.test_to_run_count() == 0) {
        std::fprintf(stderr, "MariaDB pass: none of the suites for the server ran\n");
        ok = false;
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", scratch.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", scratch.filePath(QStringLiteral("data")).toUtf8());
#ifdef QUORVANE_WIDGET_TESTS
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = scratch.filePath(QStringLiteral("runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    }
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
#endif
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    return MariaDbPassRanItsCases() ? failed : 1;
}
