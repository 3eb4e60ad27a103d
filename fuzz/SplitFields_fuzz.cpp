// Splitting a line at an arbitrary separator: the fields joined with the
// separator give back the line, the count agrees with the list, and no
// field holds a whole separator (the cut is always at the first one left).
#include "FuzzCheck.h"
#include "FuzzInput.h"

#include "text/TextRules.h"

using namespace quorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    const QString separator = input.shortText(6);
    const QString line = QString::fromUtf8(input.rest());

    const QStringList fields = SplitFields(line, separator);
    FUZZ_CHECK(CountFields(line, separator) == fields.size(), line);
    if (line.isEmpty()) {
        FUZZ_CHECK(fields.isEmpty(), line);
        return 0;
    }
    if (separator.isEmpty()) {
        FUZZ_CHECK(fields == QStringList{line}, line);
        return 0;
    }
    FUZZ_CHECK(fields.join(separator) == line, line);
    for (const QString& field : fields)
        FUZZ_CHECK(!field.contains(separator), field);
    return 0;
}
