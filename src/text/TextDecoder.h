#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace quorvane {

// Decodes the bytes of one encoding into text through the system's converter
// (glibc's iconv here; another system would add its own TextDecoder.cpp).
//
// A byte that cannot be decoded never becomes U+FFFD: it stands in the text
// as the lone low surrogate U+DC00 + byte, which no decoded text holds, so a
// reader can tell such a line (HoldsUndecodable) and name its bytes.
class TextDecoder {
public:
    // Raises a Failure when the system knows no such encoding.
    explicit TextDecoder(const QString& encoding);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    // Appends the text of the bytes; a sequence cut off at their end waits
    // for the next call.
    void decode(const char* bytes, qsizetype size, QString& out);
    // At the end of the input: a sequence still unfinished is undecodable.
    void finish(QString& out);

    // True once any byte could not be decoded.
    bool sawUndecodable() const { return sawUndecodable_; }
    const QString& encoding() const { return encoding_; }

    static bool IsKnown(const QString& encoding);

private:
    void markUndecodable(const char* bytes, qsizetype count, QString& out);

    QString encoding_;
    void* handle_;  // iconv_t
    QByteArray pending_;
    // Bytes skipped at an undecodable sequence: whole code units, so that
    // the rest of a UTF-16 or UTF-32 file stays aligned.
    qsizetype unit_ = 1;
    bool sawUndecodable_ = false;
};

// How the encoding writes LF and CR, asked of the system's converter, so
// that any name it knows (UTF16LE, UCS-4, IBM037, ...) is cut into lines
// where its decoder cuts them. Without the byte-order mark that names such as
// "UTF-16" write first; in the byte order the converter writes, which a
// file's own mark may reverse. LF and CR of a plain 8-bit text when the
// converter knows no such encoding.
struct EncodedLineBreaks {
    QByteArray lf;
    QByteArray cr;
};
EncodedLineBreaks LineBreaksOf(const QString& encoding);

// Bytes in one code unit of the encoding: 2 for UTF-16, 4 for UTF-32, 1 for
// most others.
qsizetype CodeUnitBytes(const QString& encoding);

// True when the text holds bytes that could not be decoded.
inline bool HoldsUndecodable(QStringView text) { return !text.isValidUtf16(); }

// The text's bytes as UTF-8, each undecodable byte as it stood in the file.
QByteArray MarkedTextToBytes(QStringView text);

// The text for a report: each undecodable byte shown as \xNN.
QString ShowUndecodable(QStringView text);

}  // namespace quorvane
