// A curator without a node-position file: the status bar says so, Graphviz
// lays the pathway out into separate spheres, the positions are saved, and
// the next start shows the same picture. Saves and exports confirm in the
// status bar what they wrote where.
#include <gtest/gtest.h>

#include <memory>
#include <queue>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>

#include "CommandIds.h"
#include "CommandLine.h"
#include "GraphvizRun.h"
#include "GuiTestSupport.h"
#include "LayoutCommands.h"
#include "MainFrm.h"
#include "Node.h"
#include "TarnwickApp.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

namespace {

// What the screen shows where the viewer draws, once the window manager
// has given the window its maximised size.
QImage ScreenOfViewer(CTarnwickApp& app) {
    SoQtExaminerViewer* viewer = app.GetMainWnd()->GetActiveView()->GetViewer();
    QWidget* area = viewer->getGLWidget();
    for (QDeadlineTimer deadline(10000); !deadline.hasExpired() && (area->width() < 600 || area->height() < 400);) {
        QTest::qWait(50);
    }
    viewer->render();
    QTest::qWait(200);
    const QPoint origin = area->mapToGlobal(QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, origin.x(), origin.y(), area->width(), area->height())
        .toImage();
}

// Separate green patches of at least a few pixels: one per sphere that
// neither touches nor hides behind another.
int GreenPatches(const QImage& image) {
    const int w = image.width();
    const int h = image.height();
    std::vector<char> seen(static_cast<size_t>(w) * h, 0);
    int patches = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (seen[y * w + x] || !IsSphereGreen(image.pixel(x, y))) {
                continue;
            }
            int size = 0;
            std::queue<QPoint> todo;
            todo.push(QPoint(x, y));
            seen[y * w + x] = 1;
            while (!todo.empty()) {
                const QPoint p = todo.front();
                todo.pop();
                ++size;
                for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                    const QPoint q = p + d;
                    if (q.x() >= 0 && q.y() >= 0 && q.x() < w && q.y() < h && !seen[q.y() * w + q.x()] &&
                        IsSphereGreen(image.pixel(q))) {
                        seen[q.y() * w + q.x()] = 1;
                        todo.push(q);
                    }
                }
            }
            patches += size >= 4 ? 1 : 0;
        }
    }
    return patches;
}

QString StatusOf(CTarnwickApp& app) { return app.GetMainWnd()->statusBar()->currentMessage(); }

std::vector<std::pair<float, float>> Positions(CTarnwickApp& app) {
    const CNode& graph = *app.GetMainWnd()->GetActiveDocument().m_pGraph;
    std::vector<std::pair<float, float>> positions;
    for (int c = 1; c < graph.m_circle_count; ++c) {
        const MoleculeRecord* m = graph.GetMolecule(c, 0);
        positions.emplace_back(m->posX, m->posY);
    }
    return positions;
}

// Runs a save command through its file dialog.
void SaveThrough(CTarnwickApp& app, int command, const QString& path) {
    ASSERT_TRUE(WithNextModal([&] { app.GetMainWnd()->ExecuteCommand(command); },
                              [&](QWidget* dialog) { AcceptFileDialog(dialog, path); }));
}

class LayoutGui : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(m_database.Error(), "");
        ASSERT_TRUE(m_work.isValid());
        m_previous = QDir::currentPath();

        QDir::setCurrent(m_work.path());  // no node-position file here
        SampleApp().GetMainWnd()->hide();
    }
    void TearDown() override {
        m_app.reset();
        QDir::setCurrent(m_previous);
        SampleApp().GetMainWnd()->showMaximized();
        QTest::qWait(100);
    }
    CTarnwickApp& Start() {
        m_app.reset();
        QApplication::processEvents();
        CommandLine options;
        options.connect = m_database.Connect();
        m_app = std::make_unique<CTarnwickApp>(options);
        EXPECT_TRUE(m_app->InitInstance());
        return *m_app;
    }
    CLayoutCommands& Layout() {
        return *m_app->GetMainWnd()->findChild<CLayoutCommands*>(QStringLiteral("layoutCommands"));
    }

    SampleDatabase m_database;
    QTemporaryDir m_work;
    QString m_previous;
    std::unique_ptr<CTarnwickApp> m_app;
};

}  // namespace

TEST_F(LayoutGui, WithoutPositionsLayOutSaveAndStartAgain) {
    CTarnwickApp& first = Start();
    EXPECT_TRUE(StatusOf(first).startsWith(QStringLiteral("No node-position file ") + m_work.filePath("yeast.graph.txt")))
        << StatusOf(first).toStdString();
    QPushButton* offer = Layout().GetOfferButton();
    ASSERT_TRUE(offer->isVisible());
    const int stacked = GreenPatches(ScreenOfViewer(first));
    EXPECT_LE(stacked, 3) << "molecules without positions sit on one spot";

    // A layout that is cancelled changes nothing.
    CTarnwickDoc& doc = first.GetMainWnd()->GetActiveDocument();
    const CNode* before = doc.m_pGraph.get();
    QSignalSpy ended(&Layout(), &CLayoutCommands::layoutEnded);
    ASSERT_TRUE(first.GetMainWnd()->ExecuteCommand(cmd::LayoutSfdp));
    EXPECT_TRUE(first.GetMainWnd()->FindCommand(cmd::CancelLayout)->isEnabled());
    ASSERT_TRUE(first.GetMainWnd()->ExecuteCommand(cmd::CancelLayout));
    ASSERT_TRUE(ended.wait(10000));
    EXPECT_FALSE(ended.takeFirst().at(0).toBool());
    EXPECT_EQ(doc.m_pGraph.get(), before);
    EXPECT_TRUE(StatusOf(first).startsWith("Layout cancelled")) << StatusOf(first).toStdString();

    // The offer lays out with the engine for the size: neato for the sample.
    QTest::mouseClick(offer, Qt::LeftButton);
    EXPECT_TRUE(Layout().IsRunning());
    ASSERT_TRUE(ended.wait(30000));
    EXPECT_TRUE(ended.takeFirst().at(0).toBool()) << StatusOf(first).toStdString();
    const int molecules = doc.m_pGraph->m_circle_count - 1;
    EXPECT_TRUE(StatusOf(first).startsWith(QStringLiteral("Laid out %1 of %1 molecules with neato").arg(molecules)))
        << StatusOf(first).toStdString();
    EXPECT_FALSE(offer->isVisible());
    QImage laidOut = ScreenOfViewer(first);
    const int separate = GreenPatches(laidOut);
    laidOut.save(ArtifactPath(QStringLiteral("layout_neato.png")));
    // Molecules above level 0 are drawn invisible; labels and cones cover
    // some of the rest.
    int shown = 0;
    for (int c = 1; c <= molecules; ++c) {
        shown += doc.m_pGraph->GetMolecule(c, 0)->level == 0 ? 1 : 0;
    }
    EXPECT_GE(separate, shown / 2) << "of " << shown << " shown spheres";

    const QString positions = m_work.filePath("yeast.graph.txt");
    SaveThrough(first, cmd::SaveNodePositions, positions);
    EXPECT_EQ(StatusOf(first), QStringLiteral("Saved %1 node positions to %2").arg(molecules).arg(positions));
    const auto placed = Positions(first);
    // The headless layout writes the same file.
    {
        CTarnwickDoc headless(m_database.Connect());
        LayoutPlacement placement;
        std::string error;
        ASSERT_TRUE(LayOutStartupPathway(headless, "neato", placement, error)) << error;
        QFile saved(positions);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(saved.readAll().toStdString(), FormatNodePositions(*headless.m_pGraph));
    }

    // Saves and exports say what they wrote where.
    SaveThrough(first, cmd::SavePathway, m_work.filePath("sample.bb"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Saved \\d+ circles to ") +
                                   QRegularExpression::escape(m_work.filePath("sample.bb")) + "$")
                    .match(StatusOf(first))
                    .hasMatch())
        << StatusOf(first).toStdString();
    SaveThrough(first, cmd::ExportDot, m_work.filePath("sample.dot"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Exported \\d+ links of %1 molecules to ").arg(molecules) +
                                   QRegularExpression::escape(m_work.filePath("sample.dot")) + "$")
                    .match(StatusOf(first))
                    .hasMatch())
        << StatusOf(first).toStdString();

    // The next start reads the file: the same positions, the same picture, no hint.
    CTarnwickApp& second = Start();
    EXPECT_EQ(Positions(second), placed);
    EXPECT_FALSE(Layout().GetOfferButton()->isVisible());
    EXPECT_FALSE(StatusOf(second).contains("node-position")) << StatusOf(second).toStdString();
    EXPECT_NEAR(GreenPatches(ScreenOfViewer(second)), separate, molecules / 10 + 1);
}
