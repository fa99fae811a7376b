#pragma once

#include <string>
#include <vector>

// One entry of a node's outgoing link text.
struct LinkEntry {
    int circle = 0;
    int index = 0;
    int kind = 0;
    int end = 0;
};

// Entries from the start of `links`, one after the other, as a "%d %d %d %d"
// scan reads them: the first entry that does not hold four integers ends
// the list.
std::vector<LinkEntry> ParseLinkEntries(const std::string& links);

// Pairs " %d %d" of an incoming link text, read the same way.
std::vector<std::pair<int, int>> ParseBackLinks(const std::string& backLinks);

// Reads one integer the way "%d" does (leading white space, optional sign);
// false when there is none. `pos` moves past it.
bool ScanInt(const std::string& text, size_t& pos, int& value);

// Whether `links` holds an entry, compared whole (four tokens at a time),
// equal to `entry`.
bool HasLinkEntry(const std::string& links, const std::string& entry);

std::string FormatPosition(int circle, int index);
// "%d %d" back into numbers; false for a text that is not a position.
bool ParsePosition(const std::string& text, int& circle, int& index);
