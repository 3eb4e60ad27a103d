#include "import/BatchPipeline.h"

#include "import/ImportDatabase.h"

namespace quorvane {

void BatchPipeline::start(const QString& table, int columns, RowBatch batch)
{
    waitQuietly();
    sending_ = std::move(batch);
    inFlight_ = std::async(std::launch::async, [this, table, columns] {
        if (!prepared_) {
            database_.beginBatches(table, columns);
            prepared_ = true;
        }
        database_.sendBatch(sending_.rows);
        database_.commit();
    });
}

std::exception_ptr BatchPipeline::wait(RowBatch& batch)
{
    std::exception_ptr failure;
    if (inFlight_.valid()) {
        try {
            inFlight_.get();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    batch = std::move(sending_);
    sending_.clear();
    return failure;
}

void BatchPipeline::finish()
{
    waitQuietly();
    if (!prepared_)
        return;
    prepared_ = false;
    database_.endBatches();
}

void BatchPipeline::waitQuietly()
{
    if (inFlight_.valid())
        inFlight_.wait();
}

}  // namespace quorvane
