#pragma once

namespace quorvane {

class SettingsStore;
struct ImportWindowControls;

// Shows the reading choices as the settings store remembers them, and
// remembers every change at once.
void RememberReadingChoices(const ImportWindowControls& controls, SettingsStore& settings);

}  // namespace quorvane
