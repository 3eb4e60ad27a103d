#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace quorvane::fuzz {

// Hands out pieces of the fuzzer's bytes; once they run out, every piece is
// empty or zero, so any input is a valid case.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size)
        : bytes_(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)) {}

    uint8_t byte() { return position_ < bytes_.size() ? static_cast<uint8_t>(bytes_[position_++]) : 0; }

    QByteArray take(qsizetype count)
    {
        const QByteArray piece = bytes_.mid(position_, count);
        position_ += piece.size();
        return piece;
    }

    QByteArray rest() { return take(bytes_.size() - position_); }

    // Text of up to maxBytes bytes, its length chosen by the next byte.
    QString shortText(int maxBytes) { return QString::fromUtf8(take(byte() % (maxBytes + 1))); }

private:
    QByteArray bytes_;
    qsizetype position_ = 0;
};

}  // namespace quorvane::fuzz
