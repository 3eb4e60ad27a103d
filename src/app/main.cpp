#include "app/ApplicationWindows.h"
#include "app/Screenshots.h"
#include "app/StartUpArguments.h"
#include "help/ui/HelpTextWindow.h"
#include "widgets/QtDialogs.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // Answered before the window system is opened, so it works without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::printf("quorvane %s\n", QUORVANE_VERSION);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
    // Only closing the login or the import window ends the program; the
    // windows hide one another, which must not look like the last one going.
    QApplication::setQuitOnLastWindowClosed(false);

    const quorvane::StartUpArguments arguments = quorvane::ParseStartUpArguments(QApplication::arguments());

    quorvane::QtDialogs dialogs;
    dialogs.setTextWindow([&dialogs](const QString& text, QWidget* owner) {
        quorvane::ShowHelpTextWindow(dialogs, text, owner);
    });

    quorvane::ApplicationWindows windows(dialogs);
    windows.start(arguments.files);

    if (arguments.screenshotFolder) {
        const bool saved = quorvane::SaveWindowScreenshots(windows, dialogs, *arguments.screenshotFolder);
        windows.lifetime().endProgram();
        return saved ? 0 : 1;
    }
    if (windows.lifetime().isEnding())
        return 0;
    return app.exec();
}
