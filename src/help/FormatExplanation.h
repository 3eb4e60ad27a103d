#pragma once

#include <QString>

namespace quorvane {

// What the import window's "?" button explains about the input files.
QString FormatExplanationText();

}  // namespace quorvane
