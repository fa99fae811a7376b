#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CInteractionStore;
class CNode;
class CSelectNames;
class ISelectNamesTarget;
class IUserPrompt;
struct InteractionRecord;
struct MoleculeRecord;

// What the review commands keep for one document between commands.
struct ReviewSession {
    static constexpr int kCategories = 6;
    // Hit counts per marker category: member names, sentences.
    std::array<int, kCategories> m_nPrecision{};
    std::array<int, kCategories> m_nRecall{};
    // A dictionary that cannot be opened is reported once, then read as empty.
    bool dictionaryFailureReported = false;
};

// The representations a review command may address; null until built.
struct ReviewTargets {
    ISelectNamesTarget* box = nullptr;
    ISelectNamesTarget* sphere = nullptr;
    ISelectNamesTarget* shown = nullptr;  // the one on screen
};

enum class ReviewRep { Box, Sphere };

// How far a walk of a review command is.
struct ReviewProgress {
    enum class Over { Interactions, Nodes } over = Over::Interactions;
    size_t done = 0;
    size_t total = 0;
    // False while the walk sets states: it then runs to its end.
    bool cancellable = true;
};
// Called now and then during a walk; false asks a cancellable walk to stop.
using ReviewProgressCallback = std::function<bool(const ReviewProgress&)>;

// The review engines and the commands that work on review states. One
// object serves one command: the dictionary look-ups it makes are cached
// for that command only.
class CReviewEngine {
public:
    static constexpr const char* kSetAllOkQuestion = "Do you want to set all OK?";
    static constexpr const char* kNoSuchName = "존재하지 않는 이름입니다";

    CReviewEngine(CInteractionStore& data, CNode* graph, const ReviewTargets& targets, IUserPrompt& prompt,
                  ReviewSession& session);

    // Marks the records whose member names contain a word (mode 0 either
    // member, 1 either and no "and"/"or", 3 either and a mixed
    // coordination, any other the second member). Returns the hits.
    int ReviewMemberMarkers(ReviewRep rep, const std::vector<std::string>& words, int mode);
    // Mode 0 the verb groups, 2 members with a plain coordination, any
    // other the sentence contains a word. Returns the hits.
    int ReviewSentenceMarkers(ReviewRep rep, const std::vector<std::string>& words, int mode);
    // Whether a member name joins two unlike things by a coordination.
    bool IsMixedCoordination(std::string phrase);
    // POS1 of a word (underscores removed); empty when unknown.
    std::string LookUpKeyword(const std::string& word);

    void OnAnnotateOk();
    void OnSetAllOk();
    void OnShowNotOk();
    // Relation nodes whose state counts as OK.
    int CountOk() const;

    // Marks every record whose members contain a word of the lists tried
    // in order, without asking; returns the count.
    int MarkMembersOfLists(ReviewRep rep, const std::vector<const std::vector<std::string>*>& lists);

    ISelectNamesTarget* Target(ReviewRep rep) const {
        return rep == ReviewRep::Box ? m_targets.box : m_targets.sphere;
    }
    IUserPrompt& Prompt() { return m_prompt; }
    CInteractionStore& Data() { return m_data; }

    // When set, each handled record's id is appended in walk order (a
    // molecule marked by name as "molecule NAME").
    std::vector<std::string>* m_pHandled = nullptr;
    // Dictionary queries this command made.
    int m_nDictionaryQueries = 0;
    // The states this command set, by interaction id, in the order set.
    const std::vector<std::pair<std::string, int>>& GetVerdicts() const { return m_verdicts; }

    void SetProgress(ReviewProgressCallback progress) { m_progress = std::move(progress); }
    // The curator stopped a walk: it left its marks and states as they
    // were and returned 0, and the engine does nothing more for this command.
    bool Cancelled() const { return m_bCancelled; }
    // Records or nodes between two reports.
    static constexpr size_t kReportEvery = 1024;

private:
    class IdMessages;

    // Whether a record was built with a relation node (its fetch may still fail).
    bool HasRelationNode(const InteractionRecord& record) const;
    // The relation node of a record; null when it has none.
    MoleculeRecord* RelationNodeOf(const InteractionRecord& record) const;
    bool AskSetAllOk();
    // The start of every marking: the target's list emptied and, when
    // `ask`, the set-all-OK question. Null when the target is not built.
    CSelectNames* BeginMarking(ISelectNamesTarget* target, bool ask, bool& yes);
    void SetState(MoleculeRecord& node, int circle, int index, int state, const std::string* id = nullptr);
    // Marks the relation node of a handled record.
    void Handle(CSelectNames& names, const InteractionRecord& record, MoleculeRecord& node, bool setOk,
                IdMessages& ids);
    // Selects what `target` lists; names without a sphere are reported once.
    void SelectListed(ISelectNamesTarget& target);
    // Reports at every kReportEvery-th step (the first included); false
    // once the walk is to stop.
    bool GoOn(ReviewProgress::Over over, size_t done, size_t total, bool cancellable) const;
    // False when a cancellable scan was stopped.
    template <class Visit>
    bool ForEachNode(Visit visit, bool cancellable) const;
    template <class Visit>
    bool ForEachRelationNode(Visit visit, bool cancellable) const;
    // Category of the words, walked in order, and the last dictionary text
    // read on the way (kept when none is read); -1 when undecided.
    int WalkCategory(const std::vector<std::string>& words, std::string& pos);

    CInteractionStore& m_data;
    CNode* m_graph;
    ReviewTargets m_targets;
    IUserPrompt& m_prompt;
    ReviewSession& m_session;
    std::unordered_map<std::string, std::string> m_keywords;
    std::vector<std::pair<std::string, int>> m_verdicts;
    // Interaction index per relation-node position, built when first needed.
    std::unordered_map<long long, int> m_recordAt;
    bool m_bDictionaryFailed = false;
    ReviewProgressCallback m_progress;
    mutable bool m_bCancelled = false;
};
