#include "app/cpa_data_panel.h"

#include "app/window_text.h"
#include "core/aids/cpa_data.h"
#include "gui/control_rows.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mv {

namespace {

// A read-out wide enough for "000", "99.9 kn" or "-999.9 min" at any font size.
constexpr FigureWidth kReadOutWidth{"-999.9 min", 8};

} // namespace

CpaDataPanel::CpaDataPanel(const Simulation& sim, const RadarDisplayState& display, QWidget* parent)
    : QWidget(parent), sim_(sim), display_(display) {
    setObjectName("pnlCPAData");
    auto* column = new QVBoxLayout(this);
    lblCPAtitle_ = PanelTitle("lblCPAtitle", "CPA Data for Target", this);
    column->addWidget(lblCPAtitle_);

    auto* options = new QHBoxLayout;
    auto* optPresentData = new QRadioButton("Present data", this);
    optPresentData->setObjectName("optPresentData");
    optPresentData->setChecked(true);
    optFinalData_ = new QRadioButton("Final data", this);
    optFinalData_->setObjectName("optFinalData");
    connect(optPresentData, &QRadioButton::clicked, this, &CpaDataPanel::DoCPA);
    connect(optFinalData_, &QRadioButton::clicked, this, &CpaDataPanel::DoCPA);
    options->addWidget(optPresentData);
    options->addWidget(optFinalData_);
    options->addStretch(1);
    column->addLayout(options);

    // The courses and speeds used on the left, what follows from them on the right.
    auto* grid = new QGridLayout;
    ReadOutGrid values(grid, kReadOutWidth, this);
    lblTargetCourse_ = values.add(0, 0, "Target Course =", "lblTargetCourse");
    lblTargetSpeed_ = values.add(1, 0, "Target Speed =", "lblTargetSpeed");
    lblYourcourse_ = values.add(2, 0, "Your course =", "lblYourcourse");
    lblYourspeed_ = values.add(3, 0, "Your speed =", "lblYourspeed");
    lblCPA_ = values.add(0, 2, "CPA =", "lblCPA");
    lblBCPA_ = values.add(1, 2, "BCPA =", "lblBCPA");
    lblTCPA_ = values.add(2, 2, "TCPA =", "lblTCPA");
    lblDRM_ = values.add(3, 2, "DRM =", "lblDRM");
    lblSRM_ = values.add(4, 2, "SRM =", "lblSRM");
    grid->setColumnMinimumWidth(2, 80);
    column->addLayout(grid);

    lblCaution_ = new QLabel(kCpaCaution, this);
    lblCaution_->setObjectName("lblCaution");
    {
        // A palette, not a style sheet: a sheet puts the label through the slower styled path.
        QPalette red = lblCaution_->palette();
        red.setColor(QPalette::WindowText, QColor(0xa0, 0x00, 0x00));
        lblCaution_->setPalette(red);
    }
    // Hidden, the caution keeps its place, so the window does not change size as it comes.
    QSizePolicy keep = lblCaution_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    lblCaution_->setSizePolicy(keep);
    column->addWidget(lblCaution_);
    column->addStretch(1); // the figures at the top of the taller manoeuvre panel's space

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdCPAClose_ = MakeButton("cmdCPAClose", "&Close", ButtonUse::NotOnEnter, this);
    connect(cmdCPAClose_, &QPushButton::clicked, this, &CpaDataPanel::closeRequested);
    buttons->addWidget(cmdCPAClose_);
    column->addLayout(buttons);
}

void CpaDataPanel::Show(int vessel, const QString& buttonCaption) {
    vessel_ = vessel;
    lblCPAtitle_->setText(Q(CpaDataTitle(buttonCaption.toStdString())));
    DoCPA();
}

QString CpaDataPanel::Summary() const {
    return QString("CPA %1 bearing %2, TCPA %3; target %4 T %5, own %6 T %7; DRM %8, SRM %9")
        .arg(lblCPA_->text(), lblBCPA_->text(), lblTCPA_->text(), lblTargetCourse_->text(),
             lblTargetSpeed_->text(), lblYourcourse_->text(), lblYourspeed_->text(),
             lblDRM_->text(), lblSRM_->text());
}

void CpaDataPanel::FocusClose() {
    cmdCPAClose_->setFocus();
}

void CpaDataPanel::DoCPA() {
    const CpaDataTexts t =
        mv::DoCPA(sim_.Vessels, vessel_, optFinalData_->isChecked(), display_.Tick.Bearing);
    lblTargetCourse_->setText(Q(t.TargetCourse));
    lblTargetSpeed_->setText(Q(t.TargetSpeed));
    lblYourcourse_->setText(Q(t.YourCourse));
    lblYourspeed_->setText(Q(t.YourSpeed));
    lblCPA_->setText(Q(t.CPA));
    lblBCPA_->setText(Q(t.BCPA));
    lblTCPA_->setText(Q(t.TCPA));
    lblDRM_->setText(Q(t.DRM));
    lblSRM_->setText(Q(t.SRM));
    ShowCaution();
}

void CpaDataPanel::ShowCaution() {
    lblCaution_->setVisible(CpaCautionShown(sim_));
}

} // namespace mv
