#include "db/ui/LoginWindowControls.h"

#include "widgets/FieldBehaviours.h"
#include "widgets/Twips.h"
#include "widgets/WindowLook.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace quorvane {

namespace {

QLabel* MakeLabel(QWidget* parent, const QString& caption, int left, int top, int width, int height)
{
    auto* label = new QLabel(caption, parent);
    label->setFont(FieldFont());
    PlaceInTwips(label, left, top, width, height);
    return label;
}

QLineEdit* MakeField(QWidget* parent, int left, int top, int width, int height)
{
    auto* field = new QLineEdit(parent);
    // No limit: Qt's default of 32767 characters would cut a stored value,
    // and the change handler would then store the cut one.
    field->setMaxLength(std::numeric_limits<int>::max());
    field->setFont(FieldFont());
    PlaceInTwips(field, left, top, width, height);
    SelectAllOnFocus(field);
    return field;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, int left, int top, int width,
                        int height)
{
    auto* button = new QPushButton(caption, parent);
    button->setFont(ButtonFont());
    button->setAutoDefault(false);
    PlaceInTwips(button, left, top, width, height);
    return button;
}

}  // namespace

Form1Controls BuildForm1Controls(QWidget* window)
{
    Form1Controls c;
    c.Frame1 = new QGroupBox(QStringLiteral("IBM DB2 Login"), window);
    c.Frame1->setFont(FieldFont());
    PlaceInTwips(c.Frame1, 120, 120, 7800, 2865);

    c.Label10 = MakeLabel(c.Frame1, QStringLiteral("Server:"), 240, 405, 1095, 255);
    c.Text1 = MakeField(c.Frame1, 1320, 360, 4575, 330);
    c.Label9 = MakeLabel(c.Frame1, QStringLiteral("Port:"), 6000, 405, 495, 255);
    c.Text2 = MakeField(c.Frame1, 6480, 360, 1095, 330);
    c.Label11 = MakeLabel(c.Frame1, QStringLiteral("Username:"), 240, 885, 1095, 255);
    c.Text3 = MakeField(c.Frame1, 1320, 840, 6255, 330);
    c.Label7 = MakeLabel(c.Frame1, QStringLiteral("Password:"), 240, 1365, 1095, 255);
    c.Text4 = MakeField(c.Frame1, 1320, 1320, 6255, 330);
    ShowPasswordAsStars(c.Text4);
    c.Label8 = MakeLabel(c.Frame1, QStringLiteral("Database:"), 240, 1845, 975, 255);
    c.Text5 = MakeField(c.Frame1, 1320, 1800, 6255, 330);

    c.PushButton2 = MakeButton(c.Frame1, QStringLiteral("Test Connection"), 240, 2280, 3600, 405);
    c.PushButton5 = MakeButton(c.Frame1, QStringLiteral("Help"), 3960, 2280, 3600, 405);
    c.PushButton3 = MakeButton(window, QStringLiteral("Next >"), 120, 3120, 7800, 405);

    QWidget* order[] = {c.Text1, c.Text2, c.Text3, c.Text4, c.Text5,
                        c.PushButton2, c.PushButton5, c.PushButton3};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    return c;
}

}  // namespace quorvane
