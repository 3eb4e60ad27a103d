#include "import/BatchPipeline.h"

#include "import/ImportMessages.h"
#include "text/TextDecoder.h"

#include <algorithm>

namespace quorvane {

namespace {

constexpr std::size_t kChunksAhead = 2;
constexpr qsizetype kChunkCharacters = 4 * 1024 * 1024;

}  // namespace

BatchPipeline::BatchPipeline(std::unique_ptr<RecordReader> reader, RowRules rules)
    : reader_(std::move(reader)), rules_(std::move(rules))
{
}

BatchPipeline::~BatchPipeline()
{
    thread_.request_stop();
    if (thread_.joinable())
        thread_.join();
}

ReadRow BatchPipeline::BuildRow(const TextRecord& record, const RowRules& rules)
{
    ReadRow row;
    row.lines = record.lines;
    const QStringList& fields = record.fields;
    if (fields.size() <= 1) {
        row.kind = ReadRow::Kind::SingleField;
        row.holdsText = !fields.value(0).isEmpty();
        return row;
    }
    // Never sent with a replacement character, nor with a NUL, which would
    // end a statement's text early in one mode and be stored in the other.
    if (record.undecodable) {
        row.kind = ReadRow::Kind::Refused;
        row.refusal = UndecodableLineMessage(record.undecodableLine + 1, ShowUndecodable(record.undecodableLineText),
                                             rules.encoding);
        return row;
    }
    if (std::any_of(fields.begin(), fields.end(), [](const QString& field) { return field.contains(QChar(0)); })) {
        row.kind = ReadRow::Kind::Refused;
        row.refusal = RejectReason::NulCharacter;
        return row;
    }
    row.values = BuildRowValues(fields, rules.style, record.quoted.empty() ? nullptr : &record.quoted);
    ApplyColumnTypes(row.values, rules.types);
    row.inBatch = rules.fastLoad && fields.size() == rules.columns;
    return row;
}

bool BatchPipeline::readChunk(RowChunk& chunk, const std::stop_token& stop)
{
    std::size_t inBatch = 0;
    qsizetype characters = 0;
    TextRecord record;
    while (!stop.stop_requested()) {
        if (!reader_->next(record))
            return false;
        if (record.fieldCount == 0)  // an empty line is not a data line
            continue;
        for (const QString& field : record.fields)
            characters += field.size();
        ReadRow row = BuildRow(record, rules_);
        inBatch += row.inBatch ? 1 : 0;
        chunk.push_back(std::move(row));
        if (inBatch >= rules_.batchRows || chunk.size() >= rules_.batchRows || characters >= kChunkCharacters)
            return true;
    }
    return true;
}

void BatchPipeline::readAll(std::stop_token stop)
{
    std::exception_ptr failure;
    try {
        for (bool more = true; more && !stop.stop_requested();) {
            RowChunk chunk;
            more = readChunk(chunk, stop);
            if (chunk.empty())
                continue;
            std::unique_lock lock(mutex_);
            changed_.wait(lock, stop, [&] { return ready_.size() < kChunksAhead; });
            if (stop.stop_requested())
                return;
            ready_.push_back(std::move(chunk));
            changed_.notify_all();
        }
    } catch (...) {
        failure = std::current_exception();
    }
    const std::lock_guard lock(mutex_);
    failure_ = failure;
    ended_ = true;
    changed_.notify_all();
}

std::optional<RowChunk> BatchPipeline::next()
{
    // The first chunk is read here: a file that fits in it (most of a pile
    // of small files) never needs the thread.
    if (!started_) {
        started_ = true;
        RowChunk chunk;
        bool more = false;
        try {
            more = readChunk(chunk, {});
        } catch (...) {
            if (chunk.empty())
                throw;
            failure_ = std::current_exception();
        }
        if (more)
            thread_ = std::jthread([this](std::stop_token stop) { readAll(stop); });
        else
            ended_ = true;
        if (!chunk.empty())
            return chunk;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !ready_.empty() || ended_; });
    if (!ready_.empty()) {
        RowChunk chunk = std::move(ready_.front());
        ready_.pop_front();
        changed_.notify_all();
        return chunk;
    }
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
    return std::nullopt;
}

}  // namespace quorvane
