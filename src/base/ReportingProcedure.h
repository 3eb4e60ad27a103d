#pragma once

#include "base/Failure.h"

#include <QString>
#include <exception>
#include <utility>

namespace quorvane {

class Dialogs;

// One run of a procedure that reports its own failures: it knows its
// location, keeps the number of the line it is on, and after a failed step
// shows the standard report and lets the caller go on with the next step.
//
//   ReportingProcedure proc(dialogs, Location::LoginWindowLoad);
//   proc.step(100, [&] { applySkin(); });
//   if (proc.test(124, [&] { return PathExists(cursorFile); }))
//       proc.step(126, [&] { loadPointer(); });
//
// ProgramEnding is not a failure: it passes through untouched.
class ReportingProcedure {
public:
    ReportingProcedure(Dialogs& dialogs, QString location);

    // Runs one statement on the given line; a failure is reported and
    // swallowed. Returns false when the statement failed.
    template <class Statement>
    bool step(int line, Statement&& statement)
    {
        line_ = line;
        try {
            std::forward<Statement>(statement)();
            return true;
        } catch (const std::exception& failure) {
            report(DescribeFailure(failure));
            return false;
        }
    }

    // Runs a branch test on the given line. A failed test is reported and
    // counts as passed, so the statements it guards run.
    template <class Condition>
    bool test(int line, Condition&& condition)
    {
        line_ = line;
        try {
            return static_cast<bool>(std::forward<Condition>(condition)());
        } catch (const std::exception& failure) {
            report(DescribeFailure(failure));
            return true;
        }
    }

    // Moves to a line without running anything (a loop header, say).
    void at(int line) { line_ = line; }

    // Shows the report for the current line; returns the check box state.
    bool report(const QString& description, const QString& checkBoxText = {});

    int line() const { return line_; }
    const QString& location() const { return location_; }
    Dialogs& dialogs() const { return dialogs_; }

private:
    Dialogs& dialogs_;
    QString location_;
    int line_ = 0;
};

}  // namespace quorvane
