#pragma once

namespace quorvane {

// How the windows hand over to one another. Each window exists once; the
// import window is loaded at its first showing.
class WindowFlow {
public:
    virtual ~WindowFlow() = default;
    // Shows the import window, loading it first (its load steps run) when
    // it is not loaded yet.
    virtual void showImportWindow() = 0;
    // Runs the import window's load steps once more.
    virtual void reloadImportWindow() = 0;
    // Shows the login window as it was left.
    virtual void showLoginWindow() = 0;
};

}  // namespace quorvane
