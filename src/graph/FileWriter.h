#pragma once

#include <string>

// Writes the text to `path` through a temporary file beside it, so a
// failed write leaves neither a half-written file nor a truncated old one.
// False with a message naming the path and the system's reason.
bool WriteTextFile(const std::string& path, const std::string& text, std::string& error);
