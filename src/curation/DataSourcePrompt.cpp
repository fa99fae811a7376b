#include "DataSourcePrompt.h"

#include "UserPrompt.h"

const char* const kDatabaseFileFilter =
    "SQLite database (*.db;*.sqlite;*.sqlite3) | *.db;*.sqlite;*.sqlite3 | All files (*.*) | *.* ||";

std::string AskDataSource(IUserPrompt& prompt, const std::vector<std::string>& recent) {
    IUserPrompt::DataSourceOffer offer;
    offer.recent = recent;
    std::string error;
    if (!ListDataSources(offer.sources, error)) {
        prompt.ShowMessage(error);  // files and typed strings still work
    }
    DataSourceChoice choice;
    if (!offer.sources.empty()) {
        choice.value = offer.sources.front().name;
    }
    for (;;) {
        if (!prompt.ChooseDataSource(offer, choice)) {
            return {};
        }
        if (choice.kind == DataSourceChoice::Kind::DatabaseFile && choice.value.empty()) {
            IUserPrompt::FileChoice file;
            file.save = false;
            file.defaultExtension = "db";
            file.filter = kDatabaseFileFilter;
            if (!prompt.ChooseFile(file, choice.value)) {
                continue;  // back to the dialog
            }
        }
        std::string connect;
        if (ConnectStringOf(choice, offer.sources, connect, error)) {
            return connect;
        }
        prompt.ShowMessage(error);
    }
}
