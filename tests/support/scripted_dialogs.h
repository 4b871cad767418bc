#pragma once
// A stand-in for the message boxes and prompts: it records what the program showed and answers
// as the test scripted, so no test ever waits on a modal box.

#include "session/dialogs.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace mv {

// Records what was shown and answers as scripted (Ok / empty text when the script is empty).
class ScriptedDialogs final : public Dialogs {
  public:
    struct Shown {
        QString kind;        // "message", "prompt", "save", "open", "beep", "help", "document"
        QString text, title; // a file dialog's text is the folder it starts in
        Icon icon = Icon::None;
    };
    std::vector<Shown> shown;
    // Runs while a message box would be open, before its answer: a test looks at the windows
    // then, or acts as a user would behind the box.
    std::function<void()> whileShown;
    std::deque<Answer> answers;
    std::deque<QString> texts; // answers to prompts and save-file questions
    int beeps = 0;
    bool documentsOpen = true; // false: a desktop with no program for the document

    Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    QString prompt(const QString& text, const QString& title, const QString& defaultText) override;
    QString saveFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    void beep() override;
    void showHelp(const QString& topic) override;
    bool openDocument(const QString& path) override;
    // Messages only, in order.
    QStringList messages() const;

  private:
    QString nextText(); // the next scripted answer to a prompt or file question
};

} // namespace mv
