#include <gtest/gtest.h>

#include "SqlIdentifiers.h"

using tw::odbc::TranslateBrackets;

TEST(TranslateBrackets, QuotesIdentifiersButNotLiterals) {
    EXPECT_EQ(TranslateBrackets("SELECT [rel_ID], [rel_kind] FROM [relation]", '"'),
              "SELECT \"rel_ID\", \"rel_kind\" FROM \"relation\"");
    EXPECT_EQ(TranslateBrackets("[Keyword] = '[not] an identifier'", '`'), "`Keyword` = '[not] an identifier'");
    EXPECT_EQ(TranslateBrackets("[a] = 'it''s [x]' AND [b]", '"'), "\"a\" = 'it''s [x]' AND \"b\"");
    // A driver that quotes nothing gets the bare names.
    EXPECT_EQ(TranslateBrackets("[DIc]", ' '), "DIc");
    // An embedded quote character is doubled; an unclosed bracket stays.
    EXPECT_EQ(TranslateBrackets("[we\"ird] [open", '"'), "\"we\"\"ird\" [open");
}
