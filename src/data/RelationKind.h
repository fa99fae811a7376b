#pragma once

// Relation kinds as stored in rel_kind and used everywhere else.
enum RelationKind {
    kBind = 0,
    kEnzymaticStimulation = 1,
    kStimulation = 2,
    kInhibition = 3,
    kTranscriptionalStimulation = 4,
    kTranscriptionalInhibition = 5,
    kCovalentModification = 6,
    kStimulationSuspected = 7,
    kInhibitionSuspected = 8,
    kHomoXmer = 9,
    kStoichiometricConversion = 10,
};

constexpr int kRelationKindCount = 11;

inline bool IsUndirectedKind(int kind) { return kind == kBind || kind == kHomoXmer; }

// Dialog caption of a kind, or nullptr outside 0..10.
inline const char* RelationKindCaption(int kind) {
    static const char* const kCaptions[kRelationKindCount] = {
        "Bind",
        "Enzymatic stimulation",
        "Stimulation",
        "Inhibition",
        "Transcriptional stimulation",
        "Transcriptional inhibition",
        "Covalent modification",
        "Stimulation (suspected)",
        "Inhibition (suspected)",
        "Homo_xmer",
        "Stoichiometric conversion",
    };
    return kind >= 0 && kind < kRelationKindCount ? kCaptions[kind] : nullptr;
}
