#include "ScriptedDialogs.h"

#include "base/ErrorReport.h"

#include <gtest/gtest.h>

#include <optional>

namespace quorvane::testing {

QString Describe(const ScriptedDialogs::Shown& shown)
{
    static const char* names[] = {"message", "input box", "open-file dialog", "folder browser",
                                  "text window"};
    QString text = shown.text;
    text.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QStringLiteral("%1 \"%2\"").arg(QLatin1String(names[int(shown.kind)]), text);
}

ScriptedDialogs::~ScriptedDialogs()
{
    for (const auto& left : script_)
        ADD_FAILURE() << "expected dialog never shown: " << left.description.toStdString();
}

ScriptedDialogs& ScriptedDialogs::expectMessage(const QString& text, bool tickCheckBox)
{
    script_.push_back({Kind::Message, [text](const Shown& s) { return s.text == text; },
                       QStringLiteral("message \"%1\"").arg(text), tickCheckBox, {}, {}, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectMessageContaining(const QString& fragment, bool tickCheckBox)
{
    script_.push_back({Kind::Message, [fragment](const Shown& s) { return s.text.contains(fragment); },
                       QStringLiteral("message containing \"%1\"").arg(fragment), tickCheckBox, {},
                       {}, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectErrorReport(const QString& location, int line, bool tickCheckBox)
{
    const QString where = QStringLiteral("\r\nin ") + location + QStringLiteral(" at line ")
                          + QString::number(line) + QStringLiteral("\r\r");
    script_.push_back({Kind::Message,
                       [where](const Shown& s) {
                           return s.title == kErrorReportTitle && s.warningIcon && s.text.contains(where);
                       },
                       QStringLiteral("error report in %1 at line %2").arg(location).arg(line),
                       tickCheckBox, {}, {}, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectInput(const QString& prompt, const QString& answer)
{
    script_.push_back({Kind::Input, [prompt](const Shown& s) { return s.text == prompt; },
                       QStringLiteral("input box \"%1\"").arg(prompt), false, answer, {}, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectOpenFiles(const QStringList& answer)
{
    script_.push_back({Kind::OpenFiles, [](const Shown&) { return true; },
                       QStringLiteral("open-file dialog"), false, {}, answer, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectFolder(const QString& answer)
{
    script_.push_back({Kind::Folder, [](const Shown&) { return true; },
                       QStringLiteral("folder browser"), false, answer, {}, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectTextWindow(const QString& text)
{
    script_.push_back({Kind::TextWindow, [text](const Shown& s) { return s.text == text; },
                       QStringLiteral("text window \"%1\"").arg(text), false, {}, {}, {}});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::then(std::function<void()> action)
{
    if (!script_.empty())
        script_.back().action = std::move(action);
    return *this;
}

int ScriptedDialogs::count(Kind kind) const
{
    int n = 0;
    for (const auto& s : shown_)
        n += s.kind == kind ? 1 : 0;
    return n;
}

std::optional<ScriptedDialogs::Expectation> ScriptedDialogs::take(const Shown& shown)
{
    shown_.push_back(shown);
    if (acceptAnything_ && script_.empty())
        return std::nullopt;
    if (script_.empty()) {
        ADD_FAILURE() << "unexpected " << Describe(shown).toStdString();
        return std::nullopt;
    }
    Expectation next = script_.front();
    if (next.kind != shown.kind || !next.matches(shown)) {
        ADD_FAILURE() << "expected " << next.description.toStdString() << " but got "
                      << Describe(shown).toStdString();
        return std::nullopt;
    }
    script_.pop_front();
    if (next.action)
        next.action();
    return next;
}

bool ScriptedDialogs::messageBox(const MessageBoxSpec& spec)
{
    Shown shown{Kind::Message, spec.text, spec.title, spec.warningIcon, spec.checkBoxText};
    const auto met = take(shown);
    return met && met->tick && !spec.checkBoxText.isEmpty();
}

QString ScriptedDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultAnswer)
{
    Shown shown{Kind::Input, prompt, title};
    shown.defaultAnswer = defaultAnswer;
    const auto met = take(shown);
    return met ? met->answer : QString();
}

QStringList ScriptedDialogs::openFiles(const OpenFilesSpec& spec)
{
    Shown shown{Kind::OpenFiles, {}, spec.title};
    shown.filters = spec.filters;
    shown.selectedFilter = spec.selectedFilter;
    const auto met = take(shown);
    return met ? met->answers : QStringList();
}

QString ScriptedDialogs::browseForFolder(const QString& prompt, const QString& initialFolder)
{
    Shown shown{Kind::Folder, prompt, {}};
    shown.defaultAnswer = initialFolder;
    const auto met = take(shown);
    return met ? met->answer : QString();
}

void ScriptedDialogs::showTextWindow(const QString& text)
{
    take(Shown{Kind::TextWindow, text, {}});
}

}  // namespace quorvane::testing
