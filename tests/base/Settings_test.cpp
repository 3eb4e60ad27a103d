#include "base/Settings.h"

#include "ScriptedDialogs.h"
#include "TestBasics.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace quorvane;
using quorvane::testing::ScriptedDialogs;

namespace {
mode_t modeOf(const QString& file)
{
    struct stat st {};
    if (::stat(QFile::encodeName(file).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}
}  // namespace

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { quorvane::testing::ClearSettings(); }
};

TEST_F(SettingsStoreTest, AbsentKeyGivesTheDefaultButAStoredEmptyTextIsAValue)
{
    SettingsStore store;
    EXPECT_EQ(store.GetSetting(SettingsKey::Port, kDefaultPort), kDefaultPort);
    store.SaveSetting(SettingsKey::Port, QString());
    EXPECT_TRUE(store.contains(SettingsKey::Port));
    EXPECT_EQ(store.GetSetting(SettingsKey::Port, kDefaultPort), QString());
}

TEST_F(SettingsStoreTest, SavedValuesLiveUnderTamsorelQuorvaneAndAreOnDiskAtOnce)
{
    SettingsStore store;
    ASSERT_TRUE(store.SaveSetting(SettingsKey::Password, QStringLiteral("s3cr;et")));
    QFile file(store.fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[Quorvane]"));
    EXPECT_TRUE(text.contains("Password"));
    EXPECT_TRUE(store.fileName().contains(QStringLiteral("/Tamsorel/")));
    EXPECT_EQ(SettingsStore().GetSetting(SettingsKey::Password), QStringLiteral("s3cr;et"));
}

TEST_F(SettingsStoreTest, FileIsOwnerOnlyAfterEveryWrite)
{
    SettingsStore store;
    QFile::remove(store.fileName());
    store.SaveSetting(SettingsKey::Server, QStringLiteral("db.example"));
    EXPECT_EQ(modeOf(store.fileName()), mode_t(0600));
    QFile::setPermissions(store.fileName(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    store.SaveSetting(SettingsKey::User, QStringLiteral("loader"));
    EXPECT_EQ(modeOf(store.fileName()), mode_t(0600));
    store.SaveSetting(SettingsKey::User, QStringLiteral("loader2"));
    EXPECT_EQ(modeOf(store.fileName()), mode_t(0600));
}

TEST_F(SettingsStoreTest, UnwritableStoreWarnsOnceAndKeepsGoing)
{
    SettingsStore probe;
    const QString folder = QFileInfo(probe.fileName()).absolutePath();
    QFile::remove(probe.fileName());
    QDir().rmpath(folder);
    // A plain file where the folder should be: no user, root included, can write there.
    quorvane::testing::WriteFile(folder, "not a folder");

    ScriptedDialogs dialogs;
    dialogs.expectMessage(SettingsWriteFailureMessage(probe.fileName()));
    SettingsStore store(&dialogs);
    EXPECT_FALSE(store.SaveSetting(SettingsKey::Server, QStringLiteral("a")));
    EXPECT_FALSE(store.SaveSetting(SettingsKey::Server, QStringLiteral("ab")));  // silent now

    QFile::remove(folder);
}

// Keys this program never wrote have no value, whatever other files hold:
// an organisation-wide Tamsorel.conf beside its own folder, and a copy of
// either in the system-wide folder (/etc/xdg by default).
TEST_F(SettingsStoreTest, KeysNeverWrittenHaveNoValueFromOtherFiles)
{
    SettingsStore store;
    const QString userFolder = QFileInfo(QFileInfo(store.fileName()).absolutePath()).absolutePath();
    QTemporaryDir systemFolder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, systemFolder.path());
    struct Restore {
        QString organisationWide;
        ~Restore()
        {
            QFile::remove(organisationWide);
            QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope,
                               QLibraryInfo::path(QLibraryInfo::SettingsPath));
        }
    } restore{userFolder + QStringLiteral("/Tamsorel.conf")};
    using quorvane::testing::WriteFile;
    WriteFile(restore.organisationWide, "[Quorvane]\nServer=organisation\n");
    WriteFile(systemFolder.path() + QStringLiteral("/Tamsorel/Quorvane.conf"), "[Quorvane]\nUser=system\n");
    WriteFile(systemFolder.path() + QStringLiteral("/Tamsorel.conf"), "[Quorvane]\nDatabase=system-wide\n");
    ASSERT_TRUE(store.SaveSetting(SettingsKey::Port, QStringLiteral("50001")));

    // Qt's default reader sees all three files,
    QSettings fallbacks(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganization,
                        kSettingsSection);
    fallbacks.beginGroup(kSettingsSection);
    ASSERT_EQ(QStringList({fallbacks.value(SettingsKey::Server).toString(),
                           fallbacks.value(SettingsKey::User).toString(),
                           fallbacks.value(SettingsKey::Database).toString()}),
              QStringList({"organisation", "system", "system-wide"}));
    // the store only its own.
    for (const QString& key : {SettingsKey::Server, SettingsKey::User, SettingsKey::Database}) {
        EXPECT_FALSE(store.contains(key)) << key.toStdString();
        EXPECT_EQ(store.GetSetting(key, QStringLiteral("unset")), QStringLiteral("unset")) << key.toStdString();
    }
    EXPECT_EQ(store.GetSetting(SettingsKey::Port), QStringLiteral("50001"));
}
