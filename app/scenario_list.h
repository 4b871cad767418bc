#pragma once
// The demo chooser: every demo of the program folder, then the user's own, by title and file
// name. Run starts the
// chosen demo, Description previews it, Cancel leaves the scenario in force running.

#include <QDialog>

class QListWidget;

namespace mv {

class Dialogs;
class Exercise;
class TextViewer;

class ScenarioList : public QDialog {
    Q_OBJECT
  public:
    ScenarioList(Exercise& exercise, Dialogs& dialogs, TextViewer& viewer,
                 QWidget* parent = nullptr);

    // Lists the demos of the program folder afresh and selects the first. False when a file
    // could not be listed (the message has been shown; the others are listed all the same).
    bool LoadDemoList();

    QListWidget* lstScenarios() const { return lstScenarios_; }

  public slots:
    void cmdOK_Click();
    void cmdDescription_Click();
    void cmdCancel_Click();

  signals:
    // Cancel, Escape or the close box: the scenario in force goes on.
    void cancelled();

  protected:
    void reject() override;

  private:
    // The full path of the selected demo; empty when none is selected.
    QString SelectedFile() const;

    Exercise& exercise_;
    Dialogs& dialogs_;
    TextViewer& viewer_;
    QListWidget* lstScenarios_ = nullptr;
    int tabStop_ = 0; // 150 dialog units, in pixels
};

} // namespace mv
