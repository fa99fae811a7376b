#include "MarkerFilters.h"

#include <cstdio>

#include "UserPrompt.h"

namespace {

// Entries are compared exactly as stored: leading and trailing spaces and
// underscores are part of them, odd ones included.
const std::vector<std::vector<std::string>> kLists = {
    {},
    // 1 conjunctions
    {"_and_", "_or_", "_when_", "where_", "_how_", "_which_", "_since_", "_because_", "_why_", "_what_",
     "_whenever_", "_wherever_", "_AND_", "_OR_", "_WHEN_", "WHERE_", "_HOW_", "_WHICH_", "_SINCE_", "_BECAUSE_",
     "_WHY_", "_WHAT_", "_WHENEVER_", "_WHEREVER_"},
    // 2 prepositions
    {"_in_", "_of_", "_from_", "_to_", "_within_", "_with_", "_toward_", "_by_", "_as_", "_at_", "_on_",
     "_until_", "_during_", "_without_", "_below_", "_after_", "_before_", "_IN_", "_OF_", "_FROM_", "_TO_",
     "_WITHIN_", "_WITH_", "_TOWARD_", "_BY_", "_AS_", "_AT_", "_ON_", "_UNTIL_", "_DURING_", "_WITHOUT_",
     "_BELOW_", "_AFTER_", "_BEFORE_"},
    // 3 expression words
    {"transcription", "expression", "co-expression"},
    // 4 expression markers of the combined filter
    {"_transcription", "_expression", "_co-expression"},
    // 5 verbs: Bind, Stimulation, Inhibition, Covalent modification
    {" bind", " complex", " associate", " activate", " stimulate", " accelerate", " inhibit", " block", " abolish",
     " phosphorylate"},
    // 6 conditions
    {" in vitro", " in vivo", " IN VITRO", " IN VIVO"},
    // 7 organisms
    {"human", "E. coli", "S. cerevisiae", "Homo sapiens", "Pan troglodytes", "Mus musculus", "Rattus norvegicus",
     "Bos taurus", "Sus scrofa", "Gallus gallus", "Xenopus laevis", "Danio rerio", "Fugu rubripes",
     "Drosophila melanogaster", "Caenorhabditis elegans", "Saccharomyces cerevisiae", "Schizosaccharomyces pombe",
     "Arabidopsis thaliana", "Zea mays", "Oryza sativa", "Dictyostelium discoideum", "Plasmodium falciparum",
     "Bacillus subtills", "Escherichia coli", " eukaryotes", " prokaryotes", "e. coli", "s. cerevisiae",
     "homo sapiens", "pan troglodytes", "mus musculus", "rattus norvegicus", "bos taurus", "sus scrofa",
     "gallus gallus", "xenopus laevis", "danio rerio", "fugu rubripes", "drosophila melanogaster",
     "caenorhabditis elegans", "saccharomyces cerevisiae", "schizosaccharomyces pombe", "arabidopsis thaliana",
     "zea mays", "oryza sativa", "dictyostelium discoideum", "plasmodium falciparum", "bacillus subtills",
     "escherichia coli"},
    // 8 modality and degree
    {" moderately", " strongly", " weakly", " do ", " not ", " cannot ", " can ", " may ", " might ", " have to ",
     " probably", " approximately", " positively", " negatively"},
    // 9 experiment methods
    {"yeast two hybrid", "phage display", "ribosome display", "RNA-peptide fusions", "Yeast two hybrid",
     "yeast two-hybrid", "Yeast two-hybrid", "Y2H"},
    // 10 localisation
    {"extracellular", "cell wall", "mitochondrial", "golgi", "nuclear", "membrane", "ER", "peroxisomal",
     "vesicles", "cytoplasmic", "vacuolar", "cytoskeleton", "Extracellular", "Cell wall", "Mitochondrial", "Golgi",
     "Nuclear", "Membrane", "Peroxisomal", "Vesicles", "Cytoplasmic", "Vacuolar", "Cytoskeleton"},
    // 11 coordination, specific
    {"and_", "or_", ",_", "but_"},
    // 12 coordination, simple
    {"_and_", "_or_", ",", "_but_"},
};

constexpr ReviewRep kBox = ReviewRep::Box;
constexpr ReviewRep kSphere = ReviewRep::Sphere;

FilterCall Member(ReviewRep rep, int mode, FilterCall::Counter counter = FilterCall::None, int slot = 0) {
    return {FilterCall::Member, rep, mode, counter, slot};
}
FilterCall Sentence(ReviewRep rep, int mode, FilterCall::Counter counter = FilterCall::None, int slot = 0) {
    return {FilterCall::Sentence, rep, mode, counter, slot};
}

void ShowNumber(IUserPrompt& prompt, int value) { prompt.ShowMessage(std::to_string(value)); }

}  // namespace

const std::vector<std::string>& MarkerWords(int list) {
    return kLists.at(static_cast<size_t>(list >= 0 && list < static_cast<int>(kLists.size()) ? list : 0));
}

const std::vector<MarkerFilter>& MarkerFilters() {
    using C = FilterCall;
    static const std::vector<MarkerFilter> filters = {
        {32809, "OnFilterConjunctions", "conjunctions", 1, {Member(kSphere, 0)}},
        {32813, "OnFilterPrepositions", "prepositions", 2, {Member(kSphere, 1)}},
        {32814, "OnFilterExpression", "expression", 3,
         {Member(kSphere, 2, C::Precision, 0), Sentence(kSphere, 1, C::Recall, 0)}},
        {32810, "OnFilterVerbs", "verbs", 5, {Sentence(kSphere, 0)}},
        {32811, "OnFilterInVitro", "in-vitro", 6,
         {Sentence(kSphere, 1, C::Recall, 1), Member(kSphere, 0, C::Precision, 1)}},
        {32817, "OnFilterExperiments", "experiments", 9, {Member(kBox, 0, C::Precision, 2)}},
        {32812, "OnFilterOrganisms", "organisms", 7,
         {Member(kSphere, 0, C::Precision, 3), Sentence(kSphere, 1, C::Recall, 3)}},
        {32826, "OnFilterLocalization", "localization", 10,
         {Member(kSphere, 0, C::Precision, 4), Sentence(kSphere, 1, C::Recall, 4)}},
        {32815, "OnFilterModality", "modality", 8,
         {Sentence(kSphere, 1, C::Recall, 5), Member(kSphere, 0, C::Precision, 5)}},
        {32818, "OnCoordinationSpecific", "coordination-specific", 11, {Member(kBox, 3)}},
        {32819, "OnCoordinationSimple", "coordination-simple", 12, {Sentence(kBox, 2)}},
        {32803, "OnFilterAllMarkers", "all-markers", 0, {}},
    };
    return filters;
}

const MarkerFilter* FindMarkerFilter(int id) {
    for (const MarkerFilter& f : MarkerFilters()) {
        if (f.id == id) {
            return &f;
        }
    }
    return nullptr;
}

const MarkerFilter* FindMarkerFilterByName(const std::string& name) {
    for (const MarkerFilter& f : MarkerFilters()) {
        if (name == f.name) {
            return &f;
        }
    }
    return nullptr;
}

int RunMarkerFilter(CReviewEngine& engine, ReviewSession& session, const MarkerFilter& filter) {
    if (filter.list == 0) {
        return OnFilterAllMarkers(engine);
    }
    const std::vector<std::string>& words = MarkerWords(filter.list);
    int sum = 0;
    for (const FilterCall& call : filter.calls) {
        // A representation not built yet: no call, and the counter keeps its value.
        if (!engine.Target(call.rep)) {
            continue;
        }
        const int hits = call.engine == FilterCall::Member ? engine.ReviewMemberMarkers(call.rep, words, call.mode)
                                                           : engine.ReviewSentenceMarkers(call.rep, words, call.mode);
        if (engine.Cancelled()) {
            break;  // stopped half-way: the counter keeps its value, later calls are not made
        }
        sum += hits;
        if (call.counter == FilterCall::Precision) {
            session.m_nPrecision[static_cast<size_t>(call.slot)] = hits;
        } else if (call.counter == FilterCall::Recall) {
            session.m_nRecall[static_cast<size_t>(call.slot)] = hits;
        }
    }
    return sum;
}

int OnFilterAllMarkers(CReviewEngine& engine) {
    if (!engine.Target(ReviewRep::Sphere)) {
        return 0;
    }
    const int count = engine.MarkMembersOfLists(ReviewRep::Sphere, {&MarkerWords(1), &MarkerWords(2), &MarkerWords(4)});
    if (engine.Cancelled()) {
        return 0;
    }
    ShowNumber(engine.Prompt(), count);
    return count;
}

void OnFindByNumber(CReviewEngine& engine, const std::vector<std::string>& specialTokens, int position) {
    if (position < 0 || static_cast<size_t>(position) >= specialTokens.size()) {
        return;
    }
    engine.ReviewMemberMarkers(ReviewRep::Sphere, {specialTokens[static_cast<size_t>(position)]}, 0);
}

std::string FormatPrecisionLine(const ReviewSession& s) {
    char text[160];
    std::snprintf(text, sizeof text, "precision %d %d %d %d %d %d ", s.m_nPrecision[0], s.m_nPrecision[1],
                  s.m_nPrecision[2], s.m_nPrecision[3], s.m_nPrecision[4], s.m_nPrecision[5]);
    return text;
}

std::string FormatRecallLine(const ReviewSession& s) {
    char text[160];
    std::snprintf(text, sizeof text, "recall %d %d %d %d %d %d", s.m_nRecall[0], s.m_nRecall[1], s.m_nRecall[2],
                  s.m_nRecall[3], s.m_nRecall[4], s.m_nRecall[5]);
    return text;
}

void OnStatistics(CReviewEngine& engine, ReviewSession& session) {
    for (int id : {32814, 32811, 32817, 32812, 32826, 32815}) {
        RunMarkerFilter(engine, session, *FindMarkerFilter(id));
    }
    if (engine.Cancelled()) {
        return;
    }
    engine.Prompt().ShowMessage(FormatPrecisionLine(session));
    engine.Prompt().ShowMessage(FormatRecallLine(session));
}

void OnCountOk(CReviewEngine& engine) {
    const int count = engine.CountOk();
    if (!engine.Cancelled()) {
        engine.Prompt().ShowMessage("The number of molecules whose state is OK is " + std::to_string(count));
    }
}
