#include "app/ui/ApplicationWindows.h"
#include "app/ui/QtDialogs.h"
#include "app/ui/Screenshots.h"
#include "help/ui/Form3.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Only closing the login or the import window ends the program; the
    // windows hide one another, which must not look like the last one going.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption screenshots(
        QStringLiteral("screenshot"),
        QStringLiteral("Save pictures of the three windows in <folder> and quit."),
        QStringLiteral("folder"));
    parser.addOption(screenshots);
    parser.process(app);

    quorvane::QtDialogs dialogs;
    dialogs.setTextWindow([&dialogs](const QString& text, QWidget* owner) {
        quorvane::ShowHelpTextWindow(dialogs, text, owner);
    });

    quorvane::ApplicationWindows windows(dialogs);
    windows.start();

    if (parser.isSet(screenshots)) {
        const bool saved =
            quorvane::SaveWindowScreenshots(windows, dialogs, parser.value(screenshots));
        windows.lifetime().endProgram();
        return saved ? 0 : 1;
    }
    if (windows.lifetime().isEnding())
        return 0;
    return app.exec();
}
