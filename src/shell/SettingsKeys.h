#pragma once

#include <QString>

// Where the program keeps its settings (recent files, window state).
inline QString SettingsOrganization() { return QStringLiteral("Local AppWizard-Generated Applications"); }
inline QString SettingsApplication() { return QStringLiteral("QuillonTarnwick"); }

// Legend, picture export and uncluttered labels.
inline QString DeclutterLabelsKey() { return QStringLiteral("Settings/DeclutterLabels"); }
// The data sources connected to last, newest first.
inline QString RecentSourcesKey() { return QStringLiteral("Settings/RecentSources"); }
