#include "app/text_viewer.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace mv {

TextViewer::TextViewer(QWidget* parent) : QDialog(parent) {
    setObjectName("frmTextViewer");
    setWindowTitle("Description");
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    txtDescription_ = new QPlainTextEdit(this);
    txtDescription_->setObjectName("txtDescription");
    txtDescription_->setTabChangesFocus(true);
    layout->addWidget(txtDescription_, 1);
    auto* cmdCancel = new QPushButton("&Close", this);
    cmdCancel->setObjectName("cmdCancel");
    cmdCancel->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    resize(520, 380);
    connect(cmdCancel, &QPushButton::clicked, this, &TextViewer::cmdCancel_Click);
    connect(txtDescription_, &QPlainTextEdit::textChanged, this, [this] {
        if (!editing_) return;
        QString text = txtDescription_->toPlainText();
        text.replace("\n", "\r\n"); // as a demo file's description reads
        *editing_ = text.toStdString();
    });
}

void TextViewer::Open(const QString& text, bool locked) {
    txtDescription_->setReadOnly(locked);
    txtDescription_->setPlainText(text);
    FitBesidePictureOnce();
    // Opened so that the caller returns; the simulation runs on behind the viewer.
    show();
    raise();
    activateWindow();
}

// A description of megabytes (a damaged or machine-made file) runs on as one paragraph that
// the text box would take the better part of a minute to lay out; a preview shows its start.
constexpr qsizetype kPreviewChars = 100000;

void TextViewer::ShowPreview(const std::string& description) {
    editing_ = nullptr;
    const QString text = QString::fromStdString(description).replace("\r\n", "\n");
    Open(text.size() > kPreviewChars ? text.left(kPreviewChars) + QString(u'\u2026') : text, true);
}

void TextViewer::EditDescription(std::string& description) {
    editing_ = nullptr; // filling the box is no edit
    // Line breaks are kept as the file gives them (CR LF); the box shows them as one.
    QString text = QString::fromStdString(description);
    text.replace("\r\n", "\n");
    Open(text, false);
    editing_ = &description;
}

void TextViewer::cmdCancel_Click() {
    hide();
}

void TextViewer::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    emit closed();
}

void TextViewer::FitBesidePictureOnce() {
    const QWidget* p = parentWidget();
    const QWidget* picture = p ? p->findChild<QWidget*>("picRadarCRT") : nullptr;
    if (placed_ || !picture || !picture->parentWidget() || !picture->isVisible()) return;
    placed_ = true;
    const QWidget* frame = picture->parentWidget();
    const QRect room(frame->mapToGlobal(QPoint()), frame->size());
    // A title bar's height or so kept free above and below, for the window manager's frame.
    const int margin = 8, titleBar = fontMetrics().height() * 2;
    const int width = std::clamp(room.width() - 2 * margin, 240, 520);
    const int height = std::clamp(room.height() - 2 * margin - 2 * titleBar, 160, 380);
    resize(width, height);
    // Its title bar below the picture's top edge, never over the menu bar, whether the window
    // manager places the frame or the client area at the point asked for.
    move(room.left() + margin, room.top() + margin + titleBar);
}

} // namespace mv
