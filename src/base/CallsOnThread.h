#pragma once

#include "base/BusyIndicator.h"
#include "base/Dialogs.h"

#include <QObject>

#include <functional>
#include <memory>
#include <stop_token>

namespace quorvane {

// Lets work on a thread of its own use objects of another thread (the
// window's): each call runs on the owner's thread while the caller waits
// for it to end; on the owner's thread itself it runs at once. Once the
// work's stop is requested, a call that has not begun is never made:
// call() returns false at once, and callers waiting wake up. A call already
// running is waited for.
class CallsOnThread {
public:
    // Calls run on the thread of owner, which outlives every caller.
    CallsOnThread(QObject* owner, std::stop_token stop);
    ~CallsOnThread();
    CallsOnThread(const CallsOnThread&) = delete;
    CallsOnThread& operator=(const CallsOnThread&) = delete;

    // True when the work ran; its exception, if any, is rethrown here.
    bool call(const std::function<void()>& work);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    QObject* owner_;
};

// The dialogs of the owner's thread, for work on another. Once the work is
// stopped every dialog answers at once as if cancelled, unseen.
class DialogsOnThread final : public Dialogs {
public:
    DialogsOnThread(Dialogs& dialogs, CallsOnThread& calls) : dialogs_(dialogs), calls_(calls) {}
    bool messageBox(const MessageBoxSpec& spec) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) override;
    QStringList openFiles(const OpenFilesSpec& spec) override;
    QString browseForFolder(const QString& prompt, const QString& initialFolder) override;
    void showTextWindow(const QString& text) override;

private:
    Dialogs& dialogs_;
    CallsOnThread& calls_;
};

// The window's pointer, for work on another thread. Once the work is
// stopped it is left alone: the window sets it back itself.
class BusyIndicatorOnThread final : public BusyIndicator {
public:
    BusyIndicatorOnThread(BusyIndicator& busy, CallsOnThread& calls) : busy_(busy), calls_(calls) {}
    void setBusy(bool busy) override;
    bool isBusy() const override;

private:
    BusyIndicator& busy_;
    CallsOnThread& calls_;
};

}  // namespace quorvane
