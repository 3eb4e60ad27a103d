#pragma once

#include "db/TableCatalogue.h"

class QListWidget;

namespace quorvane {

// The table list as the import window shows it (tableList).
class ListBoxTableList final : public TableList {
public:
    explicit ListBoxTableList(QListWidget* list) : list_(list) {}

    QStringList items() const override;
    void clear() override;
    void append(const QString& name) override;
    void insertAtTop(const QString& name) override;
    // The item the user selected; the list's current row alone (set, for
    // instance, when the list merely receives focus) selects nothing.
    std::optional<QString> selectedItem() const override;

private:
    QListWidget* list_;
};

}  // namespace quorvane
