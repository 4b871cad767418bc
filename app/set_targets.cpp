#include "app/set_targets.h"

#include "app/text_viewer.h"
#include "app/window_text.h"
#include "core/scenario/demo_file.h"
#include "gui/control_rows.h"
#include "gui/help_topics.h"
#include "gui/numeric_entry.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <system_error>

namespace mv {

namespace {

QString NumberedName(const char* name, int i) {
    return QString("%1(%2)").arg(name).arg(i);
}

} // namespace

SetTargets::SetTargets(Exercise& exercise, Dialogs& dialogs, TextViewer& viewer, QWidget* parent)
    : QDialog(parent), exercise_(exercise), dialogs_(dialogs), viewer_(viewer) {
    setObjectName("frmSetTargets");
    setWindowTitle("Set Your OwnTargets");
    setWindowModality(Qt::ApplicationModal);
    auto* keys = new NumericEntryFilter(this);
    auto* layout = new QVBoxLayout(this);

    auto* countRow = new QHBoxLayout;
    auto* lblTargets = new QLabel("Number of Targets:", this);
    txtTargets_ = new QLineEdit(this);
    txtTargets_->setObjectName("txtTargets");
    txtTargets_->setMaximumWidth(50);
    keys->watch(txtTargets_, "frmSetTargets");
    countRow->addWidget(lblTargets);
    countRow->addWidget(txtTargets_);
    auto* options = new QButtonGroup(this);
    for (int k = 1; k <= 5; ++k) {
        auto* opt = new QRadioButton(QString::number(k), this);
        opt->setObjectName(NumberedName("optTargets", k));
        options->addButton(opt, k);
        optTargets_[static_cast<size_t>(k - 1)] = opt;
        countRow->addWidget(opt);
    }
    countRow->addStretch(1);
    layout->addLayout(countRow);
    connect(txtTargets_, &QLineEdit::textChanged, this, &SetTargets::txtTargets_Change);
    connect(options, &QButtonGroup::idClicked, this, &SetTargets::optTargets_Click);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    int column = 1;
    for (const char* heading : {"Size", "Heading", "Speed", "Range", "Bearing"})
        grid->addWidget(new QLabel(heading, this), 0, column++, Qt::AlignLeft);
    auto* lblYour = new QLabel("--- Your Vessel ---", this);
    grid->addWidget(lblYour, 1, 0, 1, 6, Qt::AlignHCenter);
    for (int i = 0; i < kMaxVessels; ++i)
        BuildRow(i, grid, keys);
    layout->addLayout(grid);
    layout->addSpacing(10);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    ButtonRow row(buttons, ButtonUse::NotOnEnter, this, this);
    row.add("cmdRun", "&Run", &SetTargets::cmdRun_Click);
    cmdSaveDemo_ = row.add("cmdSaveDemo", "&Store as Demo", &SetTargets::cmdSaveDemo_Click);
    cmdDescription_ = row.add("cmdDescription", "&Description", &SetTargets::cmdDescription_Click);
    row.add("cmdCancel", "&Cancel", &SetTargets::cmdCancel_Click);
    row.add("cmdHelp", "&Help", &SetTargets::cmdHelp_Click);
    layout->addLayout(buttons);
    SetStoreEnabled(false);
    ShowRows(1);
}

void SetTargets::BuildRow(int i, QGridLayout* grid, NumericEntryFilter* keys) {
    Row& r = rows_[static_cast<size_t>(i)];
    // The own vessel's row stands under its heading line, the targets after it.
    const int line = i == 0 ? 2 : i + 3;
    if (i == 1) grid->setRowMinimumHeight(3, 8);
    r.lblVessel = new QLabel(QString::fromStdString(VesselLetter(i)), this);
    r.lblVessel->setObjectName(NumberedName("lblVessel", i));
    r.cboType = new QComboBox(this);
    r.cboType->setObjectName(NumberedName("cboType", i));
    r.cboType->addItems({"Small", "Medium", "Large"});
    r.cboType->setCurrentIndex(0);
    grid->addWidget(r.lblVessel, line, 0);
    grid->addWidget(r.cboType, line, 1);
    const auto field = [&](const char* name, int col) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(NumberedName(name, i));
        edit->setMaximumWidth(80);
        keys->watch(edit, "frmSetTargets");
        grid->addWidget(edit, line, col);
        // A changed field is no longer the scenario last run; refilled on opening it still is.
        connect(edit, &QLineEdit::textChanged, this, [this] {
            if (!refilling_) SetStoreEnabled(false);
        });
        return edit;
    };
    r.txtHeading = field("txtHeading", 2);
    r.txtSpeed = field("txtSpeed", 3);
    if (i > 0) {
        r.txtRange = field("txtRange", 4);
        r.txtBearing = field("txtBearing", 5);
    }
}

void SetTargets::ShowRows(int n) {
    for (int i = 1; i < kMaxVessels; ++i) {
        const bool shown = i <= n;
        const Row& r = rows_[static_cast<size_t>(i)];
        for (QWidget* w : std::initializer_list<QWidget*>{r.lblVessel, r.cboType, r.txtHeading,
                                                          r.txtSpeed, r.txtRange, r.txtBearing})
            w->setVisible(shown);
    }
}

void SetTargets::SetStoreEnabled(bool on) {
    cmdSaveDemo_->setEnabled(on);
    cmdDescription_->setEnabled(on);
}

void SetTargets::Open() {
    const Simulation& sim = exercise_.simulation();
    const OwnTargetFields f = OpeningFields(sim.Vessels, Fields());
    // Refilling the fields in their own formats ("7" becomes "7.0") is no edit.
    refilling_ = true;
    txtTargets_->setText(Q(f.Targets));
    for (int i = 0; i < kMaxVessels; ++i) {
        const Row& r = rows_[static_cast<size_t>(i)];
        const OwnTargetRow& in = f.Rows[static_cast<size_t>(i)];
        r.cboType->setCurrentIndex(in.Type);
        r.txtHeading->setText(Q(in.Heading));
        r.txtSpeed->setText(Q(in.Speed));
        if (r.txtRange) r.txtRange->setText(Q(in.Range));
        if (r.txtBearing) r.txtBearing->setText(Q(in.Bearing));
    }
    refilling_ = false;
    // A random scenario can be stored as a demo at once: the rows now hold its start. Any
    // other scenario can be stored when the rows still hold what was last run.
    if (sim.TrafficSource == ScenarioSource::Random) SetStoreEnabled(true);
    // Opened so that the caller returns; the simulation runs on behind the dialog.
    show();
    raise();
    activateWindow();
}

OwnTargetFields SetTargets::Fields() const {
    OwnTargetFields f;
    f.Targets = txtTargets_->text().toStdString();
    for (int i = 0; i < kMaxVessels; ++i) {
        const Row& r = rows_[static_cast<size_t>(i)];
        OwnTargetRow& out = f.Rows[static_cast<size_t>(i)];
        out.Type = static_cast<int16_t>(r.cboType->currentIndex());
        out.Heading = r.txtHeading->text().toStdString();
        out.Speed = r.txtSpeed->text().toStdString();
        if (r.txtRange) out.Range = r.txtRange->text().toStdString();
        if (r.txtBearing) out.Bearing = r.txtBearing->text().toStdString();
    }
    return f;
}

QLineEdit* SetTargets::FieldEdit(int row, OwnTargetField field) const {
    const Row& r = rows_[static_cast<size_t>(row)];
    switch (field) {
    case OwnTargetField::Heading:
        return r.txtHeading;
    case OwnTargetField::Speed:
        return r.txtSpeed;
    case OwnTargetField::Range:
        return r.txtRange;
    case OwnTargetField::Bearing:
        return r.txtBearing;
    }
    return nullptr;
}

bool SetTargets::Validate() {
    const auto failure = ValidateOwnTargets(Fields(), rowCount_);
    if (!failure) return true;
    dialogs_.message(Q(failure->Message));
    if (QLineEdit* edit = FieldEdit(failure->Row, failure->Field)) {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
    return false;
}

void SetTargets::txtTargets_Change() {
    if (!refilling_) SetStoreEnabled(false);
    const TargetCountCheck check = CheckTargetCount(txtTargets_->text().toStdString());
    if (!check.Message.empty()) dialogs_.message(Q(check.Message));
    if (check.NewText) {
        txtTargets_->setText(Q(*check.NewText)); // checked again as 1
        return;
    }
    if (!check.Rows) return; // not a number: the rows stay as they are
    rowCount_ = *check.Rows;
    ShowRows(rowCount_);
    optTargets_[static_cast<size_t>(rowCount_ - 1)]->setChecked(true);
}

void SetTargets::optTargets_Click(int k) {
    txtTargets_->setText(" " + QString::number(k));
}

void SetTargets::cmdRun_Click() {
    if (!Validate()) return;
    // The new vessels are built aside; the scenario in force changes only when they are whole.
    OwnTargetsBuild build = LoadOwnTargets(Fields());
    if (!build.ok()) {
        dialogs_.message(Q(build.Error), QString(kLoadOwnTargetsCaption.data()),
                         Dialogs::Icon::Exclamation);
        return;
    }
    if (!exercise_.MayLeaveAssessed()) return;
    Simulation& sim = exercise_.simulation();
    sim.Vessels = std::move(*build.Tables);
    sim.Title = "Own targets";
    // Nothing of the scenario before: the instructor writes a description with Description.
    sim.Description.clear();
    exercise_.StartScenario(ScenarioSource::OwnTargets);
    exercise_.Start();
    SetStoreEnabled(true);
    hide();
}

void SetTargets::cmdSaveDemo_Click() {
    if (!Validate()) return;
    const QString title = dialogs_.prompt("Enter a title for this demo", "Saving as Demo");
    if (title.isEmpty()) return;
    QString file =
        dialogs_.saveFileName("Save Demo As", Q(DemoStoreFolder().string()), "Demo files (*.dem)");
    if (file.isEmpty()) return; // cancelled: nothing written, nothing said
    // The chooser lists .dem files only: "notes" and "notes.txt" are stored as such.
    if (QFileInfo(file).suffix().compare("dem", Qt::CaseInsensitive) != 0) file += ".dem";
    const Simulation& sim = exercise_.simulation();
    const DemoRecord record =
        OwnTargetsDemoRecord(Fields(), sim.Vessels, title.toStdString(), sim.Description);
    const std::string error = WriteFileAtomically(file.toStdString(), DemoFileText(record));
    if (!error.empty()) {
        dialogs_.message("Error in SaveDemo: " + Q(error));
        return;
    }
    emit demoStored();
}

std::filesystem::path SetTargets::DemoStoreFolder() const {
    // An installed program folder is read-only; the user's folder is listed by the chooser.
    const std::filesystem::path& user = exercise_.userFolder();
    std::error_code ec;
    if (!user.empty() && (std::filesystem::create_directories(user, ec) || !ec)) return user;
    return exercise_.programFolder();
}

void SetTargets::cmdDescription_Click() {
    viewer_.EditDescription(exercise_.simulation().Description);
}

void SetTargets::cmdCancel_Click() {
    reject();
}

void SetTargets::cmdHelp_Click() {
    dialogs_.showHelp(HelpTopic("mvhe0e7n.htm"));
}

void SetTargets::reject() {
    QDialog::reject();
    emit cancelled();
}

} // namespace mv
