#include "app/scenario_list.h"

#include "app/text_viewer.h"
#include "core/scenario/demo_list.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>

namespace mv {

namespace {

// The file name stands in a second column, one tab stop from the left edge.
class TabStopDelegate : public QStyledItemDelegate {
  public:
    TabStopDelegate(int tabStop, QObject* parent) : QStyledItemDelegate(parent), tab_(tabStop) {}
    void setTabStop(int tabStop) { tab_ = tabStop; }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        const QString entry = o.text;
        const qsizetype t = entry.indexOf('\t');
        o.text.clear();
        QStyle* style = o.widget ? o.widget->style() : nullptr;
        if (style) style->drawControl(QStyle::CE_ItemViewItem, &o, painter, o.widget);
        const QRect r = o.rect.adjusted(4, 0, -4, 0);
        painter->save();
        painter->setPen(o.palette.color(o.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                         : QPalette::Text));
        const QFontMetrics fm(o.font);
        const QString title = t < 0 ? entry : entry.left(t);
        const QRect first(r.left(), r.top(), tab_ - 8, r.height());
        painter->drawText(first, Qt::AlignVCenter | Qt::AlignLeft,
                          fm.elidedText(title, Qt::ElideRight, first.width()));
        if (t >= 0)
            painter->drawText(r.adjusted(tab_, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                              entry.mid(t + 1));
        painter->restore();
    }

  private:
    int tab_;
};

} // namespace

ScenarioList::ScenarioList(Exercise& exercise, Dialogs& dialogs, TextViewer& viewer,
                           QWidget* parent)
    : QDialog(parent), exercise_(exercise), dialogs_(dialogs), viewer_(viewer) {
    setObjectName("frmScenarioList");
    setWindowTitle("Demos");
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    lstScenarios_ = new QListWidget(this);
    lstScenarios_->setObjectName("lstScenarios");
    // 150 dialog units: a dialog unit across is a quarter of the average character width.
    tabStop_ = 150 * QFontMetrics(font()).averageCharWidth() / 4;
    lstScenarios_->setItemDelegate(new TabStopDelegate(tabStop_, lstScenarios_));
    lstScenarios_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(lstScenarios_, 1);

    auto* buttons = new QHBoxLayout;
    auto* cmdDescription = new QPushButton("&Description", this);
    cmdDescription->setObjectName("cmdDescription");
    auto* cmdOK = new QPushButton("&Run", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    auto* cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    buttons->addWidget(cmdDescription);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    resize(tabStop_ + 260, 360);

    connect(cmdOK, &QPushButton::clicked, this, &ScenarioList::cmdOK_Click);
    connect(cmdDescription, &QPushButton::clicked, this, &ScenarioList::cmdDescription_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &ScenarioList::cmdCancel_Click);
    connect(lstScenarios_, &QListWidget::itemDoubleClicked, this, &ScenarioList::cmdOK_Click);
}

bool ScenarioList::LoadDemoList() {
    lstScenarios_->clear();
    const DemoList list = mv::LoadDemoList(exercise_.programFolder(), exercise_.userFolder());
    for (size_t i = 0; i < list.Entries.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(list.Entries[i]), lstScenarios_);
        // Two demos of one name, a shipped one and the user's, each run from their own file.
        const QString path = QString::fromStdString(list.Paths[i].string());
        item->setData(Qt::UserRole, path);
        item->setToolTip(path);
    }
    if (lstScenarios_->count() > 0) lstScenarios_->setCurrentRow(0);
    // The file names stand one tab stop in, further when a title would not fit before them.
    const QFontMetrics fm(lstScenarios_->font());
    int widestTitle = 0, widestName = 0;
    for (const std::string& entry : list.Entries) {
        const QString text = QString::fromStdString(entry);
        const qsizetype t = text.indexOf('\t');
        widestTitle = std::max(widestTitle, fm.horizontalAdvance(text.left(t)));
        widestName = std::max(widestName, fm.horizontalAdvance(text.mid(t + 1)));
    }
    const int tab = std::max(tabStop_, widestTitle + 3 * fm.averageCharWidth());
    static_cast<TabStopDelegate*>(lstScenarios_->itemDelegate())->setTabStop(tab);
    // Room for the file names, the list's frame and scroll bar, and the dialog's margins.
    const QMargins m = layout()->contentsMargins();
    const int frame = 2 * lstScenarios_->frameWidth() + m.left() + m.right() +
                      lstScenarios_->verticalScrollBar()->sizeHint().width();
    resize(std::max(width(), tab + widestName + frame + 16), height());
    setWindowTitle("Demos");
    if (list.NoDemos) {
        dialogs_.message(QString::fromStdString(list.Error), QString(kNoDemosCaption.data()),
                         Dialogs::Icon::Exclamation);
        return true;
    }
    if (!list.Error.empty()) {
        dialogs_.message(QString::fromStdString(list.Error), QString(kDemoListCaption.data()),
                         Dialogs::Icon::Critical);
        return false;
    }
    // A broken demo of the user's is said, and the program goes on with the others.
    if (!list.UserError.empty())
        dialogs_.message(QString::fromStdString(list.UserError), QString(kDemoListCaption.data()),
                         Dialogs::Icon::Exclamation);
    return true;
}

QString ScenarioList::SelectedFile() const {
    const QListWidgetItem* item = lstScenarios_->currentItem();
    if (!item) return {};
    const QString name = QString::fromStdString(DemoFileNameFromEntry(item->text().toStdString()));
    if (name.isEmpty()) return {};
    const QString path = item->data(Qt::UserRole).toString();
    return path.isEmpty() ? name : path;
}

void ScenarioList::cmdOK_Click() {
    const QString file = SelectedFile();
    if (file.isEmpty()) return;
    // A demo that cannot be read has been reported; the chooser stays open for another
    // choice and the scenario in force runs on.
    if (!exercise_.LoadDemo(file)) return;
    exercise_.Start();
    hide();
}

void ScenarioList::cmdDescription_Click() {
    const QString file = SelectedFile();
    if (file.isEmpty()) return;
    std::filesystem::path path = file.toStdString();
    if (path.is_relative()) path = exercise_.programFolder() / path;
    const DescriptionPreview preview =
        DemoDescriptionPreview(path.parent_path(), path.filename().string());
    if (!preview.ok()) {
        // The file vanished or is broken: say so and let the user choose again.
        dialogs_.message(QString::fromStdString(preview.Error), QString(kPreviewCaption.data()),
                         Dialogs::Icon::Critical);
        return;
    }
    viewer_.ShowPreview(preview.Text);
}

void ScenarioList::cmdCancel_Click() {
    reject();
}

void ScenarioList::reject() {
    QDialog::reject();
    emit cancelled();
}

} // namespace mv
