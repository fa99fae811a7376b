// GUI tests: one QApplication for the run, the sample program shared by
// the tests, settings kept in a private folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "CommandLine.h"
#include "GuiTestSupport.h"
#include "TarnwickApp.h"

namespace {

QString g_workDir;

class SampleAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(m_work.isValid());
        ASSERT_TRUE(QFile::copy(SampleDir() + "/yeast.graph.txt", m_work.filePath("yeast.graph.txt")));
        ASSERT_TRUE(QDir::setCurrent(m_work.path()));
        g_workDir = m_work.path();
        m_database = std::make_unique<SampleDatabase>();
        ASSERT_EQ(m_database->Error(), "");
        char arg0[] = "tarnwick";
        char* argv[] = {arg0, nullptr};
        CommandLine options = ParseCommandLine(1, argv);
        options.connect = m_database->Connect();
        s_app = std::make_unique<CTarnwickApp>(options);
        ASSERT_TRUE(s_app->InitInstance());
    }
    void TearDown() override {
        s_app.reset();
        m_database.reset();
    }

    static std::unique_ptr<CTarnwickApp> s_app;

private:
    QTemporaryDir m_work;
    std::unique_ptr<SampleDatabase> m_database;
};

std::unique_ptr<CTarnwickApp> SampleAppEnvironment::s_app;

}  // namespace

CTarnwickApp& SampleApp() { return *SampleAppEnvironment::s_app; }
QString SampleWorkDir() { return g_workDir; }

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    char config[] = "/tmp/tarnwick-settings-XXXXXX";
    if (!mkdtemp(config)) {
        return 2;
    }
    setenv("XDG_CONFIG_HOME", config, 1);
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    auto* environment = new SampleAppEnvironment;
    ::testing::AddGlobalTestEnvironment(environment);
    const int result = RUN_ALL_TESTS();
    QDir(QString::fromLocal8Bit(config)).removeRecursively();
    return result;
}
