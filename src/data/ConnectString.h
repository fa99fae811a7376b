#pragma once

#include <string>

namespace tw::odbc {

// Value of the attribute `key` (case-insensitive) in an ODBC connection
// string "KEY=value;KEY={value};...", braces removed; false when absent.
bool FindAttribute(const std::string& connect, const std::string& key, std::string& value);

// Appends "key=value" unless the string already sets the attribute.
void AddAttributeIfAbsent(std::string& connect, const std::string& key, const std::string& value);

}  // namespace tw::odbc
