#include "widgets/FieldBehaviours.h"

#include <QEvent>
#include <QLineEdit>
#include <QProxyStyle>
#include <QTimer>

namespace quorvane {

namespace {

class SelectAllFilter final : public QObject {
public:
    explicit SelectAllFilter(QLineEdit* field) : QObject(field), field_(field) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // After the event: a click that gave focus would otherwise place
        // the caret and drop the selection again.
        if (event->type() == QEvent::FocusIn)
            QTimer::singleShot(0, field_, [field = field_] { field->selectAll(); });
        return false;
    }

private:
    QLineEdit* field_;
};

class StarPasswordStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

void SelectAllOnFocus(QLineEdit* field) { field->installEventFilter(new SelectAllFilter(field)); }

void ShowPasswordAsStars(QLineEdit* field)
{
    auto* style = new StarPasswordStyle;
    style->setParent(field);
    field->setStyle(style);
    field->setEchoMode(QLineEdit::Password);
}

}  // namespace quorvane
