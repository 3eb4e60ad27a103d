#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace quorvane {

class ConnectionParametersSource;
class EventPump;

// The list of the database's tables that the import window shows.
class TableList {
public:
    virtual ~TableList() = default;
    virtual QStringList items() const = 0;
    virtual void clear() = 0;
    virtual void append(const QString& name) = 0;
    virtual void insertAtTop(const QString& name) = 0;
    // The selected item, if any.
    virtual std::optional<QString> selectedItem() const = 0;
};

// A table list without a window (command line, tests).
class PlainTableList final : public TableList {
public:
    QStringList items() const override { return items_; }
    void clear() override { items_.clear(); selected_ = -1; }
    void append(const QString& name) override { items_.append(name); }
    void insertAtTop(const QString& name) override;
    std::optional<QString> selectedItem() const override;
    void select(int index) { selected_ = index; }

private:
    QStringList items_;
    int selected_ = -1;
};

// Replaces the list with the names of the database's tables (catalogue rows
// of type exactly "TABLE"), letting the window breathe before each name.
// A failure before the catalogue is read leaves the list as it was.
void ListTables(TableList& list, const ConnectionParametersSource& parameters, EventPump& events);

}  // namespace quorvane
