#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "SplitMix64.h"

// One relation row, columns in table order.
struct SyntheticRelation {
    std::string id, name, name2, mem1, mem2;
    std::int32_t kind = 0;
    std::string situ, org, source, rem, prep1, prep2, prep3;
};

// One DIc row: a keyword and ten part-of-speech columns (most empty).
struct SyntheticKeyword {
    std::string keyword;
    std::array<std::string, 10> pos;
};

// Generates the rows of a synthetic InteractionDB in table order.
//
// Rows r__1..r__N are ordinary interactions over a popularity-ranked
// molecule pool of about N/3 names. A few rows name another interaction as
// a member ("r__k"): always one earlier, or one later that itself names no
// interaction, so the references never form a cycle and all resolve.
// The K chain rows r__{N+1}..r__{N+K} each name the previous chain row as
// member1; they come out in descending id order so that a build walking
// the table in order meets the deepest reference first and must resolve
// the whole chain at once.
class SyntheticRowGenerator {
public:
    SyntheticRowGenerator(std::uint64_t seed, std::size_t rows, std::size_t chain);

    std::size_t TotalRows() const { return m_rows + m_chain; }
    // The next row in table order; call TotalRows() times.
    SyntheticRelation Next();

    std::vector<SyntheticKeyword> Keywords();

private:
    SyntheticRelation Ordinary(std::size_t number);
    SyntheticRelation ChainRow(std::size_t number);
    bool NamesInteraction(std::size_t number) const;
    std::string ReferenceFrom(std::size_t number);
    const std::string& DrawMolecule();
    void Describe(SyntheticRelation& r);
    std::string Sentence(const SyntheticRelation& r);
    std::string NextPmid();

    std::uint64_t m_seed;
    SplitMix64 m_random;
    std::size_t m_rows;
    std::size_t m_chain;
    std::size_t m_emitted = 0;
    std::vector<std::string> m_pool;
    std::string m_pmid;
    int m_pmidRowsLeft = 0;
};
