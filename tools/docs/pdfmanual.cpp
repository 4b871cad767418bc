// Typesets the manual: HTML chapters and plain-text answer keys, one after another, each
// chapter on a new page, into one A4 PDF.
// usage: marovane-pdfmanual OUT.pdf IMAGE_FOLDER FILE...
// FILE: an .htm page, which starts a new sheet when written "@page.htm" and otherwise follows
// on; or a .txt answer key.

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

QString ReadText(const QString& path, bool* ok) {
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? QString::fromUtf8(file.readAll()) : QString();
}

// The width of the text column, in the units of the page's HTML.
constexpr int kColumnWidth = 470;

// The inside of a page's body; links between help pages mean nothing on paper.
QString Body(const QString& html, const QString& imageFolder) {
    static const QRegularExpression body("<body[^>]*>(.*)</body>",
                                         QRegularExpression::DotMatchesEverythingOption |
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression link("<a href=\"[^\"]*\">(.*?)</a>",
                                         QRegularExpression::DotMatchesEverythingOption);
    const auto m = body.match(html);
    QString inner = m.hasMatch() ? m.captured(1) : html;
    inner.replace(link, "\\1");
    // Pictures wider than the column are scaled down to it.
    static const QRegularExpression img("<img src=\"([^\"]+)\"[^>]*>");
    QString out;
    qsizetype from = 0;
    for (const auto& found : img.globalMatch(inner)) {
        out += inner.mid(from, found.capturedStart() - from);
        const QImage picture(imageFolder + "/" + found.captured(1));
        const int width = std::min(picture.isNull() ? kColumnWidth : picture.width(), kColumnWidth);
        out += QString("<img src=\"%1\" width=\"%2\">").arg(found.captured(1)).arg(width);
        from = found.capturedEnd();
    }
    return out + inner.mid(from);
}

// A heading left alone at the foot of a page, or with too little room under it, starts the
// next one instead. The pages are
// found as the printing lays them out: a copy of the document on the writer's pages, inside
// the 2 cm margins printing adds.
void KeepHeadingsWithText(QTextDocument& doc, QPdfWriter& writer) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
    const qreal dpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
    for (int pass = 0; pass < 100; ++pass) {
        std::unique_ptr<QTextDocument> probe(doc.clone());
        probe->documentLayout()->setPaintDevice(&writer);
        QTextFrameFormat margins = probe->rootFrame()->frameFormat();
        margins.setLeftMargin(static_cast<int>(2 / 2.54 * dpiX));
        margins.setRightMargin(static_cast<int>(2 / 2.54 * dpiX));
        margins.setTopMargin(static_cast<int>(2 / 2.54 * dpiY));
        margins.setBottomMargin(static_cast<int>(2 / 2.54 * dpiY));
        probe->rootFrame()->setFrameFormat(margins);
        const QSizeF page(writer.width(), writer.height());
        probe->setPageSize(page);
        QAbstractTextDocumentLayout* layout = probe->documentLayout();
        int orphan = -1;
        for (QTextBlock b = probe->begin(); b.isValid() && b.next().isValid(); b = b.next()) {
            if (b.blockFormat().headingLevel() == 0 || b.text().trimmed().isEmpty()) continue;
            const auto sheet = [&](const QTextBlock& block) {
                return layout->blockBoundingRect(block).bottom() / page.height();
            };
            // The printed pages break a little earlier than the copy's, so a heading in the last
            // eighth of a page counts as left alone too.
            const double at = sheet(b);
            if (std::floor(sheet(b.next())) > std::floor(at) || at - std::floor(at) > 0.875) {
                orphan = b.blockNumber();
                break;
            }
        }
        if (orphan < 0) return;
        QTextCursor cursor(doc.findBlockByNumber(orphan));
        QTextBlockFormat f = cursor.blockFormat();
        f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.setBlockFormat(f);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: marovane-pdfmanual OUT.pdf IMAGE_FOLDER FILE...\n");
        return 2;
    }
    QString html = "<html><body>";
    bool firstKey = true;
    for (int i = 3; i < argc; ++i) {
        QString path = QString::fromLocal8Bit(argv[i]);
        const bool newSheet = path.startsWith('@');
        if (newSheet) path.remove(0, 1);
        bool ok = false;
        const QString text = ReadText(path, &ok);
        if (!ok) {
            std::fprintf(stderr, "marovane-pdfmanual: cannot read %s\n", qPrintable(path));
            return 1;
        }
        if (path.endsWith(".txt")) {
            // The answer keys follow the chapter that introduces them, one after another.
            // A demo's key is Name.txt, an exercise's Name.toml.txt.
            if (firstKey) html += "<h2>Answer keys of the shipped demos and exercises</h2>";
            firstKey = false;
            QString name = QFileInfo(path).completeBaseName();
            if (!name.contains('.')) name += ".dem";
            html += "<h3>" + name + "</h3><pre>" + text.toHtmlEscaped() + "</pre>";
        } else {
            html +=
                QString(newSheet && i > 3 ? "<div style=\"page-break-before: always\">" : "<div>") +
                Body(text, QString::fromLocal8Bit(argv[2])) + "</div>";
        }
    }
    html += "</body></html>";

    QTextDocument doc;
    doc.setBaseUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[2]) + "/"));
    doc.setDefaultStyleSheet("body { font-family: 'DejaVu Serif'; font-size: 10.5pt; } "
                             "h1 { font-family: 'DejaVu Sans'; font-size: 20pt; color: #0b3d5c; } "
                             "h2 { font-family: 'DejaVu Sans'; font-size: 14pt; color: #0b3d5c; } "
                             "h3 { font-family: 'DejaVu Sans'; font-size: 11.5pt; } "
                             "pre { font-family: 'DejaVu Sans Mono'; font-size: 7.5pt; } "
                             "td, th { padding: 3px; } .key { font-family: 'DejaVu Sans Mono'; }");
    doc.setHtml(html);

    QPdfWriter writer(QString::fromLocal8Bit(argv[1]));
    writer.setTitle("Radar Navigation Manual");
    writer.setCreator("Marovane");
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter));
    writer.setResolution(300);
    KeepHeadingsWithText(doc, writer);
    doc.print(&writer);
    return QFileInfo(QString::fromLocal8Bit(argv[1])).size() > 0 ? 0 : 1;
}
