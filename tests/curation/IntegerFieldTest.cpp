#include <gtest/gtest.h>

#include "IntegerField.h"

namespace {

struct FieldCase {
    const char* text;
    bool ok;
    int value;  // when ok
    const char* message;  // when not
};

TEST(IntegerField, ReadsIntegersInRangeAndGivesTheStandardMessages) {
    const char* range = "Please enter an integer between 0 and 9999.";
    const char* notInt = "Please enter an integer.";
    const FieldCase cases[] = {
        {"300", true, 300, ""},     {" 30 ", true, 30, ""},     {"0", true, 0, ""},
        {"9999", true, 9999, ""},   {"+12", true, 12, ""},      {"10000", false, 0, range},
        {"-1", false, 0, range},    {"99999999999999999999", false, 0, range},
        {"", false, 0, notInt},     {"  ", false, 0, notInt},   {"12a", false, 0, notInt},
        {"1.5", false, 0, notInt},  {"-", false, 0, notInt},    {"0x10", false, 0, notInt},
    };
    for (const FieldCase& c : cases) {
        int value = -7;
        std::string message;
        EXPECT_EQ(ReadIntegerField(c.text, 0, 9999, value, message), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        } else {
            EXPECT_EQ(value, -7) << c.text;  // a refused field changes nothing
            EXPECT_EQ(message, c.message) << c.text;
        }
    }
}

}  // namespace
