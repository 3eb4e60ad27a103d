#pragma once

#include "import/ImportOptions.h"
#include "import/ui/ImportWindowControls.h"

namespace quorvane {

// The import window's choices: the enabling that follows the mode, and the
// options read from the controls at every call.
class OptionsPanel final : public ImportOptionsSource {
public:
    explicit OptionsPanel(const ImportWindowControls& controls) : c_(controls) {}

    ImportOptions currentOptions() const override;

    // Create mode: the create options usable, the append frame not.
    void onCreateTableClicked();
    // Append mode: the other way round. The create options' frame stays
    // enabled, and the choice between header-row and prompted columns is
    // kept for when create mode comes back.
    void onAppendClicked();

private:
    const ImportWindowControls& c_;
};

}  // namespace quorvane
