#include "cli/TerminalDialogs.h"

namespace quorvane::cli {

void TerminalDialogs::write(const QString& text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QByteArray bytes = lines.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), out_);
    std::fflush(out_);
}

bool TerminalDialogs::messageBox(const MessageBoxSpec& spec)
{
    write(spec.text);
    return false;
}

QString TerminalDialogs::inputBox(const QString&, const QString&, const QString&) { return {}; }

QStringList TerminalDialogs::openFiles(const OpenFilesSpec&) { return {}; }

QString TerminalDialogs::browseForFolder(const QString&, const QString&) { return {}; }

void TerminalDialogs::showTextWindow(const QString& text) { write(text); }

}  // namespace quorvane::cli
