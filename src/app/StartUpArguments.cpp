#include "app/StartUpArguments.h"

#include <QCommandLineParser>

namespace quorvane {

StartUpArguments ParseStartUpArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption screenshots(
        QStringLiteral("screenshot"),
        QStringLiteral("Save pictures of the windows in <folder> and quit."),
        QStringLiteral("folder"));
    parser.addOption(screenshots);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Files and folders to put in the list, in this order."),
                                 QStringLiteral("[FILE...]"));
    parser.process(arguments);

    StartUpArguments parsed;
    if (parser.isSet(screenshots))
        parsed.screenshotFolder = parser.value(screenshots);
    parsed.files = parser.positionalArguments();
    return parsed;
}

}  // namespace quorvane
