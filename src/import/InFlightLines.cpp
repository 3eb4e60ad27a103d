#include "import/InFlightLines.h"

#include "import/ImportMessages.h"
#include "import/RejectsFile.h"

namespace quorvane {

void InFlightLines::useRejects(RejectsFile* rejects)
{
    const std::lock_guard lock(mutex_);
    rejects_ = rejects;
}

void InFlightLines::starting(SourceLines statement)
{
    const std::lock_guard lock(mutex_);
    statement_ = statement;
}

void InFlightLines::ended()
{
    const std::lock_guard lock(mutex_);
    statement_.reset();
}

bool InFlightLines::writeAndAbandon()
{
    const std::lock_guard lock(mutex_);
    if (abandoned_ || !statement_)
        return false;
    abandoned_ = true;
    if (rejects_) {
        // Line by line: the log then names the whole span ("lines A-B").
        for (qint64 line = statement_->first; line < statement_->end(); ++line)
            rejects_->reject({line, 1}, RejectReason::InDoubtAtEnd);
        rejects_->rejectRest(statement_->end(), RejectReason::Stopped);
        rejects_->finish();
    }
    return true;
}

}  // namespace quorvane
