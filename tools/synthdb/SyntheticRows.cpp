#include "SyntheticRows.h"

#include <algorithm>

#include "SyntheticKeywords.h"
#include "SyntheticNames.h"

namespace {

// Per mille of each relation kind 0..10, roughly as text mining finds them:
// binding and plain stimulation dominate, suspected kinds are rare.
const unsigned kKindWeights[11] = {250, 50, 200, 120, 60, 40, 120, 50, 40, 20, 50};

const char* const kVerbs[11][3] = {
    {" binds", " forms a complex with", " associates with"},
    {" phosphorylates and activates", " catalytically activates", " activates"},
    {" activates", " stimulates", " accelerates the activation of"},
    {" inhibits", " blocks", " abolishes the activity of"},
    {" induces the transcription of", " increases the expression of", " activates transcription of"},
    {" represses the transcription of", " reduces the expression of", " blocks transcription of"},
    {" phosphorylates", " ubiquitinates", " covalently modifies"},
    {" may activate", " probably stimulates", " might enhance"},
    {" may inhibit", " probably blocks", " might repress"},
    {" forms homodimers", " self-associates", " oligomerises"},
    {" is converted into", " is processed into", " is cleaved to yield"},
};

const char* const kShortVerbs[11] = {
    "binds", "activates", "stimulates", "inhibits", "induces", "represses",
    "modifies", "may activate", "may inhibit", "oligomerises", "becomes",
};

const char* const kKindNames[11][2] = {
    {"binding", "complex formation"},
    {"enzymatic activation", "kinase activation"},
    {"activation", "positive regulation"},
    {"inhibition", "negative regulation"},
    {"transcriptional activation", "induction"},
    {"transcriptional repression", "repression"},
    {"phosphorylation", "covalent modification"},
    {"putative activation", "suspected stimulation"},
    {"putative inhibition", "suspected inhibition"},
    {"oligomerisation", "homodimer"},
    {"conversion", "processing"},
};

const char* const kOpeners[] = {
    "", "", "", "", "We show that ", "Here we report that ", "In addition, ", "These results indicate that ",
    "Surprisingly, ", "Moreover, ", "Genetic analysis revealed that ", "Our data suggest that ",
};

const char* const kClauses[] = {
    " in vitro",
    " in vivo",
    " in Saccharomyces cerevisiae",
    " in S. cerevisiae",
    " in human cells",
    " in Escherichia coli extracts",
    " during the pheromone response",
    " at the plasma membrane",
    " in the nucleus",
    " in the cytoplasm",
    " at the shmoo tip",
    " after alpha-factor treatment",
    " as shown by yeast two-hybrid analysis",
    " in a Yeast two-hybrid screen",
    " in a phosphorylation-dependent manner",
    ", which strongly reduces signalling",
    ", and this may contribute to cell-cycle arrest",
    " but does not require its kinase activity",
    " and the interaction is weakly enhanced by GTP",
    " probably through a conserved docking site",
    " in cells lacking Ste5",
    " approximately twofold",
    " and this effect cannot be seen in a ste4 mutant",
    " within minutes of stimulation",
    " under osmotic stress",
    " on the mitochondrial membrane",
    " in vacuolar vesicles",
    " via its N-terminal domain",
    ", as confirmed by co-immunoprecipitation",
    " and positively regulates mating",
    " and negatively regulates filamentous growth",
    " to bind the Golgi",
    " in Schizosaccharomyces pombe",
    " moderately",
    " in eukaryotes",
};

const char* const kShortClauses[] = {" in vitro", " in vivo", " strongly", " in yeast", " as well"};

const char* const kLocations[] = {
    "plasma membrane", "nucleus", "cytoplasm", "mitochondrial matrix", "vacuolar membrane", "cell wall",
    "ER", "Golgi", "shmoo tip", "bud neck", "nuclear envelope", "", "",
};

const char* const kOrganisms[] = {
    "S. cerevisiae", "S. cerevisiae", "S. cerevisiae", "S. cerevisiae", "S. cerevisiae", "S. cerevisiae",
    "Saccharomyces cerevisiae", "Saccharomyces cerevisiae", "human", "Homo sapiens", "Mus musculus",
    "E. coli", "Schizosaccharomyces pombe", "",
};

const char* const kRemarkWords[] = {"", " core", " upstream", " downstream", " peripheral", " putative", " feedback"};

const char* const kMethods[] = {
    "genetic analysis", "co-immunoprecipitation", "yeast two-hybrid", "in vitro kinase assay",
    "GST pull-down", "reporter assay", "northern blot", "mass spectrometry", "genetic epistasis",
    "microarray", "fluorescence microscopy",
};

const char* const kSections[] = {"abstract", "abstract", "results", "introduction", "discussion", "figure legend"};

std::string Id(std::size_t number) { return "r__" + std::to_string(number); }

bool IsReference(const std::string& member) { return member.compare(0, 3, "r__") == 0; }

std::int32_t DrawKind(SplitMix64& random) {
    unsigned roll = static_cast<unsigned>(random.Below(1000));
    for (std::int32_t k = 0; k < 11; ++k) {
        if (roll < kKindWeights[k]) {
            return k;
        }
        roll -= kKindWeights[k];
    }
    return 2;
}

std::int32_t DrawDirectedKind(SplitMix64& random) {
    std::int32_t k = DrawKind(random);
    return k == 0 || k == 9 ? 2 : k;
}

// How a sentence mentions a member: interactions are "this complex" and the
// like, long names are cut so the sentence stays under 250 characters.
std::string Mention(SplitMix64& random, const std::string& member) {
    if (IsReference(member)) {
        static const char* const kPhrasesForInteractions[] = {"this complex", "the resulting complex",
                                                              "this interaction", "the activated form"};
        return random.Pick(kPhrasesForInteractions);
    }
    std::string text = DisplayName(member);
    return text.size() > 60 ? text.substr(0, 60) : text;
}

std::string Capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

}  // namespace

SyntheticRowGenerator::SyntheticRowGenerator(std::uint64_t seed, std::size_t rows, std::size_t chain)
    : m_seed(seed), m_random(seed), m_rows(rows), m_chain(chain) {
    m_pool = MakeMoleculePool(m_random, std::max<std::size_t>(rows / 3, 50));
}

SyntheticRelation SyntheticRowGenerator::Next() {
    std::size_t index = m_emitted++;
    if (index < m_rows) {
        return Ordinary(index + 1);
    }
    return ChainRow(m_rows + m_chain - (index - m_rows));
}

bool SyntheticRowGenerator::NamesInteraction(std::size_t number) const {
    if (number < 1 || number > m_rows || m_rows < 2) {
        return false;
    }
    return SplitMix64::Mix(m_seed ^ (number * 0xD1B54A32D192ED03ull)) % 1000 < 30;
}

std::string SyntheticRowGenerator::ReferenceFrom(std::size_t number) {
    // Mostly an interaction a little earlier in the table (the same paper);
    // sometimes a later one, which then names no interaction itself.
    if (number > 1 && m_random.Chance(800)) {
        std::size_t lo = number > 200 ? number - 200 : 1;
        return Id(static_cast<std::size_t>(m_random.Between(static_cast<std::int64_t>(lo),
                                                             static_cast<std::int64_t>(number - 1))));
    }
    std::size_t hi = std::min(m_rows, number + 200);
    for (int attempt = 0; attempt < 20 && hi > number; ++attempt) {
        std::size_t j = static_cast<std::size_t>(
            m_random.Between(static_cast<std::int64_t>(number + 1), static_cast<std::int64_t>(hi)));
        if (!NamesInteraction(j)) {
            return Id(j);
        }
    }
    if (number > 1) {
        return Id(number - 1);
    }
    return DrawMolecule();
}

const std::string& SyntheticRowGenerator::DrawMolecule() { return m_pool[DrawPoolRank(m_random, m_pool.size())]; }

SyntheticRelation SyntheticRowGenerator::Ordinary(std::size_t number) {
    SyntheticRelation r;
    r.id = Id(number);
    r.kind = DrawKind(m_random);
    r.mem1 = DrawMolecule();
    if (r.kind == 9) {
        r.mem2 = r.mem1;  // a homo-multimer names its molecule twice
    } else if (m_random.Chance(5)) {
        r.kind = 0;  // a molecule binding itself
        r.mem2 = r.mem1;
    } else {
        r.mem2 = DrawMolecule();
        for (int attempt = 0; attempt < 4 && r.mem2 == r.mem1; ++attempt) {
            r.mem2 = DrawMolecule();
        }
    }
    if (NamesInteraction(number)) {
        unsigned which = static_cast<unsigned>(m_random.Below(100));
        if (which < 50 || which >= 85) {
            r.mem1 = ReferenceFrom(number);
        }
        if (which >= 50) {
            r.mem2 = ReferenceFrom(number);
            if (r.mem2 == r.mem1) {
                r.mem2 = DrawMolecule();
            }
        }
        if (r.kind == 9) {
            r.kind = 0;
        }
    }
    Describe(r);
    return r;
}

SyntheticRelation SyntheticRowGenerator::ChainRow(std::size_t number) {
    SyntheticRelation r;
    r.id = Id(number);
    r.kind = DrawDirectedKind(m_random);
    r.mem1 = number == m_rows + 1 ? DrawMolecule() : Id(number - 1);
    r.mem2 = DrawMolecule();
    Describe(r);
    return r;
}

std::string SyntheticRowGenerator::NextPmid() {
    // Several interactions come from one abstract.
    if (m_pmidRowsLeft <= 0) {
        m_pmid = std::to_string(m_random.Between(10000000, 39999999));
        m_pmidRowsLeft = static_cast<int>(m_random.Between(1, 4));
    }
    --m_pmidRowsLeft;
    return m_pmid;
}

void SyntheticRowGenerator::Describe(SyntheticRelation& r) {
    const int k = r.kind;
    r.name = Mention(m_random, r.mem1) + " " + kShortVerbs[k];
    if (k != 9) {
        r.name += " " + Mention(m_random, r.mem2);
    }
    if (r.name.size() > 255) {
        r.name.resize(255);
    }
    r.name2 = kKindNames[k][m_random.Below(2)];
    r.situ = m_random.Pick(kLocations);
    r.org = m_random.Pick(kOrganisms);
    r.source = Sentence(r);
    if (!m_random.Chance(20)) {
        static const unsigned kLevelWeights[5] = {30, 25, 20, 15, 10};
        unsigned roll = static_cast<unsigned>(m_random.Below(100));
        int level = 0;
        while (level < 4 && roll >= kLevelWeights[level]) {
            roll -= kLevelWeights[level++];
        }
        r.rem = std::to_string(level) + m_random.Pick(kRemarkWords);
    }
    r.prep1 = NextPmid();
    r.prep2 = m_random.Pick(kMethods);
    r.prep3 = m_random.Pick(kSections);
}

std::string SyntheticRowGenerator::Sentence(const SyntheticRelation& r) {
    const int k = r.kind;
    std::string opener = m_random.Pick(kOpeners);
    std::string subject = Mention(m_random, r.mem1);
    std::string s = opener.empty() ? Capitalised(subject) : opener + subject;
    s += kVerbs[k][m_random.Below(3)];
    if (k != 9) {
        s += " " + Mention(m_random, r.mem2);
    }
    const std::size_t target = static_cast<std::size_t>(m_random.Between(80, 250));
    // Leave room for the full stop.
    constexpr std::size_t kClauseCount = sizeof kClauses / sizeof kClauses[0];
    static_assert(kClauseCount <= 64, "one bit per clause");
    std::uint64_t used = 0;  // a sentence says each thing once
    for (int attempt = 0; attempt < 12 && s.size() + 1 < target; ++attempt) {
        const std::size_t c = static_cast<std::size_t>(m_random.Below(kClauseCount));
        const std::string clause = kClauses[c];
        if ((used >> c & 1) == 0 && s.size() + clause.size() + 1 <= 250) {
            s += clause;
            used |= std::uint64_t{1} << c;
        }
    }
    while (s.size() + 1 < 80) {
        s += m_random.Pick(kShortClauses);
    }
    s += '.';
    return s;
}

std::vector<SyntheticKeyword> SyntheticRowGenerator::Keywords() { return MakeKeywords(m_random, m_pool); }
