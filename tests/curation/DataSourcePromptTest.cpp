#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "DataSourcePrompt.h"
#include "ScriptedPrompt.h"

namespace {

using Kind = DataSourceChoice::Kind;

TEST(DataSourcePrompt, RefusedChoicesAreShownAndAskedAgain) {
    char file[] = "/tmp/tarnwick-chosen-XXXXXX";
    close(mkstemp(file));
    const std::string chosen = file;
    const std::string missing = chosen + ".missing";
    const std::string typed = "Driver=PostgreSQL;Server=db.example;Database=pathways";

    const struct {
        const char* what;
        std::vector<DataSourceChoice> answers;
        std::vector<std::string> files;  // the file chooser's answers
        std::string connect;             // empty: cancelled
        size_t dialogs, choosers, refusals;
    } cases[] = {
        {"typed string", {{Kind::ConnectString, typed}}, {}, typed, 1, 0, 0},
        {"file named in the dialog", {{Kind::DatabaseFile, chosen}}, {}, "Driver=SQLite3;Database=" + chosen, 1, 0, 0},
        {"file from the chooser", {{Kind::DatabaseFile, ""}}, {chosen}, "Driver=SQLite3;Database=" + chosen, 1, 1, 0},
        {"chooser cancelled, then the dialog", {{Kind::DatabaseFile, ""}}, {}, "", 2, 1, 0},
        {"missing file never created",
         {{Kind::DatabaseFile, missing}, {Kind::ConnectString, "Database=x"}, {Kind::ConnectString, typed}},
         {},
         typed,
         3,
         0,
         2},
        {"unknown data source", {{Kind::DataSource, "TwNoSuchSource"}}, {}, "", 2, 0, 1},
        {"cancelled at once", {}, {}, "", 1, 0, 0},
    };
    for (const auto& c : cases) {
        ScriptedPrompt prompt;
        prompt.dataSourceAnswers.assign(c.answers.begin(), c.answers.end());
        prompt.files.assign(c.files.begin(), c.files.end());
        const std::vector<std::string> recent{typed, "DSN=InteractionDB"};
        EXPECT_EQ(AskDataSource(prompt, recent), c.connect) << c.what;
        ASSERT_EQ(prompt.dataSourceOffers.size(), c.dialogs) << c.what;
        EXPECT_EQ(prompt.dataSourceOffers.front().recent, recent) << c.what;
        ASSERT_EQ(prompt.choices.size(), c.choosers) << c.what;
        if (c.choosers > 0) {
            EXPECT_FALSE(prompt.choices.front().save) << c.what;
        }
        EXPECT_EQ(prompt.messages.size(), c.refusals) << c.what;
    }
    std::ifstream created(missing);
    EXPECT_FALSE(created.good());
    std::remove(file);
}

}  // namespace
