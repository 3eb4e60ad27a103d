#pragma once

namespace quorvane {

class SettingsStore;
struct Form2Controls;

// Shows the reading choices as the settings store remembers them, and
// remembers every change at once.
void RememberReadingChoices(const Form2Controls& controls, SettingsStore& settings);

}  // namespace quorvane
