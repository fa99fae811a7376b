#pragma once

#include <string>
#include <vector>

class IUserPrompt;

// The file chooser's filter for SQLite databases.
extern const char* const kDatabaseFileFilter;

// Asks the curator for a data source, offering the configured ones and
// `recent`, until a choice passes the checks or the curator cancels. A
// database file left empty in the dialog is picked with the file chooser.
// Each refusal is shown and the dialog opens again with the refused
// choice. Returns the connection string, empty when cancelled.
std::string AskDataSource(IUserPrompt& prompt, const std::vector<std::string>& recent);
