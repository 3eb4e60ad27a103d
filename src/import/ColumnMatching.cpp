#include "import/ColumnMatching.h"

namespace quorvane {

namespace {

// An empty field would vanish from the list that names it.
QString Shown(const QString& name) { return name.isEmpty() ? QStringLiteral("\"\"") : name; }

QStringList Shown(const QStringList& names)
{
    QStringList shown;
    for (const QString& name : names)
        shown << Shown(name);
    return shown;
}

}  // namespace

ColumnPairing PairColumnsByName(const QStringList& header, const std::vector<TableColumn>& table)
{
    ColumnPairing pairing;
    std::vector<bool> taken(table.size(), false);
    const auto find = [&](const QString& name, Qt::CaseSensitivity sensitivity) -> std::ptrdiff_t {
        for (std::size_t i = 0; i < table.size(); ++i) {
            if (table[i].name.trimmed().compare(name, sensitivity) == 0)
                return static_cast<std::ptrdiff_t>(i);
        }
        return -1;
    };
    for (const QString& field : header) {
        const QString name = field.trimmed();
        // Two columns that differ only in case each keep the field spelled as they are.
        std::ptrdiff_t column = find(name, Qt::CaseSensitive);
        if (column < 0)
            column = find(name, Qt::CaseInsensitive);
        if (column < 0) {
            pairing.unknown << name;
        } else if (taken[static_cast<std::size_t>(column)]) {
            pairing.repeated << name;
        } else {
            taken[static_cast<std::size_t>(column)] = true;
            pairing.columns << table[static_cast<std::size_t>(column)].name;
        }
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!taken[i] && table[i].needsValue)
            pairing.lacking << table[i].name;
    }
    return pairing;
}

QStringList HeaderColumnNames(const QStringList& header)
{
    QStringList names;
    for (const QString& field : header)
        names << field.trimmed();
    return names;
}

QStringList PairingFaults(const ColumnPairing& pairing, const QString& table)
{
    QStringList faults;
    const QString separator = QStringLiteral(", ");
    if (!pairing.unknown.isEmpty())
        faults << QStringLiteral("Columns not in the table %1: %2").arg(table, Shown(pairing.unknown).join(separator));
    if (!pairing.repeated.isEmpty())
        faults << QStringLiteral("Columns named more than once in the file: %1")
                      .arg(Shown(pairing.repeated).join(separator));
    if (!pairing.lacking.isEmpty())
        faults << QStringLiteral("Columns of the table %1 that the file leaves out and that need a value: %2")
                      .arg(table, pairing.lacking.join(separator));
    return faults;
}

QString PairingRefusedMessage(const QString& path, const QStringList& faults)
{
    return path + QStringLiteral(" was not loaded: its columns are matched to the table's by name.\r\n\r\n")
           + faults.join(QStringLiteral("\r\n"));
}

}  // namespace quorvane
