#include "db/TableCatalogue.h"

#include "base/EventPump.h"
#include "db/Connection.h"
#include "db/ConnectionParameters.h"

namespace quorvane {

void PlainTableList::insertAtTop(const QString& name)
{
    items_.prepend(name);
    if (selected_ >= 0)
        ++selected_;
}

std::optional<QString> PlainTableList::selectedItem() const
{
    if (selected_ < 0 || selected_ >= items_.size())
        return std::nullopt;
    return items_.at(selected_);
}

void ListTables(TableList& list, const ConnectionParametersSource& parameters, EventPump& events)
{
    Connection connection;
    connection.open(BuildConnectionString(parameters.currentParameters()), &events);
    ResultSet tables = connection.openTableSchema();
    list.clear();
    while (!tables.eof()) {
        if (tables.value(QStringLiteral("TABLE_TYPE")) == QLatin1String("TABLE")) {
            events.processEvents();
            list.append(tables.value(QStringLiteral("TABLE_NAME")));
        }
        tables.moveNext();
    }
    tables.close();
    connection.close();
}

}  // namespace quorvane
