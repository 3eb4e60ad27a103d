#include "import/ui/ReadingChoices.h"

#include "base/Settings.h"
#include "text/TextFormat.h"
#include "import/ui/ImportWindowControls.h"

#include <QCheckBox>
#include <QComboBox>

namespace quorvane {

namespace {
const QString kYes = QStringLiteral("true");
const QString kNo = QStringLiteral("false");
const QString kText = QStringLiteral("Text");
const QString kDetected = QStringLiteral("Detected");
}  // namespace

void RememberReadingChoices(const ImportWindowControls& c, SettingsStore& settings)
{
    // A stored name the window does not offer falls back to Automatic.
    const int stored = c.encodingChoice->findText(
        settings.GetSetting(SettingsKey::FileEncoding, FileEncoding::Automatic));
    c.encodingChoice->setCurrentIndex(stored < 0 ? 0 : stored);
    c.quotedFieldsCheck->setChecked(settings.GetSetting(SettingsKey::QuotedFields, kNo) == kYes);
    c.fastLoadCheck->setChecked(settings.GetSetting(SettingsKey::FastLoad, kNo) == kYes);
    c.columnTypesChoice->setCurrentText(settings.GetSetting(SettingsKey::ColumnTypes) == kDetected
                                            ? kDetectedColumnTypes
                                            : kTextColumnTypes);
    c.upperCaseNamesCheck->setChecked(settings.GetSetting(SettingsKey::UpperCaseNames, kNo) == kYes);
    c.matchNamesCheck->setChecked(settings.GetSetting(SettingsKey::MatchColumnsByName, kNo) == kYes);

    QObject::connect(c.encodingChoice, &QComboBox::currentTextChanged, c.encodingChoice,
                     [&settings](const QString& name) { settings.SaveSetting(SettingsKey::FileEncoding, name); });
    QObject::connect(c.quotedFieldsCheck, &QCheckBox::toggled, c.quotedFieldsCheck, [&settings](bool on) {
        settings.SaveSetting(SettingsKey::QuotedFields, on ? kYes : kNo);
    });
    QObject::connect(c.fastLoadCheck, &QCheckBox::toggled, c.fastLoadCheck, [&settings](bool on) {
        settings.SaveSetting(SettingsKey::FastLoad, on ? kYes : kNo);
    });
    QObject::connect(c.columnTypesChoice, &QComboBox::currentTextChanged, c.columnTypesChoice,
                     [&settings](const QString& choice) {
                         settings.SaveSetting(SettingsKey::ColumnTypes,
                                              choice == kDetectedColumnTypes ? kDetected : kText);
                     });
    QObject::connect(c.upperCaseNamesCheck, &QCheckBox::toggled, c.upperCaseNamesCheck, [&settings](bool on) {
        settings.SaveSetting(SettingsKey::UpperCaseNames, on ? kYes : kNo);
    });
    QObject::connect(c.matchNamesCheck, &QCheckBox::toggled, c.matchNamesCheck, [&settings](bool on) {
        settings.SaveSetting(SettingsKey::MatchColumnsByName, on ? kYes : kNo);
    });
}

}  // namespace quorvane
