#include "gui/help_topics.h"

#include "core/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QWidget>

namespace mv {

QString DocsPath(const std::filesystem::path& programFolder, const QString& file) {
    return QDir(QString::fromStdString(programFolder.string()))
        .filePath(QString(kDocsFolder) + "/" + file);
}

QString HelpTopic(const QString& page) {
    // The documents lie in the program folder, which for an installed copy is not the
    // executable's folder (/usr/bin) but the data folder beside it (/usr/share/marovane).
    static const std::filesystem::path folder =
        ResolveProgramFolder(QCoreApplication::applicationDirPath().toStdString());
    return DocsPath(folder, kHelpTopicsFile) + kTopicSeparator + page;
}

const std::vector<std::pair<int, QString>>& ContextHelpPages() {
    static const std::vector<std::pair<int, QString>> pages = {
        {32048, "ebl.htm"},        {32049, "vrm.htm"},       {32050, "shl.htm"},
        {32051, "plot.htm"},       {32052, "nav.htm"},       {32053, "bearings.htm"},
        {32054, "range.htm"},      {32057, "inputmode.htm"}, {32058, "trueview.htm"},
        {32060, "timefactor.htm"}, {32061, "maneuver.htm"},  {32062, "cpadata.htm"},
        {32063, "jumpto.htm"},     {32064, "cpadata.htm"},   {32071, "repeat.htm"},
        {32072, "pause.htm"},      {32200, "traffic.htm"},
    };
    return pages;
}

QString ContextHelpPage(int contextId) {
    for (const auto& [id, page] : ContextHelpPages())
        if (id == contextId) return page;
    return {};
}

const std::vector<std::pair<QString, int>>& ConsoleHelpContexts() {
    static const std::vector<std::pair<QString, int>> controls = {
        {"cmdEBL", 32048},        {"cmdVRM", 32049},        {"cmdSHL", 32050},
        {"cmdPlot", 32051},       {"cmdFreq", 32051},       {"cmdNav", 32052},
        {"cmdHeading", 32053},    {"cmdRR", 32054},         {"cmdRangeUp", 32054},
        {"cmdRangeDown", 32054},  {"optCursorMode", 32057}, {"optKeysMode", 32057},
        {"cmdTrueView", 32058},   {"cboTimeFactor", 32060}, {"optManeuver", 32061},
        {"optCPA", 32062},        {"optJumpTo", 32063},     {"cmdRepeat", 32071},
        {"cmdPause", 32072},      {"cboSetTraffic", 32200}, {"cmdEBL2", 32048},
        {"cmdEBL2Offset", 32048}, {"cmdEBL2Centre", 32048}, {"cmdVRM2", 32049},
    };
    return controls;
}

void SetHelpContexts(QWidget* root) {
    for (const auto& [name, id] : ConsoleHelpContexts())
        for (QWidget* w : root->findChildren<QWidget*>(name))
            w->setProperty("helpContext", id);
}

int HelpContextOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const int id = w->property("helpContext").toInt();
        if (id != 0) return id;
    }
    return 0;
}

} // namespace mv
