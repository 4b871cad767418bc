#include "gui/help_window.h"

#include "gui/help_topics.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexModel>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QLineEdit>
#include <QMap>
#include <QPointer>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace mv {

HelpBrowser::HelpBrowser(QHelpEngine* engine, QWidget* parent)
    : QTextBrowser(parent), engine_(engine) {
    setObjectName("helpBrowser");
    setOpenExternalLinks(true);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    if (name.scheme() != "qthelp") return QTextBrowser::loadResource(type, name);
    QByteArray bytes = engine_->fileData(name);
    // The pages are written dark on light; on the dark widgets of dusk and night their
    // stylesheet ends with the palette's own text, heading and table colours.
    const QPalette p = palette();
    if (type == QTextDocument::StyleSheetResource && p.color(QPalette::Base).lightness() < 110) {
        const auto c = [&p](QPalette::ColorRole role) { return p.color(role).name().toLatin1(); };
        bytes += "\nbody { color: " + c(QPalette::Text) +
                 "; }\nh1, h2, a { color: " + c(QPalette::Link) +
                 "; }\nh1 { border-bottom-color: " + c(QPalette::Mid) +
                 "; }\nth, pre, p.note { background: " + c(QPalette::Button) +
                 "; }\ntd { border-bottom-color: " + c(QPalette::Mid) +
                 "; }\np.note { border-left-color: " + c(QPalette::Highlight) + "; }\n";
    }
    return bytes;
}

void HelpBrowser::changeEvent(QEvent* event) {
    // Another palette chosen: the page shown is laid out again in its colours.
    if (event->type() == QEvent::PaletteChange && source().isValid()) {
        document()->clear();
        reload();
    }
    QTextBrowser::changeEvent(event);
}

std::pair<QString, QString> HelpWindow::SplitTopic(const QString& topic) {
    const qsizetype at = topic.indexOf(kTopicSeparator);
    if (at < 0) return {topic, {}};
    return {topic.left(at), topic.mid(at + qsizetype(qstrlen(kTopicSeparator)))};
}

HelpWindow* HelpWindow::Show(const QString& helpFile, const QString& page) {
    // Closed windows stay, so a second help command is quick and keeps the reader's place.
    static QMap<QString, QPointer<HelpWindow>> windows;
    const QString key = QFileInfo(helpFile).absoluteFilePath();
    QPointer<HelpWindow>& w = windows[key];
    if (!w) {
        HelpWindow* created = new HelpWindow(key);
        created->setAttribute(Qt::WA_QuitOnClose, false);
        // Gone with the program, and its collection folder with it.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, created,
                         [created] { delete created; });
        w = created;
    }
    w->ShowPage(page);
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

HelpWindow::HelpWindow(const QString& helpFile) : helpFile_(helpFile) {
    setObjectName("frmHelp");
    resize(980, 680);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* splitter = new QSplitter(this);
    layout->addWidget(splitter);

    // The engine needs a collection of its own to write into; the help file itself is
    // only read, so it may sit in a folder the user cannot write to.
    engine_ = new QHelpEngine(collectionFolder_.filePath("marovane.qhc"), this);
    engine_->setReadOnly(false);
    engine_->setupData();
    const bool present = QFileInfo::exists(helpFile_);
    if (present) {
        namespace_ = QHelpEngineCore::namespaceName(helpFile_);
        engine_->registerDocumentation(helpFile_);
        // The contents and the index are built in the background once the file is known.
        engine_->contentModel()->createContents({});
        engine_->indexModel()->createIndex({});
    }

    tabs_ = new QTabWidget(splitter);
    tabs_->setObjectName("tabsHelp");
    browser_ = new HelpBrowser(engine_, splitter);
    splitter->addWidget(tabs_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({320, 660});

    QHelpContentWidget* contents = engine_->contentWidget();
    tabs_->addTab(contents, "Contents");
    const auto show = [this](const QUrl& url) { browser_->setSource(url); };
    connect(contents, &QHelpContentWidget::linkActivated, browser_, show);
    // The contents follow the page shown, however it was reached: a help key, a link, the
    // index or the search.
    const auto follow = [this, contents] {
        const QModelIndex at = contents->indexOf(browser_->source());
        if (at.isValid()) contents->setCurrentIndex(at);
    };
    connect(browser_, &QTextBrowser::sourceChanged, contents, follow);
    connect(engine_->contentModel(), &QHelpContentModel::contentsCreated, contents,
            [contents, follow] {
                contents->expandToDepth(0);
                follow();
            });

    auto* indexPage = new QWidget(tabs_);
    auto* indexLayout = new QVBoxLayout(indexPage);
    auto* lookFor = new QLineEdit(indexPage);
    lookFor->setPlaceholderText("Type a keyword");
    QHelpIndexWidget* index = engine_->indexWidget();
    indexLayout->addWidget(lookFor);
    indexLayout->addWidget(index);
    tabs_->addTab(indexPage, "Index");
    connect(lookFor, &QLineEdit::textChanged, index,
            [index](const QString& text) { index->filterIndices(text); });
    connect(index, &QHelpIndexWidget::documentActivated, browser_,
            [this](const QHelpLink& link) { browser_->setSource(link.url); });
    connect(index, &QHelpIndexWidget::documentsActivated, browser_,
            [this](const QList<QHelpLink>& links) {
                if (!links.isEmpty()) browser_->setSource(links.first().url);
            });

    QHelpSearchEngine* search = engine_->searchEngine();
    auto* searchPage = new QWidget(tabs_);
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->addWidget(search->queryWidget());
    searchLayout->addWidget(search->resultWidget(), 1);
    tabs_->addTab(searchPage, "Search");
    connect(search->queryWidget(), &QHelpSearchQueryWidget::search, search,
            [search] { search->search(search->queryWidget()->searchInput()); });
    connect(search->resultWidget(), &QHelpSearchResultWidget::requestShowLink, browser_, show);
    if (present) search->reindexDocumentation();

    // Titled by the book and the page shown, as a reader names them, never by a file name.
    const QString book =
        QFileInfo(helpFile_).completeBaseName().contains("tutorial", Qt::CaseInsensitive)
            ? QString("Marovane Tutorial")
            : QString("Marovane Help");
    setWindowTitle(book);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this, book] {
        const QString page = browser_->documentTitle().trimmed();
        setWindowTitle(page.isEmpty() || page == book ? book : page + " - " + book);
    });
}

QString HelpWindow::currentPage() const {
    const QUrl url = browser_->source();
    return url.scheme() == "qthelp" ? url.path().mid(1) : QString();
}

void HelpWindow::ShowPage(const QString& page) {
    if (namespace_.isEmpty()) {
        browser_->setHtml(
            "<h2>Help file not found</h2><p>The help file <b>" + helpFile_.toHtmlEscaped() +
            "</b> is not there. Help is installed in the folder \"" + QString(kDocsFolder) +
            "\" beside the program; in a build "
            "tree, <code>cmake --build build --target marovane_docs</code> "
            "makes it.</p>");
        return;
    }
    const QString name = page.isEmpty() ? QString("index.htm") : page;
    browser_->setSource(QUrl("qthelp://" + namespace_ + "/html/" + name));
}

} // namespace mv
