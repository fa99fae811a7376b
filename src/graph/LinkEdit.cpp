#include "LinkEdit.h"

#include <cctype>
#include <vector>

#include "LinkText.h"

namespace {

struct Number {
    int value = 0;
    size_t begin = 0;
    size_t end = 0;
};

// The leading run of integers of a link text with where each stands.
std::vector<Number> ScanNumbers(const std::string& text) {
    std::vector<Number> numbers;
    size_t pos = 0;
    for (;;) {
        size_t begin = pos;
        while (begin < text.size() && std::isspace(static_cast<unsigned char>(text[begin]))) {
            ++begin;
        }
        Number n;
        if (!ScanInt(text, pos, n.value)) {
            return numbers;
        }
        n.begin = begin;
        n.end = pos;
        numbers.push_back(n);
    }
}

// Whether some whole entry of `width` numbers names (circle, removed or
// later), read without building anything: most texts that hold the
// circle's digits name other circles.
bool NamesLaterNode(const std::string& text, size_t width, int circle, int removed) {
    size_t pos = 0;
    int value = 0;
    bool names = false;
    for (size_t k = 0; ScanInt(text, pos, value); ++k) {
        const size_t at = k % width;
        if (at == 0) {
            names = value == circle;
        } else if (at == 1) {
            names = names && value >= removed;
        }
        if (names && at + 1 == width) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string RemoveLinkEntry(const std::string& links, const std::string& token, int extra) {
    std::vector<Number> want = ScanNumbers(token);
    std::vector<Number> have = ScanNumbers(links);
    const size_t width = want.size() + static_cast<size_t>(extra < 0 ? 0 : extra);
    if (want.empty()) {
        return links;
    }
    for (size_t e = 0; e + width <= have.size(); e += width) {
        bool equal = true;
        for (size_t k = 0; k < want.size() && equal; ++k) {
            equal = have[e + k].value == want[k].value;
        }
        if (!equal) {
            continue;
        }
        size_t begin = have[e].begin;
        size_t end = have[e + width - 1].end;
        if (end < links.size() && links[end] == ' ') {
            ++end;
        } else if (begin > 0 && links[begin - 1] == ' ') {
            --begin;
        }
        return links.substr(0, begin) + links.substr(end);
    }
    return links;
}

bool FollowNodeRemoval(const std::string& links, int width, int circle, int removed, std::string& result) {
    const std::string mark = std::to_string(circle);
    const size_t w = static_cast<size_t>(width);
    if (links.find(mark) == std::string::npos || w < 2 || !NamesLaterNode(links, w, circle, removed)) {
        return false;  // names no node at or after the removed one
    }
    std::vector<Number> have = ScanNumbers(links);
    bool changed = false;
    std::string out = !links.empty() && links[0] == ' ' ? " " : "";
    bool first = true;
    for (size_t e = 0; e + w <= have.size(); e += w) {
        int index = have[e + 1].value;
        if (have[e].value == circle && index >= removed) {
            changed = true;
            if (index == removed) {
                continue;
            }
            --index;
        }
        if (!first) {
            out += ' ';
        }
        first = false;
        for (size_t k = 0; k < w; ++k) {
            if (k > 0) {
                out += ' ';
            }
            out += std::to_string(k == 1 ? index : have[e + k].value);
        }
    }
    if (changed) {
        result = std::move(out);
    }
    return changed;
}
