#include "shell/help_buttons.h"

#include "shell/help_commands.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace mv {

HelpButtons::HelpButtons(Dialogs& dialogs, std::filesystem::path programFolder, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), programFolder_(std::move(programFolder)) {
    setObjectName("pnlHelpButtons");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    const auto add = [&](const char* name, const QString& caption, void (HelpButtons::*slot)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setFocusPolicy(Qt::TabFocus);
        b->setMinimumHeight(30);
        connect(b, &QPushButton::clicked, this, slot);
        row->addWidget(b);
    };
    add("cmdHelp", "Help", &HelpButtons::cmdHelp_Click);
    add("cmdTutorial", "Tutor", &HelpButtons::cmdTutorial_Click);
}

void HelpButtons::cmdHelp_Click() {
    ShowHelpTopics(dialogs_, programFolder_);
}

void HelpButtons::cmdTutorial_Click() {
    ShowTutorial(dialogs_, programFolder_);
}

} // namespace mv
