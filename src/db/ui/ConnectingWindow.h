#pragma once

#include "base/EventPump.h"
#include "db/ConnectionParameters.h"

#include <QElapsedTimer>

#include <chrono>
#include <memory>

class QDialog;

namespace quorvane {

// How long a connection check may go unanswered before the user is told
// what is being waited for.
inline constexpr std::chrono::milliseconds kConnectingWindowDelay{1000};

// Serves the program's windows while a connection check waits, as the
// pump it wraps does. Once the check has waited kConnectingWindowDelay, a
// small window names the server and port being tried, with a busy bar and
// "Cancel"; Cancel (or closing that window) ends the wait at once, and the
// check answers "no". A check answered sooner shows nothing.
class ConnectingWindow final : public EventPump {
public:
    ConnectingWindow(EventPump& events, const ConnectionParameters& target);
    ~ConnectingWindow() override;
    ConnectingWindow(const ConnectingWindow&) = delete;
    ConnectingWindow& operator=(const ConnectingWindow&) = delete;

    void processEvents() override;

    // The window's text for the parameters.
    static QString Text(const ConnectionParameters& target);

private:
    void show();

    EventPump& events_;
    QString text_;
    QElapsedTimer waited_;
    std::unique_ptr<QDialog> window_;
    bool cancelled_ = false;
};

}  // namespace quorvane
