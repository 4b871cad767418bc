#pragma once
// Every message, prompt and file question goes through this one door, so that tests can
// script the answers and no test ever waits on a modal box.

#include <QString>
#include <QStringList>

namespace mv {

class Dialogs {
  public:
    enum class Icon { None, Information, Exclamation, Critical, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Dialogs() = default;
    // title empty: the application's name.
    virtual Answer message(const QString& text, const QString& title = {}, Icon icon = Icon::None,
                           Buttons buttons = Buttons::Ok) = 0;
    // Empty when cancelled.
    virtual QString prompt(const QString& text, const QString& title,
                           const QString& defaultText = {}) = 0;
    // Empty when cancelled. filter like "Demo files (*.dem)".
    virtual QString saveFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    // An existing file to open; empty when cancelled.
    virtual QString openFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    virtual void beep() = 0;
    // Help topic by context id or page name; documents and programs by path.
    virtual void showHelp(const QString& topic) = 0;
    virtual bool openDocument(const QString& path) = 0;
};

} // namespace mv
