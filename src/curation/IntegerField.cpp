#include "IntegerField.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

bool ReadIntegerField(const std::string& text, int min, int max, int& value, std::string& message) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long read = std::strtoll(begin, &end, 10);
    const bool digits = end != begin && std::isdigit(static_cast<unsigned char>(end[-1]));
    while (end && std::isspace(static_cast<unsigned char>(*end))) {
        ++end;
    }
    if (!digits || *end != '\0') {
        message = "Please enter an integer.";
        return false;
    }
    if (errno == ERANGE || read < min || read > max) {
        message = "Please enter an integer between " + std::to_string(min) + " and " + std::to_string(max) + ".";
        return false;
    }
    value = static_cast<int>(read);
    return true;
}
