#include "app/exercise_report.h"

#include "session/dialogs.h"

#include <QHBoxLayout>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace mv {

namespace {

// The tracks' width in the document (a 96th of an inch): the text column is never narrower.
constexpr int kTracksWidth = 560;

} // namespace

ReportWindow::ReportWindow(std::unique_ptr<QTextDocument> document, QString suggestedPdf,
                           Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), document_(std::move(document)),
      suggestedPdf_(std::move(suggestedPdf)), dialogs_(dialogs) {
    setObjectName("frmReport");
    setWindowTitle("Report");
    auto* top = new QVBoxLayout(this);
    txtReport_ = new QTextBrowser(this);
    txtReport_->setObjectName("txtReport");
    txtReport_->setOpenLinks(false);
    txtReport_->setDocument(document_.get());
    // The tables follow the window's width; the pictures are never wider than the tracks.
    txtReport_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtReport_->setMinimumWidth(kTracksWidth + 40);
    // The report is paper: black on white at dusk and at night too, as it prints, so its
    // shaded table heads and day-coloured pictures read as they will on the page.
    QPalette paper = txtReport_->palette();
    paper.setColor(QPalette::Base, Qt::white);
    paper.setColor(QPalette::Text, Qt::black);
    txtReport_->setPalette(paper);
    top->addWidget(txtReport_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* save = new QPushButton("Save PDF...", this);
    save->setObjectName("cmdSavePdf");
    connect(save, &QPushButton::clicked, this, &ReportWindow::cmdSavePdf_Click);
    buttons->addWidget(save);
    auto* close = new QPushButton("Close", this);
    close->setObjectName("cmdClose");
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(close);
    top->addLayout(buttons);
    resize(760, 700);
}

ReportWindow::~ReportWindow() {
    // The browser shows the document: it goes first.
    delete txtReport_;
}

void ReportWindow::cmdSavePdf_Click() {
    const QString path = dialogs_.saveFileName("Save Report", suggestedPdf_, "PDF files (*.pdf)");
    if (path.isEmpty()) return;
    const QString error = WriteReportPdf(*document_, path);
    if (!error.isEmpty())
        dialogs_.message(error, "Save Report", Dialogs::Icon::Exclamation);
    else
        suggestedPdf_ = path;
}

ReportWindow* ShowExerciseReport(const ExerciseReport& report, const QString& suggestedPdf,
                                 Dialogs& dialogs, QWidget* parent) {
    return ShowExerciseReport(BuildExerciseReport(report), suggestedPdf, dialogs, parent);
}

ReportWindow* ShowExerciseReport(std::unique_ptr<QTextDocument> document,
                                 const QString& suggestedPdf, Dialogs& dialogs, QWidget* parent) {
    auto* window = new ReportWindow(std::move(document), suggestedPdf, dialogs, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (parent) {
        const QRect room = parent->screen()->availableGeometry().adjusted(0, 30, 0, 0);
        window->resize(
            window->size().boundedTo(room.size() * 0.9).expandedTo(window->minimumSizeHint()));
        QRect place(QPoint(), window->size());
        place.moveCenter(parent->frameGeometry().center());
        // Within the screen's working area, title bar and all.
        place.moveLeft(std::clamp(place.left(), room.left(),
                                  std::max(room.left(), room.right() - place.width())));
        place.moveTop(std::clamp(place.top(), room.top(),
                                 std::max(room.top(), room.bottom() - place.height())));
        window->move(place.topLeft());
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace mv
