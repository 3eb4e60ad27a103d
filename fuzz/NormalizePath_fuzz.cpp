// Path normalising on both rules: pairs of separators collapse left to
// right without overlapping (a run of n inside the path becomes n - n / 2),
// the leading run becomes one "/" (Linux) or exactly two "\" (Windows),
// nothing else changes, the result is never longer (but for the Windows
// pair), and a path without runs of three or more comes out with no doubled
// separator left and stays as it is when normalised again.
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "filelist/PathRules.h"

#include <QList>
#include <QStringList>

#include <algorithm>

using namespace quorvane;

namespace {

// Runs of the separator, in order, and the text between them.
struct Runs {
    QStringList between;
    QList<qsizetype> lengths;
};

Runs CutIntoRuns(const QString& path, QChar separator)
{
    Runs runs;
    QString text;
    for (qsizetype i = 0; i < path.size();) {
        if (path[i] != separator) {
            text += path[i++];
            continue;
        }
        qsizetype length = 0;
        while (i < path.size() && path[i] == separator) {
            ++length;
            ++i;
        }
        runs.between << text;
        runs.lengths << length;
        text.clear();
    }
    runs.between << text;
    return runs;
}

QString Expected(const QString& path, QChar separator, qsizetype leadingRun)
{
    const Runs runs = CutIntoRuns(path, separator);
    QString result = runs.between.first();
    for (qsizetype r = 0; r < runs.lengths.size(); ++r) {
        const qsizetype n = runs.lengths[r];
        const bool leading = r == 0 && runs.between.first().isEmpty();
        result += QString(leading ? leadingRun : n - n / 2, separator);
        result += runs.between[r + 1];
    }
    return result;
}

bool HasLongRun(const QString& path, QChar separator)
{
    const QString three(3, separator);
    // The leading run is set whole, whatever its length.
    qsizetype start = 0;
    while (start < path.size() && path[start] == separator)
        ++start;
    return path.indexOf(three, start) >= 0;
}

void Check(const QString& path, QChar separator, qsizetype leadingRun, QString (*normalize)(const QString&))
{
    const QString result = normalize(path);
    FUZZ_CHECK(result == Expected(path, separator, leadingRun), path);
    FUZZ_CHECK(result.size() <= std::max(path.size(), leadingRun + path.size() - 1), path);
    if (path.isEmpty())
        FUZZ_CHECK(result.isEmpty(), path);
    if (HasLongRun(path, separator))
        return;
    const QString pair(2, separator);
    const qsizetype from = result.startsWith(separator) ? leadingRun : 0;
    FUZZ_CHECK(result.indexOf(pair, from) < 0, result);
    FUZZ_CHECK(normalize(result) == result, result);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Check(path, QLatin1Char('/'), 1, &NormalizeLinuxPath);
    Check(path, QLatin1Char('\\'), 2, &NormalizeWindowsPath);
    return 0;
}
