#pragma once

#include <QIcon>

namespace quorvane {

// The icon every window shows, from the program's resources. Fails when the
// image is missing from them.
QIcon ApplicationIcon();

}  // namespace quorvane
