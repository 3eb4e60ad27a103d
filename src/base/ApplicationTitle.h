#pragma once

#include <QString>

namespace quorvane {

inline const QString kProductName = QStringLiteral("Quorvane");

// The product name cut at its last space at least once, then again while it
// is longer than 40 characters; a name of one word is kept whole.
QString ComputeApplicationTitle(const QString& productName);

// The title held for the whole run, for message boxes and prompts.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

}  // namespace quorvane
