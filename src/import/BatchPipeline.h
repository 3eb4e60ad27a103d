#pragma once

#include "import/SqlTexts.h"
#include "text/TextRecords.h"

#include <QString>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace quorvane {

// One data line as the run takes it from the file.
struct ReadRow {
    enum class Kind {
        Row,          // values to insert
        Refused,      // never sent (undecodable, a NUL): `refusal` says why
        SingleField,  // not a row; rejected when its one field holds text
    };
    Kind kind = Kind::Row;
    SourceLines lines;
    RowValues values;
    // Fast load: it fits the prepared insert, so it goes in a batch.
    bool inBatch = false;
    QString refusal;
    bool holdsText = false;  // SingleField
};

// How the rows of a file are built from its records.
struct RowRules {
    RowStyle style = RowStyle::HeaderColumns;
    ColumnTypes types;      // none: all text
    int columns = 0;        // the header's fields
    bool fastLoad = false;
    std::size_t batchRows = 1;
    QString encoding;       // as the file is read, for the undecodable-line reason
};

// Rows read ahead: at most batchRows of them, or fewer past a few megabytes
// of text so that a file of long lines keeps memory bounded too. Fast load
// sends the rows of a chunk that go in a batch as one; a row that does not
// ends the batch before it and goes alone.
using RowChunk = std::vector<ReadRow>;

// Reads a file's data lines and builds their rows on a thread of its own
// (a std::jthread), a chunk ahead of the run's thread, which alone sends
// them: the connection is never touched here. At most two chunks wait. The
// first chunk is read on the caller's thread, and the thread starts only
// when the file goes on past it.
class BatchPipeline {
public:
    // reader: positioned after the header.
    BatchPipeline(std::unique_ptr<RecordReader> reader, RowRules rules);
    // Stops reading and waits for the thread.
    ~BatchPipeline();
    BatchPipeline(const BatchPipeline&) = delete;
    BatchPipeline& operator=(const BatchPipeline&) = delete;

    // The next chunk in file order, waited for; nothing after the last one.
    // A failure to read comes here, after the chunks read before it.
    std::optional<RowChunk> next();

private:
    // One record as a row, by the rules.
    static ReadRow BuildRow(const TextRecord& record, const RowRules& rules);
    // Fills chunk; false once the file has ended.
    bool readChunk(RowChunk& chunk, const std::stop_token& stop);
    void readAll(std::stop_token stop);

    std::unique_ptr<RecordReader> reader_;
    const RowRules rules_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<RowChunk> ready_;
    bool ended_ = false;
    std::exception_ptr failure_;
    bool started_ = false;
    std::jthread thread_;  // last: stopped and joined before the rest goes
};

}  // namespace quorvane
