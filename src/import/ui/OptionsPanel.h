#pragma once

#include "import/ImportOptions.h"
#include "import/ui/ImportWindowControls.h"

namespace quorvane {

// The import window's choices: the enabling that follows the mode, and the
// options read from the controls at every call.
class OptionsPanel final : public ImportOptionsSource {
public:
    explicit OptionsPanel(const Form2Controls& controls) : c_(controls) {}

    ImportOptions currentOptions() const override;

    // Create mode: the create options usable, the append frame not.
    void Option1_Click();
    // Append mode: the other way round. Frame3 stays enabled, and the
    // Option3/Option4 choice is kept for when create mode comes back.
    void Option2_Click();

private:
    const Form2Controls& c_;
};

}  // namespace quorvane
