#include "gui/qt_dialogs.h"

#include "gui/help_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QSpacerItem>
#include <QUrl>

#include <algorithm>

namespace mv {

namespace {

QString TitleOr(const QString& title) {
    return title.isEmpty() ? QApplication::applicationName() : title;
}

} // namespace

Dialogs::Answer QtDialogs::message(const QString& text, const QString& title, Icon icon,
                                   Buttons buttons) {
    QMessageBox box(parent_);
    box.setWindowTitle(TitleOr(title));
    box.setText(text);
    // As wide as its title needs, and never a sliver: a short message ("COLLISION!") would
    // otherwise get a box too narrow for the title bar to read whole.
    const int wide = std::max(box.fontMetrics().averageCharWidth() * 48,
                              box.fontMetrics().horizontalAdvance(box.windowTitle()) + 160);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(wide, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    switch (icon) {
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::None:
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Ok;
    }
}

QString QtDialogs::prompt(const QString& text, const QString& title, const QString& defaultText) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent_, TitleOr(title), text, QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

QString QtDialogs::saveFileName(const QString& title, const QString& folder,
                                const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, title, folder, filter);
}

QString QtDialogs::openFileName(const QString& title, const QString& folder,
                                const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, title, folder, filter);
}

void QtDialogs::beep() {
    QApplication::beep();
}

void QtDialogs::showHelp(const QString& topic) {
    const auto [file, page] = HelpWindow::SplitTopic(topic);
    HelpWindow::Show(file, page);
}

bool QtDialogs::openDocument(const QString& path) {
    // A program is started on its own; a document goes to the desktop's viewer for its type.
    const QFileInfo info(path);
    if (info.isFile() && info.isExecutable())
        return QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath());
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace mv
