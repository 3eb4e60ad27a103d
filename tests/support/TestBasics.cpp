#include "TestBasics.h"

#include "base/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

namespace quorvane::testing {

void ClearSettings()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganization,
                       kSettingsSection);
    settings.clear();
    settings.sync();
    SettingsStore::resetWriteFailureNotice();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

QByteArray ReadFileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace quorvane::testing
