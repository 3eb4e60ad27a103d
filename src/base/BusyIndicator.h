#pragma once

namespace quorvane {

// The window's pointer as long work sees it: busy shows the hourglass (11),
// idle the default arrow (0). A window counts as busy while it shows it.
class BusyIndicator {
public:
    virtual ~BusyIndicator() = default;
    virtual void setBusy(bool busy) = 0;
    virtual bool isBusy() const = 0;
};

class NoBusyIndicator final : public BusyIndicator {
public:
    void setBusy(bool busy) override { busy_ = busy; }
    bool isBusy() const override { return busy_; }

private:
    bool busy_ = false;
};

}  // namespace quorvane
