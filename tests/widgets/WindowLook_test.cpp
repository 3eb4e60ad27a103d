#include "widgets/Twips.h"
#include "widgets/WindowLook.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

struct TwipsCase {
    int twips;
    int pixels;
};

class TwipsTest : public ::testing::TestWithParam<TwipsCase> {};

TEST_P(TwipsTest, FifteenTwipsToAPixel) { EXPECT_EQ(Twips(GetParam().twips), GetParam().pixels); }

INSTANTIATE_TEST_SUITE_P(Sizes, TwipsTest,
                         ::testing::Values(TwipsCase{0, 0}, TwipsCase{15, 1}, TwipsCase{120, 8},
                                           TwipsCase{8040, 536}, TwipsCase{3645, 243},
                                           TwipsCase{15960, 1064}, TwipsCase{5160, 344},
                                           TwipsCase{6015, 401}, TwipsCase{4005, 267},
                                           TwipsCase{400, 27}, TwipsCase{5045, 336}));

// A window with a frame holding a label, an option-like check box and a field.
class ColourTest : public ::testing::Test {
protected:
    ColourTest()
        : frame(new QGroupBox(QStringLiteral("Frame"), &window)),
          label(new QLabel(QStringLiteral("Label"), frame)),
          check(new QCheckBox(QStringLiteral("Check"), frame)),
          field(new QLineEdit(frame))
    {
    }

    QColor background(QWidget* w) const { return w->palette().color(QPalette::Window); }

    QWidget window;
    QGroupBox* frame;
    QLabel* label;
    QCheckBox* check;
    QLineEdit* field;
};

TEST_F(ColourTest, ButtonFaceReachesNestedLabelsFramesAndCheckBoxesButNotFields)
{
    const QColor fieldBase = field->palette().color(QPalette::Base);
    UseButtonFaceColours(&window);
    const QColor face = QGuiApplication::palette().color(QPalette::Button);
    for (QWidget* w : {&window, static_cast<QWidget*>(frame), static_cast<QWidget*>(label),
                       static_cast<QWidget*>(check)})
        EXPECT_EQ(background(w), face) << w->metaObject()->className();
    EXPECT_EQ(field->palette().color(QPalette::Base), fieldBase);
}

TEST_F(ColourTest, WithoutSkinFileTheLoginLookStaysWhite)
{
    QTemporaryDir dir;
    UseWhiteColours(&window);
    EXPECT_FALSE(ApplySkin(&window, dir.filePath(QStringLiteral("x/o.cjs"))));
    EXPECT_EQ(background(&window), QColor(Qt::white));
    EXPECT_EQ(background(label), QColor(Qt::white));
}

TEST_F(ColourTest, SkinFileGivesTheButtonFaceColours)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("x"));
    QFile skin(dir.filePath(QStringLiteral("x/o.cjs")));
    ASSERT_TRUE(skin.open(QIODevice::WriteOnly));
    skin.close();
    UseWhiteColours(&window);
    EXPECT_TRUE(ApplySkin(&window, skin.fileName()));
    EXPECT_EQ(background(&window), QGuiApplication::palette().color(QPalette::Button));
}

TEST(WindowLookTest, FontsAreBoldArialOfTheDesignedSizes)
{
    EXPECT_EQ(FieldFont().family(), QStringLiteral("Arial"));
    EXPECT_DOUBLE_EQ(FieldFont().pointSizeF(), 9.0);
    EXPECT_TRUE(FieldFont().bold());
    EXPECT_DOUBLE_EQ(ButtonFont().pointSizeF(), 11.25);
    EXPECT_TRUE(ButtonFont().bold());
    EXPECT_FALSE(LoginWindowFont().bold());
}

TEST(WindowLookTest, FixedSizeWindowHasNoMaximiseBox)
{
    QWidget window;
    FixWindowSize(&window, 8040, 3645, TitleBarBoxes::CloseAndMinimise);
    EXPECT_EQ(window.minimumSize(), QSize(536, 243));
    EXPECT_EQ(window.maximumSize(), QSize(536, 243));
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);

    QWidget closeOnly;
    FixWindowSize(&closeOnly, 6015, 4005, TitleBarBoxes::CloseOnly);
    EXPECT_FALSE(closeOnly.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(closeOnly.windowFlags() & Qt::WindowCloseButtonHint);
}

}  // namespace
}  // namespace quorvane
