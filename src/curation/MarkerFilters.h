#pragma once

#include <string>
#include <vector>

#include "ReviewEngine.h"

// The fixed marker word lists, numbered as the filters name them (1-12).
const std::vector<std::string>& MarkerWords(int list);

// One engine call of a filter command.
struct FilterCall {
    enum Engine { Member, Sentence } engine;
    ReviewRep rep;
    int mode;
    enum Counter { None, Precision, Recall } counter;
    int slot;  // category index of the counter
};

// A marker-category command: its command id, handler name, the name the
// headless --filter option knows it by, its word list and engine calls.
// The all-markers filter has list 0 and no calls.
struct MarkerFilter {
    int id;
    const char* handler;
    const char* name;
    int list;
    std::vector<FilterCall> calls;
};

// Every filter command, in the order the Review menu lists them.
const std::vector<MarkerFilter>& MarkerFilters();
const MarkerFilter* FindMarkerFilter(int id);
const MarkerFilter* FindMarkerFilterByName(const std::string& name);

// Runs one filter command: its engine calls in order, each hit count stored
// in its counter. Returns the sum of the engine results (the all-markers
// filter: its count, which it also shows).
int RunMarkerFilter(CReviewEngine& engine, ReviewSession& session, const MarkerFilter& filter);

// Member names over the conjunction, preposition and expression-marker
// lists on the sphere, without a question; shows and returns the count.
int OnFilterAllMarkers(CReviewEngine& engine);

// The member-name filter over one special token (0-based position); a
// position outside the list does nothing.
void OnFindByNumber(CReviewEngine& engine, const std::vector<std::string>& specialTokens, int position);

// The statistics: the six category filters, then the two counter lines.
void OnStatistics(CReviewEngine& engine, ReviewSession& session);
std::string FormatPrecisionLine(const ReviewSession& session);
std::string FormatRecallLine(const ReviewSession& session);
// Relation nodes set OK, as the count command shows it.
void OnCountOk(CReviewEngine& engine);
