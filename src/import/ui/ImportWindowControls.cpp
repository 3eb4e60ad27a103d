#include "import/ui/ImportWindowControls.h"

#include "widgets/Twips.h"
#include "widgets/WindowLook.h"
#include "filelist/ui/FileListView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace quorvane {

namespace {

template <class Control>
Control* Make(QWidget* parent, const QString& caption, int left, int top, int width, int height)
{
    auto* control = new Control(caption, parent);
    PlaceInTwips(control, left, top, width, height);
    return control;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, int left, int top, int width,
                        int height)
{
    auto* button = Make<QPushButton>(parent, caption, left, top, width, height);
    button->setFont(ButtonFont());
    button->setAutoDefault(false);
    return button;
}

}  // namespace

Form2Controls BuildForm2Controls(QWidget* window, BusyIndicator& windowBusy)
{
    Form2Controls c;
    c.PushButton5 = MakeButton(window, QStringLiteral("< Back To Setup"), 120, 120, 7800, 405);

    c.ListView1 = new FileListView(windowBusy, window);
    PlaceInTwips(c.ListView1, 120, 630, 7800, 2535);

    c.Frame1 = Make<QGroupBox>(
        window, QStringLiteral("Fields are separated by this character or these characters"), 120,
        3210, 7800, 825);
    c.Text3 = Make<QLineEdit>(c.Frame1, QString(), 240, 300, 6615, 345);
    c.PushButton6 = MakeButton(c.Frame1, QStringLiteral("?"), 6960, 300, 615, 345);

    c.PushButton3 = MakeButton(window, QStringLiteral("Add Text File(s)"), 120, 4140, 3840, 405);
    c.PushButton4 =
        MakeButton(window, QStringLiteral("Add All File(s) In Folder"), 4080, 4140, 3840, 405);
    c.PushButton1 = MakeButton(window, QStringLiteral("Import to IBM DB2"), 120, 4650, 7815, 405);

    c.Frame2 = Make<QGroupBox>(window, QStringLiteral("Table Options"), 8040, 30, 7800, 5045);
    c.Option1 = Make<QRadioButton>(c.Frame2, QStringLiteral("Create New Table From Text File"), 180,
                                   360, 3495, 255);
    c.Frame3 = Make<QGroupBox>(c.Frame2, QStringLiteral("Create New Table Options"), 180, 720, 5775,
                               1455);
    c.Option3 = Make<QRadioButton>(
        c.Frame3, QStringLiteral("First line in file will be used to create table columns"), 120,
        300, 4695, 255);
    c.Option4 = Make<QRadioButton>(
        c.Frame3, QStringLiteral("Ignore first line, user-specified columns names"), 120, 600, 4455,
        255);
    c.Label5 = Make<QLabel>(c.Frame3, QStringLiteral("Table Name:"), 240, 960, 1215, 255);
    c.Text2 = Make<QLineEdit>(c.Frame3, QString(), 1680, 960, 3735, 330);

    c.Option2 = Make<QRadioButton>(
        c.Frame2, QStringLiteral("Append to Existing Table From Text File"), 180, 2280, 4095, 255);
    c.Frame4 = Make<QGroupBox>(c.Frame2, QStringLiteral("Append to Existing Table Options"), 180,
                               2640, 5775, 2175);
    c.Check2 = Make<QCheckBox>(
        c.Frame4, QStringLiteral("Ignore first line in file because it is a header row with no data"),
        120, 360, 5535, 255);
    c.Label2 = Make<QLabel>(c.Frame4, QStringLiteral("Table Name:"), 240, 720, 1215, 255);
    c.List1 = new QListWidget(c.Frame4);
    PlaceInTwips(c.List1, 1680, 720, 3735, 1185);
    c.List1->setSelectionMode(QAbstractItemView::SingleSelection);

    // Two groups of their own: Qt's automatic grouping by parent would also
    // take in Option3 and Option4, which sit in a frame inside Frame2.
    for (auto [first, second] : {std::pair{c.Option1, c.Option2}, std::pair{c.Option3, c.Option4}}) {
        auto* group = new QButtonGroup(window);
        group->addButton(first);
        group->addButton(second);
    }
    c.Option1->setChecked(true);
    c.Option3->setChecked(true);
    for (QWidget* disabled : {static_cast<QWidget*>(c.Frame4), static_cast<QWidget*>(c.Check2),
                              static_cast<QWidget*>(c.Label2), static_cast<QWidget*>(c.List1)})
        disabled->setEnabled(false);

    QWidget* order[] = {c.PushButton5, c.ListView1, c.Text3, c.PushButton6, c.PushButton3,
                        c.PushButton4, c.PushButton1, c.Option1, c.Option3, c.Option4,
                        c.Text2, c.Option2, c.Check2, c.List1};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    return c;
}

}  // namespace quorvane
