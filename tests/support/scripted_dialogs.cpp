#include "tests/support/scripted_dialogs.h"

namespace mv {

Dialogs::Answer ScriptedDialogs::message(const QString& text, const QString& title, Icon icon,
                                         Buttons) {
    if (whileShown) whileShown();
    shown.push_back({"message", text, title, icon});
    if (answers.empty()) return Answer::Ok;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

QString ScriptedDialogs::nextText() {
    if (texts.empty()) return {};
    QString t = texts.front();
    texts.pop_front();
    return t;
}

QString ScriptedDialogs::prompt(const QString& text, const QString& title, const QString&) {
    shown.push_back({"prompt", text, title, Icon::None});
    return nextText();
}

QString ScriptedDialogs::saveFileName(const QString& title, const QString& folder, const QString&) {
    shown.push_back({"save", folder, title, Icon::None});
    return nextText();
}

QString ScriptedDialogs::openFileName(const QString& title, const QString& folder, const QString&) {
    shown.push_back({"open", folder, title, Icon::None});
    return nextText();
}

void ScriptedDialogs::beep() {
    ++beeps;
    shown.push_back({"beep", {}, {}, Icon::None});
}

void ScriptedDialogs::showHelp(const QString& topic) {
    shown.push_back({"help", topic, {}, Icon::None});
}

bool ScriptedDialogs::openDocument(const QString& path) {
    shown.push_back({"document", path, {}, Icon::None});
    return documentsOpen;
}

QStringList ScriptedDialogs::messages() const {
    QStringList out;
    for (const auto& s : shown)
        if (s.kind == "message") out << s.text;
    return out;
}

} // namespace mv
