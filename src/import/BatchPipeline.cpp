#include "import/BatchPipeline.h"

#include "import/ImportDatabase.h"

namespace quorvane {

BatchPipeline::~BatchPipeline() { stopThread(); }

bool BatchPipeline::busy() const
{
    const std::lock_guard lock(mutex_);
    return !waiting_.empty() || sending_ || !sent_.empty();
}

bool BatchPipeline::full() const
{
    const std::lock_guard lock(mutex_);
    return !waiting_.empty();
}

bool BatchPipeline::prepared() const
{
    const std::lock_guard lock(mutex_);
    return prepared_;
}

void BatchPipeline::send(const QString& table, int columns, const QStringList& columnNames, RowBatch batch)
{
    {
        const std::lock_guard lock(mutex_);
        table_ = table;
        columns_ = columns;
        columnNames_ = columnNames;
        waiting_.push_back(std::move(batch));
    }
    if (!thread_.joinable())
        thread_ = std::thread([this] { sendAll(); });
    changed_.notify_all();
}

void BatchPipeline::sendAll()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return ending_ || (!halted_ && !waiting_.empty()); });
        if (ending_)
            return;
        Sent sent{std::move(waiting_.front()), {}};
        waiting_.pop_front();
        sending_ = true;
        const bool prepare = !prepared_;
        const QString table = table_;
        const int columns = columns_;
        const QStringList columnNames = columnNames_;
        lock.unlock();
        const bool prepared = transmit(sent, prepare, table, columns, columnNames);
        lock.lock();
        sentBack(std::move(sent), prepared);
    }
}

void BatchPipeline::sendHere(const QString& table, int columns, const QStringList& columnNames, RowBatch batch)
{
    std::unique_lock lock(mutex_);
    table_ = table;
    columns_ = columns;
    columnNames_ = columnNames;
    sending_ = true;  // the sending thread, if any, stays asleep: nothing waits
    const bool prepare = !prepared_;
    lock.unlock();
    Sent sent{std::move(batch), {}};
    const bool prepared = transmit(sent, prepare, table, columns, columnNames);
    lock.lock();
    sentBack(std::move(sent), prepared);
}

bool BatchPipeline::transmit(Sent& sent, bool prepare, const QString& table, int columns,
                             const QStringList& columnNames)
{
    bool prepared = !prepare;
    try {
        if (prepare) {
            database_.beginBatches(table, columns, columnNames);
            prepared = true;
        }
        database_.sendBatch(sent.batch.rows);
        database_.commit();
    } catch (...) {
        sent.failure = std::current_exception();
    }
    return prepared;
}

void BatchPipeline::sentBack(Sent sent, bool prepared)
{
    prepared_ = prepared;
    halted_ = static_cast<bool>(sent.failure);
    sending_ = false;
    sent_.push_back(std::move(sent));
    changed_.notify_all();
}

std::optional<BatchPipeline::Sent> BatchPipeline::collect()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !sent_.empty() || (!sending_ && (waiting_.empty() || halted_)); });
    if (sent_.empty())
        return std::nullopt;
    Sent sent = std::move(sent_.front());
    sent_.pop_front();
    return sent;
}

void BatchPipeline::resume()
{
    {
        const std::lock_guard lock(mutex_);
        halted_ = false;
    }
    changed_.notify_all();
}

std::optional<RowBatch> BatchPipeline::dropWaiting()
{
    const std::lock_guard lock(mutex_);
    if (waiting_.empty())
        return std::nullopt;
    RowBatch batch = std::move(waiting_.front());
    waiting_.pop_front();
    return batch;
}

// The sending thread stays for the next file: a batch under way is waited
// for, one still waiting is dropped.
void BatchPipeline::finish()
{
    bool prepared = false;
    {
        std::unique_lock lock(mutex_);
        waiting_.clear();
        changed_.wait(lock, [&] { return !sending_; });
        sent_.clear();
        halted_ = false;
        prepared = std::exchange(prepared_, false);
    }
    if (prepared)
        database_.endBatches();
}

// A batch under way is waited for; one still waiting is dropped.
void BatchPipeline::stopThread()
{
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
    const std::lock_guard lock(mutex_);
    thread_ = std::thread();
    ending_ = false;
    halted_ = false;
    waiting_.clear();
    sent_.clear();
}

}  // namespace quorvane
