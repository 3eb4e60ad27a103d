#include "db/ui/ListBoxTableList.h"

#include <QListWidget>

namespace quorvane {

QStringList ListBoxTableList::items() const
{
    QStringList names;
    for (int row = 0; row < list_->count(); ++row)
        names << list_->item(row)->text();
    return names;
}

void ListBoxTableList::clear() { list_->clear(); }

void ListBoxTableList::append(const QString& name) { list_->addItem(name); }

void ListBoxTableList::insertAtTop(const QString& name) { list_->insertItem(0, name); }

std::optional<QString> ListBoxTableList::selectedItem() const
{
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.first()->text();
}

}  // namespace quorvane
