#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quorvane::fuzz {

// A reader of the statements the import sends, written apart from the code
// that builds them: it reads them back the way a database would, so a
// value or a name that ends its quotes early shows up as a mismatch.
class SqlReader {
public:
    explicit SqlReader(const QString& text) : text_(text) {}

    bool literal(const QString& expected)
    {
        if (!text_.mid(position_).startsWith(expected))
            return false;
        position_ += expected.size();
        return true;
    }

    // "..." with "" standing for one quote.
    std::optional<QString> identifier() { return quoted(QLatin1Char('"')); }

    // '...' with '' standing for one apostrophe.
    std::optional<QString> string() { return quoted(QLatin1Char('\'')); }

    bool atEnd() const { return position_ == text_.size(); }

private:
    std::optional<QString> quoted(QChar quote)
    {
        if (position_ >= text_.size() || text_[position_] != quote)
            return std::nullopt;
        QString value;
        for (qsizetype i = position_ + 1; i < text_.size(); ++i) {
            if (text_[i] != quote) {
                value += text_[i];
                continue;
            }
            if (i + 1 < text_.size() && text_[i + 1] == quote) {
                value += quote;
                ++i;
                continue;
            }
            position_ = i + 1;
            return value;
        }
        return std::nullopt;  // never closed
    }

    QString text_;
    qsizetype position_ = 0;
};

struct ParsedInsert {
    QString table;
    std::vector<std::optional<QString>> values;  // nothing for NULL
};

// INSERT INTO "t" VALUES(v,...); and nothing after it.
inline std::optional<ParsedInsert> ParseInsert(const QString& sql)
{
    SqlReader reader(sql);
    ParsedInsert parsed;
    if (!reader.literal(QStringLiteral("INSERT INTO ")))
        return std::nullopt;
    const auto table = reader.identifier();
    if (!table || !reader.literal(QStringLiteral(" VALUES(")))
        return std::nullopt;
    parsed.table = *table;
    for (;;) {
        if (reader.literal(QStringLiteral("NULL"))) {
            parsed.values.emplace_back(std::nullopt);
        } else if (const auto value = reader.string()) {
            parsed.values.emplace_back(*value);
        } else {
            return std::nullopt;
        }
        if (reader.literal(QStringLiteral(",")))
            continue;
        if (reader.literal(QStringLiteral(");")) && reader.atEnd())
            return parsed;
        return std::nullopt;
    }
}

struct ParsedCreate {
    QString table;
    QStringList columns;
};

// CREATE TABLE "t"("c" LONG VARCHAR, ...); and nothing after it.
inline std::optional<ParsedCreate> ParseCreate(const QString& sql)
{
    SqlReader reader(sql);
    ParsedCreate parsed;
    if (!reader.literal(QStringLiteral("CREATE TABLE ")))
        return std::nullopt;
    const auto table = reader.identifier();
    if (!table || !reader.literal(QStringLiteral("(")))
        return std::nullopt;
    parsed.table = *table;
    for (;;) {
        const auto column = reader.identifier();
        if (!column || !reader.literal(QStringLiteral(" LONG VARCHAR")))
            return std::nullopt;
        parsed.columns << *column;
        if (reader.literal(QStringLiteral(", ")))
            continue;
        if (reader.literal(QStringLiteral(");")) && reader.atEnd())
            return parsed;
        return std::nullopt;
    }
}

}  // namespace quorvane::fuzz
