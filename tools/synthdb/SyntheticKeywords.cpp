#include "SyntheticKeywords.h"

#include <algorithm>
#include <unordered_set>

namespace {

const char* const kNouns[] = {
    "protein", "kinase", "complex", "receptor", "scaffold", "subunit", "phosphatase", "factor", "homolog",
    "dimer", "domain", "pathway", "GTPase", "cyclin", "inhibitor", "activator", "promoter", "transcription",
    "expression", "mRNA", "peptide", "fragment", "membrane", "nucleus", "cytoplasm", "cell", "mutant",
    "allele", "gene", "signal", "response", "pheromone", "mating", "arrest", "growth", "stress", "ligand",
    "substrate", "residue", "site", "interaction", "binding", "activity", "assay", "extract", "strain",
    "yeast", "sorbitol", "glucose", "osmolarity", "morphology", "polarity", "bud", "septin", "actin",
    "microtubule", "spindle", "chromatin", "histone", "ubiquitin", "proteasome", "vacuole", "vesicle",
};

const char* const kVerbStems[] = {
    "bind", "activate", "inhibit", "phosphorylate", "stimulate", "block", "abolish", "associate",
    "accelerate", "repress", "induce", "regulate", "interact", "recruit", "localize", "require",
    "modify", "ubiquitinate", "degrade", "cleave", "convert", "process", "target", "anchor",
    "sequester", "release", "enhance", "reduce", "suppress", "mediate",
};

const char* const kAdjectives[] = {
    "active", "inactive", "nuclear", "cytoplasmic", "mitochondrial", "vacuolar", "extracellular",
    "peroxisomal", "mutant", "wild-type", "truncated", "dominant", "constitutive", "transient",
    "direct", "indirect", "genetic", "physical", "essential", "conserved", "human", "putative",
};

const char* const kAdverbs[] = {
    "moderately", "strongly", "weakly", "probably", "approximately", "positively", "negatively",
    "directly", "indirectly", "rapidly", "constitutively", "partially",
};

const char* const kFunctionWords[][2] = {
    {"in", "IN"},      {"of", "IN"},       {"from", "IN"},    {"to", "TO"},      {"within", "IN"},
    {"with", "IN"},    {"toward", "IN"},   {"by", "IN"},      {"as", "IN"},      {"at", "IN"},
    {"on", "IN"},      {"until", "IN"},    {"during", "IN"},  {"without", "IN"}, {"below", "IN"},
    {"after", "IN"},   {"before", "IN"},   {"and", "CC"},     {"or", "CC"},      {"but", "CC"},
    {"when", "WRB"},   {"where", "WRB"},   {"how", "WRB"},    {"which", "WDT"},  {"since", "IN"},
    {"because", "IN"}, {"why", "WRB"},     {"what", "WP"},    {"not", "RB"},     {"can", "MD"},
    {"may", "MD"},     {"might", "MD"},    {"cannot", "MD"},  {"do", "VBP"},     {"the", "DT"},
};

const char* const kTerms[] = {
    "proteinkinase", "MAPkinase", "alphafactor", "Gprotein", "Gbeta", "Ggamma", "pheromoneresponse",
    "cellcycle", "celldivision", "twohybrid", "invitro", "invivo", "cellwall", "plasmamembrane",
    "transcriptionfactor", "ubiquitinligase", "heatshock", "MAPKcascade", "scaffoldprotein",
};

}  // namespace

std::vector<SyntheticKeyword> MakeKeywords(SplitMix64& random, const std::vector<std::string>& pool) {
    std::vector<SyntheticKeyword> rows;
    std::unordered_set<std::string> seen;
    auto add = [&](const std::string& keyword, const char* pos1, const char* pos2 = "", const char* pos3 = "") {
        if (keyword.empty() || !seen.insert(keyword).second) {
            return;
        }
        SyntheticKeyword row;
        row.keyword = keyword;
        row.pos[0] = pos1;
        row.pos[1] = pos2;
        row.pos[2] = pos3;
        rows.push_back(std::move(row));
    };
    for (const char* noun : kNouns) {
        add(noun, "NN", random.Chance(200) ? "VB" : "");
        add(std::string(noun) + "s", "NNS");
    }
    for (const char* stem : kVerbStems) {
        std::string base = stem;
        std::string root = base.back() == 'e' ? base.substr(0, base.size() - 1) : base;
        add(base, "VB", "VBP");
        add(base + "s", "VBZ");
        add(root + "ed", "VBD", "VBN");
        add(root + "ing", "VBG", "NN");
        add(root + (base.back() == 'e' ? "ion" : "ing"), "NN");
    }
    for (const char* adjective : kAdjectives) {
        add(adjective, "JJ");
    }
    for (const char* adverb : kAdverbs) {
        add(adverb, "RB");
    }
    for (const auto& word : kFunctionWords) {
        add(word[0], word[1]);
    }
    for (const char* term : kTerms) {
        add(term, "NN", "NNP");
    }
    // Popular molecules, underscores removed like the look-up removes them.
    const std::size_t named = std::min<std::size_t>(pool.size(), 120);
    for (std::size_t i = 0; i < named; ++i) {
        std::string keyword;
        for (char c : pool[i]) {
            if (c != '_') {
                keyword += c;
            }
        }
        add(keyword, "NNP", random.Chance(100) ? "NN" : "");
    }
    return rows;
}
