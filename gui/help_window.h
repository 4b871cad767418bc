#pragma once
// The help viewer: a compiled help file (Qt Help) with its contents, index and full-text
// search beside a browser pane. One window per help file, opened again on the page asked for.

#include <QTemporaryDir>
#include <QTextBrowser>
#include <QWidget>

class QHelpEngine;
class QTabWidget;

namespace mv {

class HelpBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    HelpBrowser(QHelpEngine* engine, QWidget* parent);
    QVariant loadResource(int type, const QUrl& name) override;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    QHelpEngine* engine_;
};

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    // Shows `helpFile` at `page` (its first page when empty), in the window already open on
    // that file or in a new one. A file that is not there is said so in the window.
    static HelpWindow* Show(const QString& helpFile, const QString& page = {});
    // Splits "file::html/page" into the file and the page.
    static std::pair<QString, QString> SplitTopic(const QString& topic);

    const QString& helpFile() const { return helpFile_; }
    HelpBrowser* browser() const { return browser_; }
    // The page shown, as "html/page.htm"; empty while the file is missing.
    QString currentPage() const;
    void ShowPage(const QString& page);

  private:
    explicit HelpWindow(const QString& helpFile);

    QString helpFile_;
    QString namespace_;
    QTemporaryDir collectionFolder_;
    QHelpEngine* engine_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    HelpBrowser* browser_ = nullptr;
};

} // namespace mv
