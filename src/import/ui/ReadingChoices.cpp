#include "import/ui/ReadingChoices.h"

#include "app/Settings.h"
#include "import/TextFormat.h"
#include "import/ui/Form2Controls.h"

#include <QCheckBox>
#include <QComboBox>

namespace quorvane {

namespace {
const QString kYes = QStringLiteral("true");
const QString kNo = QStringLiteral("false");
}  // namespace

void RememberReadingChoices(const Form2Controls& c, SettingsStore& settings)
{
    // A stored name the window does not offer falls back to Automatic.
    const int stored = c.EncodingChoice->findText(
        settings.GetSetting(SettingsKey::FileEncoding, FileEncoding::Automatic));
    c.EncodingChoice->setCurrentIndex(stored < 0 ? 0 : stored);
    c.QuotedFieldsCheck->setChecked(settings.GetSetting(SettingsKey::QuotedFields, kNo) == kYes);

    QObject::connect(c.EncodingChoice, &QComboBox::currentTextChanged, c.EncodingChoice,
                     [&settings](const QString& name) { settings.SaveSetting(SettingsKey::FileEncoding, name); });
    QObject::connect(c.QuotedFieldsCheck, &QCheckBox::toggled, c.QuotedFieldsCheck, [&settings](bool on) {
        settings.SaveSetting(SettingsKey::QuotedFields, on ? kYes : kNo);
    });
}

}  // namespace quorvane
