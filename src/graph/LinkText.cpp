#include "LinkText.h"

#include <cctype>
#include <climits>

bool ScanInt(const std::string& text, size_t& pos, int& value) {
    size_t p = pos;
    while (p < text.size() && std::isspace(static_cast<unsigned char>(text[p]))) {
        ++p;
    }
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
        negative = text[p] == '-';
        ++p;
    }
    if (p >= text.size() || !std::isdigit(static_cast<unsigned char>(text[p]))) {
        return false;
    }
    long long v = 0;
    for (; p < text.size() && std::isdigit(static_cast<unsigned char>(text[p])); ++p) {
        if (v <= INT_MAX) {
            v = v * 10 + (text[p] - '0');
        }
    }
    if (negative) {
        v = -v;
    }
    value = static_cast<int>(v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : v);
    pos = p;
    return true;
}

std::vector<LinkEntry> ParseLinkEntries(const std::string& links) {
    std::vector<LinkEntry> entries;
    size_t pos = 0;
    for (;;) {
        LinkEntry e;
        if (!ScanInt(links, pos, e.circle) || !ScanInt(links, pos, e.index) || !ScanInt(links, pos, e.kind) ||
            !ScanInt(links, pos, e.end)) {
            return entries;
        }
        entries.push_back(e);
    }
}

std::vector<std::pair<int, int>> ParseBackLinks(const std::string& backLinks) {
    std::vector<std::pair<int, int>> pairs;
    size_t pos = 0;
    int c = 0, i = 0;
    while (ScanInt(backLinks, pos, c) && ScanInt(backLinks, pos, i)) {
        pairs.emplace_back(c, i);
    }
    return pairs;
}

namespace {

// Next white-space separated token starting at or after `pos`.
bool NextToken(const std::string& text, size_t& pos, size_t& begin, size_t& length) {
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    if (pos >= text.size()) {
        return false;
    }
    begin = pos;
    while (pos < text.size() && text[pos] != ' ') {
        ++pos;
    }
    length = pos - begin;
    return true;
}

}  // namespace

bool HasLinkEntry(const std::string& links, const std::string& entry) {
    std::vector<std::pair<size_t, size_t>> want;
    size_t pos = 0, begin = 0, length = 0;
    while (NextToken(entry, pos, begin, length)) {
        want.emplace_back(begin, length);
    }
    if (want.empty()) {
        return false;
    }
    pos = 0;
    for (;;) {
        bool equal = true;
        for (const auto& [wBegin, wLength] : want) {
            if (!NextToken(links, pos, begin, length)) {
                return false;
            }
            if (equal && links.compare(begin, length, entry, wBegin, wLength) != 0) {
                equal = false;  // keep consuming the rest of this entry
            }
        }
        if (equal) {
            return true;
        }
    }
}

std::string FormatPosition(int circle, int index) { return std::to_string(circle) + " " + std::to_string(index); }

bool ParsePosition(const std::string& text, int& circle, int& index) {
    size_t pos = 0;
    return ScanInt(text, pos, circle) && ScanInt(text, pos, index);
}
