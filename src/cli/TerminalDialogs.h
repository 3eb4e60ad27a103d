#pragma once

#include "base/Dialogs.h"

#include <cstdio>

namespace quorvane::cli {

// Writes text as UTF-8 and flushes, so that output and messages interleave
// as they happened.
void Print(std::FILE* stream, const QString& text);

// The dialog interface on a terminal: boxes and reports are written to
// standard error with their exact texts; nothing is asked.
class TerminalDialogs final : public Dialogs {
public:
    explicit TerminalDialogs(std::FILE* out = stderr) : out_(out) {}

    bool messageBox(const MessageBoxSpec& spec) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) override;
    QStringList openFiles(const OpenFilesSpec& spec) override;
    QString browseForFolder(const QString& prompt, const QString& initialFolder) override;
    void showTextWindow(const QString& text) override;

private:
    void write(const QString& text);
    std::FILE* out_;
};

}  // namespace quorvane::cli
