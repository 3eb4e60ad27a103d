#include "import/ui/OptionsPanel.h"

#include "text/SeparatorEscapes.h"
#include "text/TextFormat.h"

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
    options.mode = c_.appendOption->isChecked() ? ImportMode::AppendExisting : ImportMode::CreateNew;
    options.columnSource = c_.promptedColumnsOption->isChecked() ? ColumnSource::Prompted : ColumnSource::HeaderRow;
    options.tableNamePattern = c_.tableNameEdit->text();
    options.separator = UnescapeSeparator(c_.separatorEdit->text());
    const QList<QListWidgetItem*> selected = c_.tableList->selectedItems();
    if (!selected.isEmpty())
        options.selectedTable = selected.first()->text();
    options.encoding = FileEncoding::FromName(c_.encodingChoice->currentText());
    options.quotedFields = c_.quotedFieldsCheck->isChecked();
    options.fastLoad = c_.fastLoadCheck->isChecked();
    options.detectColumnTypes = c_.columnTypesChoice->currentText() == kDetectedColumnTypes;
    options.upperCaseNames = c_.upperCaseNamesCheck->isChecked();
    options.matchColumnsByName = c_.matchNamesCheck->isChecked();
    return options;
}

void OptionsPanel::onCreateTableClicked()
{
    if (!c_.createTableOption->isChecked())
        return;
    c_.headerColumnsOption->setEnabled(true);
    c_.promptedColumnsOption->setEnabled(true);
    c_.appendOptionsFrame->setEnabled(false);
    c_.ignoreHeaderCheck->setEnabled(false);
    c_.tableListLabel->setEnabled(false);
    c_.tableList->setEnabled(false);
    c_.tableNameLabel->setEnabled(true);
    c_.tableNameEdit->setEnabled(true);
    c_.upperCaseNamesCheck->setEnabled(true);
    c_.columnTypesLabel->setEnabled(true);
    c_.columnTypesChoice->setEnabled(true);
    c_.matchNamesCheck->setEnabled(false);
}

void OptionsPanel::onAppendClicked()
{
    if (!c_.appendOption->isChecked())
        return;
    c_.appendOptionsFrame->setEnabled(true);
    c_.ignoreHeaderCheck->setEnabled(true);
    c_.headerColumnsOption->setEnabled(false);
    c_.promptedColumnsOption->setEnabled(false);
    c_.tableListLabel->setEnabled(true);
    c_.tableList->setEnabled(true);
    c_.tableNameLabel->setEnabled(false);
    c_.tableNameEdit->setEnabled(false);
    // Appending keeps the table's own names and types.
    c_.upperCaseNamesCheck->setEnabled(false);
    c_.columnTypesLabel->setEnabled(false);
    c_.columnTypesChoice->setEnabled(false);
    c_.matchNamesCheck->setEnabled(true);
}

}  // namespace quorvane
