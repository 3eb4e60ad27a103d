#include "cli/TerminalDialogs.h"

namespace quorvane::cli {

void Print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

void TerminalDialogs::write(const QString& text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Print(out_, lines + QLatin1Char('\n'));
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
