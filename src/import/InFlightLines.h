#pragma once

#include "text/TextRecords.h"

#include <mutex>
#include <optional>

namespace quorvane {

class RejectsFile;

// The lines of the statement in progress and the rejects file of their
// source. Should the program have to end while that statement does not
// return, another thread writes what is left of the file to the rejects:
// the statement's lines marked in doubt, the rest as not sent.
class InFlightLines {
public:
    // The run's thread: the current file's rejects (none: between files).
    void useRejects(RejectsFile* rejects);
    // The run's own writes go through here; once abandoned, nothing does.
    template <class Write>
    void write(Write&& write)
    {
        const std::lock_guard lock(mutex_);
        if (rejects_ && !abandoned_)
            write(*rejects_);
    }
    void starting(SourceLines statement);
    void ended();

    // Any thread, once, while the run's thread is held in a statement: writes
    // the rest of the file and finishes the rejects. False when no statement
    // was under way.
    bool writeAndAbandon();

private:
    std::mutex mutex_;
    RejectsFile* rejects_ = nullptr;
    std::optional<SourceLines> statement_;
    bool abandoned_ = false;
};

}  // namespace quorvane
