#pragma once

#include <string>

namespace tw::odbc {

// Turns every [identifier] outside string literals into the driver's quoted
// identifier, so one SQL text serves every driver. `quote` is the character
// SQLGetInfo(SQL_IDENTIFIER_QUOTE_CHAR) reports; a space means the driver
// quotes nothing, and the brackets are then simply dropped.
std::string TranslateBrackets(const std::string& sql, char quote);

}  // namespace tw::odbc
