#pragma once

namespace quorvane {

struct ImportWindowControls;

// Gives each field, list and combo box of the import window the label the
// user sees for it as the name a screen reader announces.
void NameForScreenReaders(const ImportWindowControls& controls);

}  // namespace quorvane
