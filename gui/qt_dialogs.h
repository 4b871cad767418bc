#pragma once
// The dialogs a person sees: message boxes, prompts, the save dialog, the help window.

#include "session/dialogs.h"

class QWidget;

namespace mv {

// Real dialogs, parented to a window.
class QtDialogs final : public Dialogs {
  public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    QString prompt(const QString& text, const QString& title, const QString& defaultText) override;
    QString saveFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    void beep() override;
    void showHelp(const QString& topic) override;
    bool openDocument(const QString& path) override;

  private:
    QWidget* parent_;
};

} // namespace mv
