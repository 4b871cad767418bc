#include "gui/qt_dialogs.h"

#include "gui/help_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

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
