#pragma once

#include <QString>
#include <stdexcept>

namespace quorvane {

// Every failure that a reporting procedure can show derives from this: the
// description is the text the user reads in the error report.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& description)
        : std::runtime_error(description.toStdString()), description_(description) {}
    const QString& description() const { return description_; }

private:
    QString description_;
};

// Thrown out of an event-loop pause when the user has closed a main window:
// the program ends at once, so nothing may catch this and carry on.
struct ProgramEnding {};

// The text to show for any exception caught by a reporting procedure.
QString DescribeFailure(const std::exception& failure);

}  // namespace quorvane
