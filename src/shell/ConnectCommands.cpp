#include "ConnectCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QStringList>

#include "CommandIds.h"
#include "DataSourcePrompt.h"
#include "DataSources.h"
#include "MainFrm.h"
#include "SettingsKeys.h"
#include "TarnwickDoc.h"
#include "TarnwickView.h"

std::vector<std::string> ReadRecentSources(QSettings& settings) {
    std::vector<std::string> recent;
    for (const QString& s : settings.value(RecentSourcesKey()).toStringList()) {
        recent.push_back(s.toStdString());
    }
    return recent;
}

namespace {

void OnConnectDataSource(CMainFrame& frame) {
    QSettings settings(SettingsOrganization(), SettingsApplication());
    const std::vector<std::string> recent = ReadRecentSources(settings);
    const std::string connect = AskDataSource(frame.GetUserPrompt(), recent);
    if (connect.empty()) {
        return;
    }
    // A source that cannot be read leaves the shown pathway and the
    // current source as they were.
    if (!frame.GetActiveView()->LoadDataSource(connect, true)) {
        return;
    }
    frame.GetActiveDocument().UseDataSource(connect);
    QStringList kept;
    for (const std::string& s : RememberSource(recent, connect)) {
        kept << QString::fromStdString(s);
    }
    settings.setValue(RecentSourcesKey(), kept);
    frame.statusBar()->showMessage(
        QCoreApplication::translate("ConnectCommands", "Connected to %1").arg(QString::fromStdString(connect)));
}

}  // namespace

void RegisterConnectCommands(CMainFrame& frame) {
    QAction* action = frame.RegisterCommand(
        cmd::ConnectDataSource, QCoreApplication::translate("ConnectCommands", "Connect to Data Source..."),
        [&frame] { OnConnectDataSource(frame); });
    frame.ReplacesGraph({cmd::ConnectDataSource});
    QMenu* menu = frame.GetPathwayMenu();
    menu->addSeparator();
    menu->addAction(action);
}
