// Choosing another data source in the window, and the start-up load's
// progress and Cancel button, on a window of their own.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QComboBox>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSelection.h>
#include <Inventor/sensors/SoNodeSensor.h>

#include "BoxRep.h"
#include "CommandIds.h"
#include "CommandLine.h"
#include "ConnectCommands.h"
#include "DlgDataSource.h"
#include "GuiTestSupport.h"
#include "MainFrm.h"
#include "MotionViewer.h"
#include "SettingsKeys.h"
#include "SyntheticDb.h"
#include "TarnwickApp.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

namespace {

constexpr size_t kLargeRows = 8000;

class ConnectGuiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = std::make_unique<QTemporaryDir>();
        s_sample = std::make_unique<SampleDatabase>();
        SyntheticDbOptions options;
        options.rows = kLargeRows;
        options.seed = 7;
        options.schemaPath = (SampleDir() + "/schema.sql").toStdString();
        options.outPath = s_folder->filePath("large.db").toStdString();
        std::string error;
        s_largeReady = WriteSyntheticDb(options, error);
        s_large = "Driver=SQLite3;Database=" + options.outPath;
        CommandLine command;
        command.connect = s_sample->Connect();
        s_app = std::make_unique<CTarnwickApp>(command);
        s_app->InitInstance();
    }
    static void TearDownTestSuite() {
        s_app.reset();
        s_sample.reset();
        s_folder.reset();
    }
    void SetUp() override {
        ASSERT_EQ(s_sample->Error(), "");
        ASSERT_TRUE(s_largeReady);
        ASSERT_TRUE(s_app && s_app->GetMainWnd());
    }

    CMainFrame& Frame() { return *s_app->GetMainWnd(); }
    CTarnwickDoc& Doc() { return *s_app->GetDocument(); }
    CTarnwickView& View() { return *Frame().GetActiveView(); }
    std::string Source() { return Doc().m_setInteraction.GetConnect(); }

    // Makes `connect` the source without the dialog.
    void UseSource(const std::string& connect) {
        ASSERT_TRUE(View().LoadDataSource(connect, true));
        Doc().UseDataSource(connect);
    }

    // Answers the data source dialog with a typed connection string.
    static ModalHandler TypeSource(const std::string& connect) {
        return [connect](QWidget* modal) {
            auto* dialog = qobject_cast<CDlgDataSource*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QComboBox*>("connectString")->setEditText(QString::fromStdString(connect));
            EXPECT_TRUE(dialog->findChild<QRadioButton*>("byConnectString")->isChecked());
            dialog->accept();
        };
    }
    static ModalHandler NameFile(const std::string& path) {
        return [path](QWidget* modal) {
            auto* dialog = qobject_cast<CDlgDataSource*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QLineEdit*>("databaseFile")->setText(QString::fromStdString(path));
            dialog->findChild<QRadioButton*>("byDatabaseFile")->setChecked(true);
            dialog->accept();
        };
    }
    // Records what the status bar says from now on (a pointer passing over
    // the window may clear a message at any time).
    void RecordStatus() {
        shown.clear();
        QObject::disconnect(m_record);
        m_record = QObject::connect(Frame().statusBar(), &QStatusBar::messageChanged,
                                    [this](const QString& text) { shown << text; });
    }
    void TearDown() override { QObject::disconnect(m_record); }
    QStringList shown;
    QMetaObject::Connection m_record;

    // Closes a message box, keeping its text.
    static ModalHandler Acknowledge(QString& text) {
        return [&text](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            text = box->text();
            box->button(QMessageBox::Ok)->click();
        };
    }

    static std::unique_ptr<QTemporaryDir> s_folder;
    static std::unique_ptr<SampleDatabase> s_sample;
    static std::unique_ptr<CTarnwickApp> s_app;
    static std::string s_large;
    static bool s_largeReady;
};

std::unique_ptr<QTemporaryDir> ConnectGuiTest::s_folder;
std::unique_ptr<SampleDatabase> ConnectGuiTest::s_sample;
std::unique_ptr<CTarnwickApp> ConnectGuiTest::s_app;
std::string ConnectGuiTest::s_large;
bool ConnectGuiTest::s_largeReady = false;

TEST_F(ConnectGuiTest, SwitchesTheSourceWithoutRestartShowingProgress) {
    UseSource(s_sample->Connect());
    const int sampleRows = Doc().m_nInteractions;
    RecordStatus();
    bool barSeen = false, commandsHeld = false, shownEarly = false, moleculesFirst = false;
    const SoNode* before = View().GetSceneRoot();
    auto watch = QObject::connect(Frame().statusBar(), &QStatusBar::messageChanged, [&](const QString& text) {
        barSeen = barSeen || Frame().findChild<QProgressBar*>("loadProgress");
        commandsHeld = commandsHeld || !Frame().FindCommand(cmd::SavePathway)->isEnabled();
        // The new molecules on screen, drawn as points, while the edges
        // are built, and no command addresses that scene.
        const bool newShown = View().GetSceneRoot() != before && View().GetMotionViewer()->IsBuilding() &&
                              View().GetViewer()->getSceneGraph() == View().GetSceneRoot() &&
                              !View().GetCommandTarget();
        shownEarly = shownEarly || (text.startsWith("Building the scene: edges") && newShown);
        // Even before their scene nodes are complete.
        moleculesFirst = moleculesFirst || (text.startsWith("Building the scene: molecules") && newShown);
    });
    // The replaced scene goes after the new one is shown, over later turns.
    bool beforeGone = false;
    SoNodeSensor beforeWatch;
    beforeWatch.attach(const_cast<SoNode*>(before));
    beforeWatch.setDeleteCallback([](void* gone, SoSensor*) { *static_cast<bool*>(gone) = true; }, &beforeGone);
    EXPECT_TRUE(WithNextModal([&] { Frame().ExecuteCommand(cmd::ConnectDataSource); }, TypeSource(s_large)));
    QObject::disconnect(watch);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !View().IsReleasingScene(); }, 10000));
    EXPECT_TRUE(beforeGone);

    EXPECT_EQ(Source(), s_large);
    EXPECT_EQ(Doc().m_nInteractions, static_cast<int>(kLargeRows));
    EXPECT_NE(Doc().m_nInteractions, sampleRows);
    ASSERT_NE(View().GetBox(), nullptr);
    EXPECT_EQ(View().GetSceneRoot(), static_cast<SoNode*>(View().GetBox()->GetRoot()));
    EXPECT_EQ(View().GetBox()->GetCircleCount(), Doc().m_pGraph->m_circle_count);
    // Progress stage by stage, the commands held meanwhile and free again.
    for (const char* stage : {"Building the scene: molecules", "Building the scene: labels",
                              "Building the scene: edges"}) {
        EXPECT_FALSE(shown.filter(stage).isEmpty()) << stage;
    }
    EXPECT_TRUE(barSeen);
    EXPECT_TRUE(commandsHeld);
    EXPECT_TRUE(shownEarly);
    EXPECT_TRUE(moleculesFirst);
    EXPECT_FALSE(View().GetMotionViewer()->IsBuilding());  // complete frames again
    EXPECT_EQ(Frame().findChild<QProgressBar*>("loadProgress"), nullptr);
    EXPECT_TRUE(Frame().FindCommand(cmd::SavePathway)->isEnabled());
    EXPECT_TRUE(View().isEnabled());
    EXPECT_TRUE(shown.contains(QString::fromStdString("Connected to " + s_large)));

    // Remembered newest first; the dialog offers it next time.
    QSettings settings(SettingsOrganization(), SettingsApplication());
    ASSERT_FALSE(ReadRecentSources(settings).empty());
    EXPECT_EQ(ReadRecentSources(settings).front(), s_large);
    // Back again: the reload command reads the current source.
    EXPECT_TRUE(WithNextModal([&] { Frame().ExecuteCommand(cmd::ConnectDataSource); },
                              [&](QWidget* modal) {
                                  auto* recent = modal->findChild<QComboBox*>("connectString");
                                  ASSERT_NE(recent, nullptr);
                                  EXPECT_EQ(recent->itemText(0).toStdString(), s_large);
                                  TypeSource(s_sample->Connect())(modal);
                              }));
    EXPECT_EQ(Doc().m_nInteractions, sampleRows);
    EXPECT_EQ(ReadRecentSources(settings), (std::vector<std::string>{s_sample->Connect(), s_large}));
    Frame().ExecuteCommand(cmd::StartupLoad);
    EXPECT_EQ(Doc().m_nInteractions, sampleRows);
}

TEST_F(ConnectGuiTest, AFailingChoiceKeepsThePathwayAndSaysWhy) {
    UseSource(s_sample->Connect());
    const CBoxRep* box = View().GetBox();
    const int rows = Doc().m_nInteractions;
    const std::string missing = s_folder->filePath("missing.db").toStdString();
    const std::string empty = s_folder->filePath("empty.db").toStdString();
    std::ofstream(empty) << "";
    RecordStatus();

    // A missing file is refused before anything is read (and not created);
    // a file without the tables fails on reading.
    QString refusal, failure;
    EXPECT_EQ(WithModals([&] { Frame().ExecuteCommand(cmd::ConnectDataSource); },
                         {NameFile(missing), Acknowledge(refusal), NameFile(empty), Acknowledge(failure)}),
              4);
    EXPECT_TRUE(refusal.contains("does not exist")) << refusal.toStdString();
    EXPECT_FALSE(std::ifstream(missing).good());
    EXPECT_FALSE(failure.isEmpty());
    EXPECT_EQ(View().GetBox(), box);
    EXPECT_EQ(View().GetSceneRoot(), static_cast<SoNode*>(box->GetRoot()));
    EXPECT_EQ(Doc().m_nInteractions, rows);
    EXPECT_EQ(Source(), s_sample->Connect());
    EXPECT_TRUE(shown.contains("The data source could not be read; the previous pathway is kept."));
}

TEST_F(ConnectGuiTest, CancellingALoadKeepsThePreviousPathway) {
    UseSource(s_sample->Connect());
    CBoxRep* box = View().GetBox();
    const CNode* graph = Doc().m_pGraph.get();
    const int rows = Doc().m_nInteractions;
    ASSERT_TRUE(box->SelectNamed(Doc().m_pGraph->GetMoleculeName(1, 0)));
    const SbVec3f seenFrom = box->GetCamera()->position.getValue();
    // At the first report (before the scene), and half-way through the
    // scene, its molecules on screen by then.
    for (const QString& at : {QString(), QStringLiteral("Building the scene: labels")}) {
        RecordStatus();
        bool cancelled = false;
        // The half-built scene on screen when cancelled, watched until it dies.
        bool partialGone = false;
        SoNodeSensor partial;
        partial.setDeleteCallback([](void* gone, SoSensor*) { *static_cast<bool*>(gone) = true; }, &partialGone);
        auto watch = QObject::connect(Frame().statusBar(), &QStatusBar::messageChanged, [&](const QString& text) {
            auto* cancel = Frame().findChild<QPushButton*>("cancelLoad");
            if (!cancelled && cancel && text.startsWith(at)) {
                if (View().GetSceneRoot() != box->GetRoot()) {
                    partial.attach(View().GetSceneRoot());
                }
                cancelled = true;
                cancel->click();
            }
        });
        EXPECT_FALSE(View().LoadDataSource(s_large, false)) << at.toStdString();
        QObject::disconnect(watch);
        EXPECT_TRUE(cancelled) << at.toStdString();
        EXPECT_EQ(partial.getAttachedNode() != nullptr || partialGone, !at.isEmpty());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !View().IsReleasingScene(); }, 10000));
        EXPECT_EQ(partialGone, !at.isEmpty()) << at.toStdString();
        EXPECT_EQ(View().GetBox(), box);
        EXPECT_EQ(View().GetSceneRoot(), static_cast<SoNode*>(box->GetRoot()));
        EXPECT_EQ(View().GetViewer()->getSceneGraph(), static_cast<SoNode*>(box->GetRoot()));
        EXPECT_EQ(box->GetCamera()->position.getValue(), seenFrom);
        EXPECT_EQ(box->GetSelection()->getNumSelected(), 1);
        EXPECT_EQ(Doc().m_pGraph.get(), graph);
        EXPECT_EQ(Doc().m_nInteractions, rows);
        EXPECT_TRUE(shown.contains("Loading cancelled; the previous pathway is kept."));
        EXPECT_TRUE(Frame().FindCommand(cmd::SavePathway)->isEnabled());
    }
}

}  // namespace
