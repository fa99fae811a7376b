#pragma once

#include <string>
#include <vector>

#include "SplitMix64.h"
#include "SyntheticRows.h"

// A DIc dictionary of a few hundred keywords: biology nouns, verbs in their
// inflections, adjectives, function words, multi-word terms with the
// underscores removed (as the keyword look-up queries them) and the most
// popular molecule names of the pool. POS1 holds the main tag; some
// keywords carry further tags in POS2 and POS3.
std::vector<SyntheticKeyword> MakeKeywords(SplitMix64& random, const std::vector<std::string>& pool);
