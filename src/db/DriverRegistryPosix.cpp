#include "db/DriverRegistry.h"

#include <odbcinst.h>

#include <QByteArray>
#include <QDir>

// unixODBC's installer library names its files through these (what
// `odbcinst -j` prints); the header that declares them is not installed in
// a usable form, so they are declared here.
extern "C" {
char* odbcinst_system_file_path(char* buffer);
char* odbcinst_system_file_name(char* buffer);
char* odbcinst_user_file_path(char* buffer);
char* odbcinst_user_file_name(char* buffer);
}

namespace quorvane {

namespace {

// The buffers those functions fill are FILENAME_MAX + 1 bytes long.
using PathBuffer = char[FILENAME_MAX + 1];

QString JoinedPath(char* (*folder)(char*), char* (*name)(char*))
{
    PathBuffer folderBuffer = {};
    PathBuffer nameBuffer = {};
    return QDir(QString::fromLocal8Bit(folder(folderBuffer)))
        .filePath(QString::fromLocal8Bit(name(nameBuffer)));
}

}  // namespace

DriverLookup LookUpDriver(const QString& name)
{
    DriverLookup lookup;
    // The same question the driver manager asks when a connection string
    // names a driver: which library the registration gives for it. It reads
    // the system's drivers file, then the user's.
    const QByteArray section = name.toLocal8Bit();
    PathBuffer library = {};
    lookup.registered = SQLGetPrivateProfileString(section.constData(), "Driver", "", library,
                                                   sizeof library, "ODBCINST.INI")
                        > 0;
    lookup.files << JoinedPath(odbcinst_system_file_path, odbcinst_system_file_name)
                 << JoinedPath(odbcinst_user_file_path, odbcinst_user_file_name);
    return lookup;
}

}  // namespace quorvane
