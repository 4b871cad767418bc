// Help, documents and the about box: every context number and help button leads to a page
// that exists, the manual and companion messages name the full path, and help is found
// beside the program whatever the current folder.

#include "app/about_box.h"
#include "app/cpa_computer_window.h"
#include "app/help_commands.h"
#include "app/maneuver_window.h"
#include "app/vessel_panel.h"
#include "gui/help_topics.h"
#include "gui/help_window.h"
#include "tests/support/exercise_fixture.h"

#include <QDir>
#include <QHelpEngineCore>
#include <QRegularExpression>

#include <functional>
#include <set>

namespace mv::test {
namespace {

#ifdef MAROVANE_DOCS_DIR
const QString kBuiltDocs = MAROVANE_DOCS_DIR;
#else
const QString kBuiltDocs;
#endif

class HelpTest : public ExerciseFixture {
  protected:
    QString Folder() const { return folder.path(); }
    std::filesystem::path ProgramFolder() const { return folder.path().toStdString(); }
};

// The compiled help as the help window reads it.
class BuiltHelp {
  public:
    explicit BuiltHelp(const QString& file) : engine_(dir_.filePath("t.qhc")) {
        engine_.setReadOnly(false);
        engine_.setupData();
        engine_.registerDocumentation(kBuiltDocs + "/" + file);
        ns_ = QHelpEngineCore::namespaceName(kBuiltDocs + "/" + file);
    }
    QByteArray Page(const QString& page) const {
        return engine_.fileData(QUrl("qthelp://" + ns_ + "/html/" + page));
    }

  private:
    QTemporaryDir dir_;
    QHelpEngineCore engine_;
    QString ns_;
};

#define REQUIRE_BUILT_DOCS()                                                                       \
    if (kBuiltDocs.isEmpty()) GTEST_SKIP() << "built without the documents"

TEST_F(HelpTest, EveryControlAndHelpButtonLeadsToItsPage) {
    SetHelpContexts(console.get());
    for (const auto& [name, id] : ConsoleHelpContexts()) {
        SCOPED_TRACE(name.toStdString());
        QWidget* w = Find(name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(HelpContextOf(w), id);
        EXPECT_FALSE(ContextHelpPage(id).isEmpty());
    }
    // The help key shows the page of the focused control's number, or of the window's panel;
    // a control without a number of its own, nor one around it, opens the first page.
    LoadOwnAndTarget(0, "MEDIUM, 180, 10, 000, 5");
    ManeuverWindow& w = console->vesselPanel()->maneuverWindow();
    CpaComputerWindow computer(sim, display, dialogs, console.get());
    const std::pair<std::function<void()>, QString> cases[] = {
        {[&] { ShowFocusHelp(dialogs, Find("cmdEBL")); }, HelpTopic("ebl.htm")},
        {[&] { ShowFocusHelp(dialogs, Find("cmdIdentify")); }, HelpTopic("index.htm")},
        {[&] { w.OpenManeuver(1, "B"), ShowFocusHelp(dialogs, Find("cmdManeuverClose", &w)); },
         HelpTopic("maneuver.htm")},
        {[&] { w.hide(), w.OpenCPAData(1, "B"), ShowFocusHelp(dialogs, &w); },
         HelpTopic("cpadata.htm")},
        {[&] { w.hide(), Click("cmdHelp", &computer); }, HelpTopic("mvhe7i9e.htm")},
        {[&] { Click("cmdHelp"); }, Folder() + "/Marovane Docs/mv3help.qch"},
        {[&] { Click("cmdTutorial"); }, Folder() + "/Marovane Docs/mv3tutorial.qch"},
    };
    for (const auto& [act, page] : cases) {
        act();
        EXPECT_EQ(Last().kind + " " + Last().text, "help " + page);
    }
}

TEST_F(HelpTest, ManualAndCompanionNameTheirFullPathWhenMissing) {
    OpenManual(dialogs, ProgramFolder());
    EXPECT_EQ(Last().text + " | " + Last().title,
              "File " + Folder() + "/Marovane Docs/mvfront.pdf not found | Can't open manual");
    EXPECT_EQ(Last().icon, Dialogs::Icon::Critical);
    RunCompanion(dialogs, ProgramFolder());
    EXPECT_EQ(Last().text + " | " + Last().title,
              CompanionPath(ProgramFolder()) + " not found | Can't run MV3");
    EXPECT_EQ(Last().icon, Dialogs::Icon::Exclamation);

    // Present, each goes to the desktop without a word.
    ASSERT_TRUE(QDir(Folder()).mkpath("Marovane Docs"));
    QFile(Folder() + "/Marovane Docs/mvfront.pdf").open(QIODevice::WriteOnly);
    QFile(CompanionPath(ProgramFolder())).open(QIODevice::WriteOnly);
    OpenManual(dialogs, ProgramFolder());
    EXPECT_EQ(Last().kind + " " + Last().text,
              "document " + Folder() + "/Marovane Docs/mvfront.pdf");
    dialogs.documentsOpen = false; // a desktop with no program for PDF files
    OpenManual(dialogs, ProgramFolder());
    EXPECT_TRUE(Last().text.startsWith("No program to show PDF files"));
    RunCompanion(dialogs, ProgramFolder());
    EXPECT_EQ(Last().kind + " " + Last().text, "document " + CompanionPath(ProgramFolder()));
}

// Every page the program asks for, and every page and picture linked from them, is there.
TEST_F(HelpTest, EveryPageAskedForAndEveryLinkIsInTheBuiltHelp) {
    REQUIRE_BUILT_DOCS();
    for (const char* file : {kHelpTopicsFile, kTutorialFile}) {
        BuiltHelp help(file);
        std::set<QString> seen, todo = {"index.htm"};
        if (qstrcmp(file, kHelpTopicsFile) == 0) {
            todo.insert({"mvhe7i9e.htm", "mvhe0wvn.htm", "mvhe0e7n.htm"});
            for (const auto& [id, page] : ContextHelpPages())
                todo.insert(page);
        }
        static const QRegularExpression ref(R"re((?:href|src)="([^":]+)")re");
        while (!todo.empty()) {
            const QString page = *todo.begin();
            todo.erase(todo.begin());
            if (!seen.insert(page).second) continue;
            const QByteArray data = help.Page(page);
            ASSERT_FALSE(data.isEmpty()) << file << ": " << page.toStdString();
            if (!page.endsWith(".htm")) continue;
            for (const auto& m : ref.globalMatch(QString::fromUtf8(data)))
                todo.insert(m.captured(1));
        }
        EXPECT_GE(seen.size(), 8u) << file;
    }
}

TEST_F(HelpTest, HelpWindowShowsThePageFromAnyCurrentFolder) {
    REQUIRE_BUILT_DOCS();
    const QString before = QDir::currentPath();
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    const std::filesystem::path programFolder = QFileInfo(kBuiltDocs).path().toStdString();
    ShowHelpTopics(dialogs, programFolder);
    EXPECT_TRUE(QFileInfo(Last().text).isAbsolute());
    const auto [file, page] =
        HelpWindow::SplitTopic(Last().text + kTopicSeparator + "mvhe0wvn.htm");
    EXPECT_EQ(page, "mvhe0wvn.htm");
    HelpWindow* w = HelpWindow::Show(file, page);
    QDir::setCurrent(before);
    EXPECT_EQ(w->currentPage(), "html/mvhe0wvn.htm");
    EXPECT_TRUE(w->browser()->toPlainText().contains("Random targets"));
    HelpWindow::Show(file);
    EXPECT_EQ(w->currentPage(), "html/index.htm");
    delete w; // as at the program's end, so no indexing outlives the test
}

TEST_F(HelpTest, AMissingHelpFileIsSaidInTheWindow) {
    HelpWindow* w = HelpWindow::Show(Folder() + "/Marovane Docs/mv3help.qch", "ebl.htm");
    EXPECT_TRUE(w->currentPage().isEmpty());
    EXPECT_TRUE(w->browser()->toPlainText().contains("not there"));
    w->close();
}

} // namespace
} // namespace mv::test
