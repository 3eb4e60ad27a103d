#pragma once

#include <QString>

namespace quorvane {

// True when the path's last-modified time can be read; never fails.
bool PathExists(const QString& path);

// The folder of the executable, where the optional pointer and skin files live.
QString ProgramFolder();
QString ProgramFile(const QString& name);

inline const QString kHandCursorFile = QStringLiteral("HAND-M.CUR");
inline const QString kDragIconFile = QStringLiteral("drag.ico");
inline const QString kSkinFile = QStringLiteral("x/o.cjs");

}  // namespace quorvane
