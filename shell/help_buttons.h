#pragma once
// The console's "Help" and "Tutor" buttons, in a row of their own that the control column
// takes as it is.

#include <QWidget>

#include <filesystem>

namespace mv {

class Dialogs;

class HelpButtons : public QWidget {
    Q_OBJECT
  public:
    HelpButtons(Dialogs& dialogs, std::filesystem::path programFolder, QWidget* parent = nullptr);

  public slots:
    void cmdHelp_Click();
    void cmdTutorial_Click();

  private:
    Dialogs& dialogs_;
    std::filesystem::path programFolder_;
};

} // namespace mv
