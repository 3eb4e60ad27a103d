#include "db/ui/LoginWindowControls.h"

#include "widgets/FieldBehaviours.h"
#include "widgets/Twips.h"
#include "widgets/WindowLook.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>
#include <utility>

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

LoginWindowControls BuildLoginWindowControls(QWidget* window)
{
    LoginWindowControls c;
    c.connectionFrame = new QGroupBox(QStringLiteral("IBM DB2 Login"), window);
    c.connectionFrame->setFont(FieldFont());
    PlaceInTwips(c.connectionFrame, 120, 120, 7800, 2865);

    c.serverLabel = MakeLabel(c.connectionFrame, QStringLiteral("Server:"), 240, 405, 1095, 255);
    c.serverEdit = MakeField(c.connectionFrame, 1320, 360, 4575, 330);
    c.portLabel = MakeLabel(c.connectionFrame, QStringLiteral("Port:"), 6000, 405, 495, 255);
    c.portEdit = MakeField(c.connectionFrame, 6480, 360, 1095, 330);
    c.userLabel = MakeLabel(c.connectionFrame, QStringLiteral("Username:"), 240, 885, 1095, 255);
    c.userEdit = MakeField(c.connectionFrame, 1320, 840, 6255, 330);
    c.passwordLabel = MakeLabel(c.connectionFrame, QStringLiteral("Password:"), 240, 1365, 1095, 255);
    c.passwordEdit = MakeField(c.connectionFrame, 1320, 1320, 6255, 330);
    ShowPasswordAsStars(c.passwordEdit);
    c.databaseLabel = MakeLabel(c.connectionFrame, QStringLiteral("Database:"), 240, 1845, 975, 255);
    c.databaseEdit = MakeField(c.connectionFrame, 1320, 1800, 6255, 330);
    // A screen reader names each field by its label, not by the frame.
    for (auto [label, field] : {std::pair{c.serverLabel, c.serverEdit}, std::pair{c.portLabel, c.portEdit},
                                std::pair{c.userLabel, c.userEdit}, std::pair{c.passwordLabel, c.passwordEdit},
                                std::pair{c.databaseLabel, c.databaseEdit}})
        label->setBuddy(field);

    c.testConnectionButton = MakeButton(c.connectionFrame, QStringLiteral("Test Connection"), 240, 2280, 3600, 405);
    c.helpButton = MakeButton(c.connectionFrame, QStringLiteral("Help"), 3960, 2280, 3600, 405);
    c.nextButton = MakeButton(window, QStringLiteral("Next >"), 120, 3120, 7800, 405);

    QWidget* order[] = {c.serverEdit, c.portEdit, c.userEdit, c.passwordEdit, c.databaseEdit,
                        c.testConnectionButton, c.helpButton, c.nextButton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    return c;
}

}  // namespace quorvane
