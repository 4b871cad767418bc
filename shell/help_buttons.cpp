#include "shell/help_buttons.h"

#include "shell/help_commands.h"
#include "ui/control_rows.h"

#include <QHBoxLayout>

namespace mv {

HelpButtons::HelpButtons(Dialogs& dialogs, std::filesystem::path programFolder, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), programFolder_(std::move(programFolder)) {
    setObjectName("pnlHelpButtons");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    ButtonRow buttons(row, ButtonUse::Console, this, this);
    buttons.add("cmdHelp", "Help", &HelpButtons::cmdHelp_Click);
    buttons.add("cmdTutorial", "Tutor", &HelpButtons::cmdTutorial_Click);
}

void HelpButtons::cmdHelp_Click() {
    ShowHelpTopics(dialogs_, programFolder_);
}

void HelpButtons::cmdTutorial_Click() {
    ShowTutorial(dialogs_, programFolder_);
}

} // namespace mv
