#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace quorvane {

// What the program's command line asks for: quorvane [--screenshot FOLDER] [FILE...].
struct StartUpArguments {
    std::optional<QString> screenshotFolder;
    // Files and folders to start with in the list, as a file manager passes them.
    QStringList files;
};

// Reads the arguments (the program's name first); --help and --version
// are answered here and end the program.
StartUpArguments ParseStartUpArguments(const QStringList& arguments);

}  // namespace quorvane
