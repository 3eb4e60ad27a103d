#pragma once

#include <QString>

namespace quorvane {

// True when the path's last-modified time can be read; never fails.
bool PathExists(const QString& path);

// The folder of the executable, where the optional pointer and skin files live.
QString ProgramFolder();
QString ProgramFile(const QString& name);

// A new folder name for the lines one import run does not load, under the
// user's data folder, named for the moment the run starts. Nothing is
// created here.
QString RunRejectsFolder();

inline const QString kHandCursorFile = QStringLiteral("HAND-M.CUR");
inline const QString kDragIconFile = QStringLiteral("drag.ico");
inline const QString kSkinFile = QStringLiteral("x/o.cjs");

}  // namespace quorvane
