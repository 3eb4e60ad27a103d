#pragma once

#include "import/SqlTexts.h"

#include <QString>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace quorvane {

class ImportDatabase;

// Fast load's rows not sent yet, and where in the file each came from.
struct RowBatch {
    std::vector<RowValues> rows;
    std::vector<std::pair<qint64, qint64>> lines;  // first physical line, lines spanned
    qsizetype characters = 0;

    bool empty() const { return rows.empty(); }
    void clear()
    {
        rows.clear();
        lines.clear();
        characters = 0;
    }
};

// Sends fast load's batches on a thread of its own, each as one
// transaction, while the next ones are read. One batch is sent at a time
// and one more may wait its turn, so the sending thread goes from one to
// the next without waiting for the reader. A batch that fails halts the
// sending: the one waiting stays unsent until the caller, having dealt
// with the failure (the connection is idle meanwhile), resumes or drops it.
class BatchPipeline {
public:
    struct Sent {
        RowBatch batch;
        std::exception_ptr failure;  // empty when every row is committed
    };

    explicit BatchPipeline(ImportDatabase& database) : database_(database) {}
    ~BatchPipeline();
    BatchPipeline(const BatchPipeline&) = delete;
    BatchPipeline& operator=(const BatchPipeline&) = delete;

    // Batches handed over and not collected yet.
    bool busy() const;
    // True when a batch waits its turn (so that a third would have to wait).
    bool full() const;
    // Hands a batch over to be sent to the table (into the named columns,
    // when any are named), the insert being prepared first when it is not
    // yet. The pipeline must not be full.
    void send(const QString& table, int columns, const QStringList& columnNames, RowBatch batch);
    // The same, sent on the caller's thread before it returns; only when
    // nothing is under way (not busy). For a file's last batch, which the
    // caller waits for anyway: handing a file of a few rows to the sending
    // thread and back costs more than sending them.
    void sendHere(const QString& table, int columns, const QStringList& columnNames, RowBatch batch);
    // The oldest batch handed over, once sent; waits for it. Empty when
    // there is none.
    std::optional<Sent> collect();
    // After a failure: lets the batch that waits go, or drops it.
    void resume();
    std::optional<RowBatch> dropWaiting();
    // The insert is prepared (until finish).
    bool prepared() const;
    // Ends the batches on the connection (a file's end); the sending thread
    // waits for the next file's batches.
    void finish();

private:
    void sendAll();
    // Sends the batch's rows as one transaction, preparing the insert first
    // when asked; the failure, if any, goes into `sent`. True once prepared.
    bool transmit(Sent& sent, bool prepare, const QString& table, int columns, const QStringList& columnNames);
    // With the lock held: the batch is back, for collect().
    void sentBack(Sent sent, bool prepared);
    void stopThread();

    ImportDatabase& database_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<RowBatch> waiting_;  // at most one
    std::deque<Sent> sent_;         // in the order handed over
    bool sending_ = false;          // a batch is being sent
    bool halted_ = false;           // a batch failed; the waiting one stays
    bool ending_ = false;
    bool prepared_ = false;
    QString table_;
    int columns_ = 0;
    QStringList columnNames_;
    std::thread thread_;
};

}  // namespace quorvane
