#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "SplitMix64.h"

// Member names shaped like the ones text mining pulls out of yeast papers:
// gene names (Ste5, Cdc28), systematic ORF names (YGR040W), multi-word names
// joined by "_", bracketed names, names with stray outer underscores and
// names that start with a digit. The pool is ordered by popularity: the
// first entries are the well-known hubs.
std::vector<std::string> MakeMoleculePool(SplitMix64& random, std::size_t count);

// One popularity-ranked index into a pool of `size` names: half the draws
// are uniform, half are skewed hard towards the head (rank ~ size * u^3),
// so a few molecules take part in many interactions and most in a few.
std::size_t DrawPoolRank(SplitMix64& random, std::size_t size);

// The name as a sentence would write it: underscores become spaces and
// outer spaces go.
std::string DisplayName(const std::string& member);
