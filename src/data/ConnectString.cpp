#include "ConnectString.h"

#include <strings.h>

namespace tw::odbc {

namespace {

std::string Trimmed(const std::string& s, size_t begin, size_t end) {
    while (begin < end && (s[begin] == ' ' || s[begin] == '\t')) {
        ++begin;
    }
    while (end > begin && (s[end - 1] == ' ' || s[end - 1] == '\t')) {
        --end;
    }
    return s.substr(begin, end - begin);
}

}  // namespace

bool FindAttribute(const std::string& connect, const std::string& key, std::string& value) {
    size_t pos = 0;
    while (pos < connect.size()) {
        const size_t eq = connect.find('=', pos);
        const size_t semi = connect.find(';', pos);
        if (eq == std::string::npos || (semi != std::string::npos && semi < eq)) {
            if (semi == std::string::npos) {
                return false;
            }
            pos = semi + 1;  // an entry without a value
            continue;
        }
        const std::string name = Trimmed(connect, pos, eq);
        size_t begin = eq + 1;
        while (begin < connect.size() && connect[begin] == ' ') {
            ++begin;
        }
        size_t end;
        std::string found;
        if (begin < connect.size() && connect[begin] == '{') {
            // A braced value may hold ';'; "}}" stands for one brace.
            size_t i = begin + 1;
            for (; i < connect.size(); ++i) {
                if (connect[i] == '}') {
                    if (i + 1 < connect.size() && connect[i + 1] == '}') {
                        found += '}';
                        ++i;
                        continue;
                    }
                    break;
                }
                found += connect[i];
            }
            end = connect.find(';', i);
        } else {
            end = connect.find(';', begin);
            found = Trimmed(connect, begin, end == std::string::npos ? connect.size() : end);
        }
        if (strcasecmp(name.c_str(), key.c_str()) == 0) {
            value = found;
            return true;
        }
        if (end == std::string::npos) {
            return false;
        }
        pos = end + 1;
    }
    return false;
}

void AddAttributeIfAbsent(std::string& connect, const std::string& key, const std::string& value) {
    std::string ignored;
    if (FindAttribute(connect, key, ignored)) {
        return;
    }
    if (!connect.empty() && connect.back() != ';') {
        connect += ';';
    }
    connect += key + "=" + value;
}

}  // namespace tw::odbc
