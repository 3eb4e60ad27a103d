#pragma once

#include "base/Failure.h"

#include <cerrno>
#include <cstring>

namespace quorvane {

// A failed file-system call, worded as the platform words its error number.
class FileSystemFailure : public Failure {
public:
    explicit FileSystemFailure(int error)
        : Failure(QString::fromLocal8Bit(std::strerror(error))), error_(error)
    {
    }
    int error() const { return error_; }

    // The two failures that leave a folder out of a scan without a word:
    // permission denied and path not found.
    bool isDeniedOrMissing() const
    {
        return error_ == EACCES || error_ == EPERM || error_ == ENOENT || error_ == ENOTDIR;
    }

private:
    int error_;
};

}  // namespace quorvane
