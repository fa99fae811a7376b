#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Member names join words with "_" and become node names in the graph and
// the scene, so they are normalised on the way in: a molecule binding
// itself becomes a homo-multimer with a second copy "<name>_2", outer
// underscores go, and a name starting with "(", "[" or a digit gets a "_".
void NormaliseMemberNames(std::string& member1, std::string& member2, std::int32_t& kind);

// Turns each line break (CR LF, CR or LF) into one "_", the word
// separator; true when the name held one.
bool ReplaceLineBreaks(std::string& name);

// The special characters whose words are collected as tokens, in order.
extern const char kSpecialCharacters[26];

// Position of the first occurrence of each special character in `member`
// (kSpecialCharacters order; npos when absent), found in one pass.
void FirstSpecialPositions(const std::string& member, size_t (&first)[26]);

// The word between the underscores on both sides of position `p`; false
// when there is none.
bool TokenAround(const std::string& member, size_t p, std::string& token);
