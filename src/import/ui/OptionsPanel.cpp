#include "import/ui/OptionsPanel.h"

#include "import/SeparatorEscapes.h"
#include "import/TextFormat.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

namespace quorvane {

ImportOptions OptionsPanel::currentOptions() const
{
    ImportOptions options;
    options.mode = c_.Option2->isChecked() ? ImportMode::AppendExisting : ImportMode::CreateNew;
    options.columnSource = c_.Option4->isChecked() ? ColumnSource::Prompted : ColumnSource::HeaderRow;
    options.tableNamePattern = c_.Text2->text();
    options.separator = UnescapeSeparator(c_.Text3->text());
    const QList<QListWidgetItem*> selected = c_.List1->selectedItems();
    if (!selected.isEmpty())
        options.selectedTable = selected.first()->text();
    options.encoding = FileEncoding::FromName(c_.EncodingChoice->currentText());
    options.quotedFields = c_.QuotedFieldsCheck->isChecked();
    return options;
}

void OptionsPanel::Option1_Click()
{
    if (!c_.Option1->isChecked())
        return;
    c_.Option3->setEnabled(true);
    c_.Option4->setEnabled(true);
    c_.Frame4->setEnabled(false);
    c_.Check2->setEnabled(false);
    c_.Label2->setEnabled(false);
    c_.List1->setEnabled(false);
    c_.Label5->setEnabled(true);
    c_.Text2->setEnabled(true);
}

void OptionsPanel::Option2_Click()
{
    if (!c_.Option2->isChecked())
        return;
    c_.Frame4->setEnabled(true);
    c_.Check2->setEnabled(true);
    c_.Option3->setEnabled(false);
    c_.Option4->setEnabled(false);
    c_.Label2->setEnabled(true);
    c_.List1->setEnabled(true);
    c_.Label5->setEnabled(false);
    c_.Text2->setEnabled(false);
}

}  // namespace quorvane
