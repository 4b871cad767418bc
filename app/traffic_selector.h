#pragma once
// The console's traffic selector and the three scenario windows it opens: the demo chooser,
// the own-targets dialog and random traffic. Choosing an entry opens its window; every Cancel
// sets the selector back to the source of the scenario in force without opening anything.

#include "core/scenario/scenario_start.h"

#include <QWidget>

class QComboBox;

namespace mv {

class Dialogs;
class Exercise;
class RandomTargets;
class ScenarioList;
class SetTargets;
class TextViewer;

class TrafficSelector : public QWidget {
    Q_OBJECT
  public:
    TrafficSelector(Exercise& exercise, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TrafficSelector() override;

    QComboBox* cboSetTraffic() const { return cboSetTraffic_; }
    ScenarioList& scenarioList();
    SetTargets& setTargets();
    RandomTargets& randomTargets();
    TextViewer& textViewer();

  public slots:
    // A choice of the user; ignored while the list is disabled.
    void cboSetTraffic_Click(int index);
    // The viewer with the description of the scenario in force, read-only.
    void ShowDescription();
    // Builds the demo chooser's list afresh from the program folder. False when a file could
    // not be listed (said in a message).
    bool LoadDemoList();
    // The selector shows the source of the scenario in force; nothing opens.
    void ShowTrafficSource();

    // The source shown in the list, and its window opened (again, when it is chosen already).
    void Choose(ScenarioSource source);

  private:
    QWidget* WindowParent();

    Exercise& exercise_;
    Dialogs& dialogs_;
    QComboBox* cboSetTraffic_ = nullptr;
    TextViewer* viewer_ = nullptr;
    ScenarioList* list_ = nullptr;
    SetTargets* setTargets_ = nullptr;
    RandomTargets* random_ = nullptr;
};

} // namespace mv
