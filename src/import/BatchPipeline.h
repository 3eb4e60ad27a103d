#pragma once

#include "import/SqlTexts.h"

#include <QString>

#include <exception>
#include <future>
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

// Sends fast load's batches one at a time on a thread of their own, each
// as one transaction, so that the next batch is read while the database
// works on the last. Only one batch is ever under way: the caller waits for
// it before the connection is used for anything else.
class BatchPipeline {
public:
    explicit BatchPipeline(ImportDatabase& database) : database_(database) {}
    ~BatchPipeline() { waitQuietly(); }
    BatchPipeline(const BatchPipeline&) = delete;
    BatchPipeline& operator=(const BatchPipeline&) = delete;

    // Starts sending the rows to the table, the insert being prepared first
    // when it is not yet, and committing them.
    void start(const QString& table, int columns, RowBatch batch);
    bool busy() const { return inFlight_.valid(); }
    // Waits for the batch under way and gives it back; its failure, if any.
    std::exception_ptr wait(RowBatch& batch);
    // The insert is prepared (until finish).
    bool prepared() const { return prepared_; }
    // Waits for any batch under way, then ends the batches on the connection.
    void finish();

private:
    void waitQuietly();

    ImportDatabase& database_;
    RowBatch sending_;
    bool prepared_ = false;
    std::future<void> inFlight_;  // last: it is waited for before the rest goes
};

}  // namespace quorvane
