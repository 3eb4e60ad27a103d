#pragma once

#include "db/Connection.h"

#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace quorvane::testing {

// A server on loopback that takes every connection and never says a word:
// the socket listens and nothing accepts, so the kernel completes each
// handshake and the client waits for a greeting that never comes. Closing
// it resets the connections still waiting.
class SilentServer {
public:
    SilentServer()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0
            || ::listen(fd_, 16) != 0
            || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            ADD_FAILURE() << "no listener on loopback";
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    QString port() const { return QString::number(port_); }

private:
    int fd_ = -1;
    int port_ = 0;
};

// The bound on connection opens, shortened for one test.
class ShortOpenTimeout {
public:
    ShortOpenTimeout() { SetOpenTimeout(std::chrono::milliseconds(500)); }
    ~ShortOpenTimeout() { SetOpenTimeout(kOpenTimeout); }
    ShortOpenTimeout(const ShortOpenTimeout&) = delete;
    ShortOpenTimeout& operator=(const ShortOpenTimeout&) = delete;
};

}  // namespace quorvane::testing
