#include "text/TextDecoder.h"

#include "base/Failure.h"

#include <QSysInfo>

#include <cerrno>
#include <cstring>

#include <iconv.h>

namespace quorvane {

namespace {

// Text in memory is UTF-16 in the machine's byte order: iconv writes it
// straight into the QString.
constexpr const char* kTextEncoding =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

constexpr char16_t kUndecodableBase = 0xDC00;

iconv_t Open(const QString& encoding)
{
    return iconv_open(kTextEncoding, encoding.toLatin1().constData());
}

iconv_t Handle(void* handle) { return static_cast<iconv_t>(handle); }

}  // namespace

EncodedLineBreaks LineBreaksOf(const QString& encoding)
{
    const iconv_t handle = iconv_open(encoding.toLatin1().constData(), "UTF-8");
    if (handle == reinterpret_cast<iconv_t>(-1))
        return {QByteArray("\n"), QByteArray("\r")};
    const auto encode = [&](char c) {
        char in[] = {c};
        char out[16];
        char* inPointer = in;
        char* outPointer = out;
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        if (iconv(handle, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1))
            return QByteArray();
        return QByteArray(out, qsizetype(sizeof out - outLeft));
    };
    // A mark, if the encoding writes one, comes with the first character only.
    encode('\n');
    EncodedLineBreaks breaks{encode('\n'), encode('\r')};
    iconv_close(handle);
    if (breaks.lf.isEmpty() || breaks.lf.size() != breaks.cr.size())
        return {QByteArray("\n"), QByteArray("\r")};
    return breaks;
}

qsizetype CodeUnitBytes(const QString& encoding) { return LineBreaksOf(encoding).lf.size(); }

TextDecoder::TextDecoder(const QString& encoding)
    : encoding_(encoding), handle_(Open(encoding)), unit_(CodeUnitBytes(encoding))
{
    if (Handle(handle_) == reinterpret_cast<iconv_t>(-1))
        throw Failure(QStringLiteral("Unknown file encoding %1.").arg(encoding));
}

TextDecoder::~TextDecoder() { iconv_close(Handle(handle_)); }

bool TextDecoder::IsKnown(const QString& encoding)
{
    const iconv_t handle = Open(encoding);
    if (handle == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(handle);
    return true;
}

void TextDecoder::markUndecodable(const char* bytes, qsizetype count, QString& out)
{
    sawUndecodable_ = true;
    for (qsizetype i = 0; i < count; ++i)
        out.append(QChar(char16_t(kUndecodableBase + static_cast<unsigned char>(bytes[i]))));
}

void TextDecoder::decode(const char* bytes, qsizetype size, QString& out)
{
    // A sequence cut at the end of the last call comes first; it is a few
    // bytes, joined with the chunk once per boundary.
    QByteArray joined;
    if (!pending_.isEmpty()) {
        joined = pending_ + QByteArray::fromRawData(bytes, size);
        pending_.clear();
        bytes = joined.constData();
        size = joined.size();
    }
    char* in = const_cast<char*>(bytes);
    size_t inLeft = static_cast<size_t>(size);
    qsizetype used = out.size();
    while (inLeft > 0) {
        // No encoding here yields more characters than bytes, except rare
        // ones, which find the room grown below.
        out.resize(used + qsizetype(inLeft) + 8);
        char* outStart = reinterpret_cast<char*>(out.data() + used);
        char* outPtr = outStart;
        size_t outLeft = size_t(out.size() - used) * sizeof(QChar);
        const size_t result = iconv(Handle(handle_), &in, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        used += (outPtr - outStart) / qsizetype(sizeof(QChar));
        if (result != static_cast<size_t>(-1))
            break;
        if (error == E2BIG)
            continue;
        if (error == EINVAL) {  // cut off: wait for the rest
            pending_ = QByteArray(in, qsizetype(inLeft));
            break;
        }
        if (error != EILSEQ)
            throw Failure(QStringLiteral("Cannot decode %1 text: %2")
                              .arg(encoding_, QString::fromLocal8Bit(std::strerror(error))));
        const qsizetype skipped = std::min<qsizetype>(unit_, qsizetype(inLeft));
        out.resize(used);
        markUndecodable(in, skipped, out);
        used = out.size();
        in += skipped;
        inLeft -= size_t(skipped);
    }
    out.resize(used);
}

void TextDecoder::finish(QString& out)
{
    if (!pending_.isEmpty()) {
        markUndecodable(pending_.constData(), pending_.size(), out);
        pending_.clear();
    }
}

QByteArray MarkedTextToBytes(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype plainFrom = 0;
    const auto flushPlain = [&](qsizetype to) {
        bytes += text.mid(plainFrom, to - plainFrom).toUtf8();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool marker = QChar::isLowSurrogate(c) && (i == 0 || !text[i - 1].isHighSurrogate());
        if (!marker)
            continue;
        flushPlain(i);
        bytes += char(c - kUndecodableBase);
        plainFrom = i + 1;
    }
    flushPlain(text.size());
    return bytes;
}

QString ShowUndecodable(QStringView text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isLowSurrogate(c) && (i == 0 || !text[i - 1].isHighSurrogate()))
            shown += QStringLiteral("\\x")
                     + QString::number(unsigned(c - kUndecodableBase), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else
            shown += text[i];
    }
    return shown;
}

}  // namespace quorvane
