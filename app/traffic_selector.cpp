#include "app/traffic_selector.h"

#include "app/random_window.h"
#include "app/scenario_list.h"
#include "app/set_targets.h"
#include "app/text_viewer.h"
#include "session/exercise.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

namespace mv {

TrafficSelector::TrafficSelector(Exercise& exercise, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), exercise_(exercise), dialogs_(dialogs) {
    setObjectName("pnlTraffic");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto* label2 = new QLabel("Traffic", this);
    label2->setObjectName("Label2");
    cboSetTraffic_ = new QComboBox(this);
    cboSetTraffic_->setObjectName("cboSetTraffic");
    // Preselected while disabled, so that filling the list opens no window.
    cboSetTraffic_->setEnabled(false);
    cboSetTraffic_->addItems({"Demo targets", "Set targets", "Random targets"});
    cboSetTraffic_->setCurrentIndex(0);
    cboSetTraffic_->setEnabled(true);
    row->addWidget(label2);
    row->addWidget(cboSetTraffic_, 1);
    // activated, not a change of index: choosing "Demo targets" while a demo runs opens the
    // chooser again for another demo.
    connect(cboSetTraffic_, &QComboBox::activated, this, &TrafficSelector::cboSetTraffic_Click);
    // A scenario started from elsewhere (the menus, start-up) shows its source here too.
    connect(&exercise_, &Exercise::changed, this, &TrafficSelector::ShowTrafficSource);
}

TrafficSelector::~TrafficSelector() = default;

QWidget* TrafficSelector::WindowParent() {
    return window();
}

TextViewer& TrafficSelector::textViewer() {
    if (!viewer_) viewer_ = new TextViewer(WindowParent());
    return *viewer_;
}

ScenarioList& TrafficSelector::scenarioList() {
    if (!list_) {
        list_ = new ScenarioList(exercise_, dialogs_, textViewer(), WindowParent());
        connect(list_, &ScenarioList::cancelled, this, &TrafficSelector::ShowTrafficSource);
    }
    return *list_;
}

SetTargets& TrafficSelector::setTargets() {
    if (!setTargets_) {
        setTargets_ = new SetTargets(exercise_, dialogs_, textViewer(), WindowParent());
        connect(setTargets_, &SetTargets::cancelled, this, &TrafficSelector::ShowTrafficSource);
        connect(setTargets_, &SetTargets::demoStored, this, &TrafficSelector::LoadDemoList);
    }
    return *setTargets_;
}

RandomTargets& TrafficSelector::randomTargets() {
    if (!random_) {
        random_ = new RandomTargets(exercise_, dialogs_, WindowParent());
        connect(random_, &RandomTargets::cancelled, this, &TrafficSelector::ShowTrafficSource);
    }
    return *random_;
}

void TrafficSelector::cboSetTraffic_Click(int index) {
    if (!cboSetTraffic_->isEnabled()) return;
    switch (index) {
    case 0:
        scenarioList().show();
        scenarioList().raise();
        scenarioList().activateWindow();
        break;
    case 1:
        setTargets().Open();
        break;
    case 2:
        randomTargets().Open();
        break;
    default:
        break;
    }
}

void TrafficSelector::Choose(ScenarioSource source) {
    const int index = static_cast<int>(source);
    cboSetTraffic_->setCurrentIndex(index);
    cboSetTraffic_Click(index);
}

void TrafficSelector::ShowDescription() {
    TextViewer& viewer = textViewer();
    viewer.ShowPreview(exercise_.simulation().Description);
    // The clock waits while the exercise's description is read and runs from its closing, so
    // the nearest ship has not closed a mile before the student looks at the picture.
    if (exercise_.isPaused()) return;
    exercise_.SetPaused(true);
    connect(
        &viewer, &TextViewer::closed, this,
        [this] {
            if (exercise_.isPaused()) exercise_.SetPaused(false);
        },
        Qt::SingleShotConnection);
}

bool TrafficSelector::LoadDemoList() {
    return scenarioList().LoadDemoList();
}

void TrafficSelector::ShowTrafficSource() {
    const int source = static_cast<int>(exercise_.simulation().TrafficSource);
    if (cboSetTraffic_->currentIndex() == source) return;
    // Disabled while the index is set, so that setting it opens no window.
    cboSetTraffic_->setEnabled(false);
    cboSetTraffic_->setCurrentIndex(source);
    cboSetTraffic_->setEnabled(true);
}

} // namespace mv
