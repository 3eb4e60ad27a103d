#include "base/Settings.h"

#include "base/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <atomic>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace quorvane {

namespace {

std::atomic<bool> writeFailureShown{false};

std::unique_ptr<QSettings> openStore()
{
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                kSettingsOrganization, kSettingsSection);
    // Only this program's own file: an organisation-wide file or a system
    // copy must not fill keys it never wrote.
    settings->setFallbacksEnabled(false);
    settings->beginGroup(kSettingsSection);
    return settings;
}

constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

// QSettings rewrites through a temporary file that takes the permissions of
// the file it replaces, so the file is made owner-only before the first write.
void prepareOwnerOnlyFile(const QString& fileName)
{
#ifdef Q_OS_UNIX
    const QFileInfo info(fileName);
    QDir().mkpath(info.absolutePath());
    const QByteArray path = QFile::encodeName(fileName);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    QFile::setPermissions(fileName, kOwnerOnly);
#else
    Q_UNUSED(fileName);
#endif
}

}  // namespace

SettingsStore::SettingsStore(Dialogs* dialogs) : dialogs_(dialogs) {}

QString SettingsStore::GetSetting(const QString& key, const QString& defaultValue) const
{
    const auto settings = openStore();
    if (!settings->contains(key))
        return defaultValue;
    return settings->value(key).toString();
}

bool SettingsStore::contains(const QString& key) const { return openStore()->contains(key); }

bool SettingsStore::SaveSetting(const QString& key, const QString& value)
{
    const auto settings = openStore();
    const QString file = settings->fileName();
    prepareOwnerOnlyFile(file);
    settings->setValue(key, value);
    settings->sync();
    bool written = settings->status() == QSettings::NoError;
#ifdef Q_OS_UNIX
    if (written)
        written = QFile::setPermissions(file, kOwnerOnly);
#endif
    if (!written && dialogs_ && !writeFailureShown.exchange(true))
        ShowPlainMessage(*dialogs_, SettingsWriteFailureMessage(file));
    return written;
}

QString SettingsStore::fileName() const { return openStore()->fileName(); }

void SettingsStore::resetWriteFailureNotice() { writeFailureShown = false; }

QString SettingsWriteFailureMessage(const QString& fileName)
{
    return QStringLiteral("Your settings could not be saved.") + QStringLiteral("\r\n\r\n")
           + QStringLiteral("Quorvane goes on with the values in its fields, but they will not be "
                            "remembered in ")
           + fileName + QLatin1Char('.');
}

}  // namespace quorvane
