#include "MemberNames.h"

#include <array>

namespace {

void TrimUnderscores(std::string& s) {
    size_t first = s.find_first_not_of('_');
    if (first == std::string::npos) {
        s.clear();
        return;
    }
    size_t last = s.find_last_not_of('_');
    s = s.substr(first, last - first + 1);
}

void PrefixIfNeeded(std::string& s) {
    if (s.empty()) {
        return;
    }
    const char c = s[0];
    if (c == '(' || c == '[' || (c >= '0' && c <= '9')) {
        s.insert(s.begin(), '_');
    }
}

}  // namespace

bool ReplaceLineBreaks(std::string& name) {
    if (name.find_first_of("\r\n") == std::string::npos) {
        return false;
    }
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\r' && i + 1 < name.size() && name[i + 1] == '\n') {
            continue;  // the LF that follows stands for the pair
        }
        out += name[i] == '\r' || name[i] == '\n' ? '_' : name[i];
    }
    name = std::move(out);
    return true;
}

const char kSpecialCharacters[26] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '!', '~', '@',
                                     '#', '$', '%', '^', '&', '*', '(', ')', '-', '+', '=', '|', '\\'};

void NormaliseMemberNames(std::string& member1, std::string& member2, std::int32_t& kind) {
    if (member1 == member2 && kind == 0) {
        member2 += "_2";
        kind = 9;
    }
    TrimUnderscores(member1);
    TrimUnderscores(member2);
    // One test covers both rules: a "_" added for a bracket is not followed
    // by another for a digit, since the name then starts with "_".
    PrefixIfNeeded(member1);
    PrefixIfNeeded(member2);
}

bool TokenAround(const std::string& member, size_t p, std::string& token) {
    size_t r = member.find('_', p);
    size_t before = p == 0 ? std::string::npos : member.rfind('_', p - 1);
    if (r == std::string::npos || before == std::string::npos) {
        return false;
    }
    size_t l = before + 1;
    if (l >= r) {
        return false;
    }
    token.assign(member, l, r - l);
    return true;
}

void FirstSpecialPositions(const std::string& member, size_t (&first)[26]) {
    static const auto slots = [] {
        std::array<signed char, 256> table{};
        table.fill(-1);
        for (int i = 0; i < 26; ++i) {
            table[static_cast<unsigned char>(kSpecialCharacters[i])] = static_cast<signed char>(i);
        }
        return table;
    }();
    for (size_t& f : first) {
        f = std::string::npos;
    }
    for (size_t p = 0; p < member.size(); ++p) {
        const int slot = slots[static_cast<unsigned char>(member[p])];
        if (slot >= 0 && first[slot] == std::string::npos) {
            first[slot] = p;
        }
    }
}
