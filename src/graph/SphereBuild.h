#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "NameFilter.h"
#include "Node.h"
#include "ShortNameTable.h"

class CInteractionStore;
struct InteractionRecord;

// How far names may grow. A relation node's name holds its members' names,
// so interactions that refer to interactions make names that grow with the
// square of a chain's depth, or exponentially when a row refers to two
// others; the build stops before such names take the memory.
struct NameLimits {
    size_t relationName = size_t{1} << 20;       // one relation node's name
    std::uint64_t total = std::uint64_t{4} << 30;  // every name the graph holds
};

// Builds the graph the sphere view shows: a relation node between the two
// members of every interaction, circles grown from the circles interactions
// chain onto, members that name other interactions ("r__<id>") joined to
// those interactions' relation nodes, and the incoming link lists.
//
// A reference member is a member that names an interaction which exists and
// is not being built at that moment; any other "r__" name (no such
// interaction, or a reference back into an interaction under construction)
// is an ordinary molecule name looked up through the name index. So a
// dangling reference or a cycle of references builds like plain molecules.
class CSphereBuilder {
public:
    // Whether the records' built flags say which interactions are already
    // in the graph, or every interaction starts unbuilt whatever its flags
    // say (a flag is then written when its interaction is placed).
    enum class Start { AsMarked, Unbuilt };

    // Grows `graph` (normally fresh) from the records of `store`.
    CSphereBuilder(CNode& graph, CInteractionStore& store, const NameLimits& limits = NameLimits(),
                   Start start = Start::AsMarked);

    // Builds every interaction not built yet, in index order, then fills the
    // incoming link lists. False when a name would pass its limit: the build
    // stops there, GetError() names the interaction, and the graph is only
    // partly built.
    bool BuildPathway();
    const std::string& GetError() const { return m_strError; }

    // Puts interaction i into the graph, first building any interaction it
    // refers to, marks it built and returns its relation node's position
    // text. An interaction already built is returned as it is; an index
    // outside the array gives an empty text. References are followed with
    // a work stack, so chains of any length are fine.
    std::string BuildInteraction(int i);

    // A circle holding interaction i's two (new) members and its relation
    // node in between; returns the circle number.
    int NewInteractionCircle(int i, int kind);
    // A circle holding one node, registered by name; returns its number.
    int NewMoleculeCircle(const std::string& name, const std::string& links, int base, int kind, int size);
    // Joins the new molecule `name` to the node at (circle, index) through a
    // new relation node; returns the relation node's position text (empty
    // when there is no such node).
    std::string AttachMolecule(int circle, int index, const std::string& name, int kind);
    // Joins two existing nodes, the first acting on the second, through a
    // relation node; an equally named relation node found by the scan is
    // returned instead. Empty when either node does not exist.
    std::string LinkNodes(int c1, int i1, int c2, int i2, int kind);
    void SetRelationNode(int circle, int index, int leftCircle, int leftIndex, int rightCircle,
                         int rightIndex, int kind);
    void MarkInteractionBuilt(int circle, int index, int i);

private:
    struct Frame;

    // Positions are passed as numbers inside; (-1, -1) is "none".
    NodePos Attach(NodePos at, const std::string& name, int kind);
    NodePos Link(NodePos from, NodePos to, int kind);
    NodePos BuildFrom(int i);
    Frame Begin(int i);
    NodePos Finish(const Frame& f);
    // Whether `member` refers to an interaction (its index in `j`).
    bool IsReference(const std::string& member, int& j) const;
    // The member's node: for a reference (interaction j) its relation node
    // once built, else the name's first registered position.
    bool LookUpMember(const std::string& member, int j, NodePos& pos) const;
    NodePos BuiltPosition(int j) const;
    void PrefetchAhead(int i, int n);
    int InteractionCount() const;
    const InteractionRecord& Record(int i) const;

    // Every circle and node the build makes goes through these three, which
    // keep the look-up tables below right.
    CCircleData& StartCircle();
    int AppendNode(int circle, MoleculeRecord m);
    // Numbers the node one past the largest number in the circle.
    int AddMolecule(int circle, MoleculeRecord m);
    // Registers the name in the graph's name index (a copy of the name).
    void Register(const std::string& name, int circle, int index);
    // The scan of the circles' first nodes by name, from a table.
    bool FindFirstNode(const std::string& name, NodePos& pos);
    // Whether new names of these lengths (the last one a relation node's)
    // stay within the limits; otherwise the build is stopped.
    bool NamesFit(size_t relationName, size_t others = 0);

    CNode& m_graph;
    CInteractionStore& m_store;
    // What the build reads and writes of each record, side by side: the
    // records are large, and their flags would cost a cache line each.
    // MarkInteractionBuilt writes the record too.
    struct RowState {
        NodePos at{0, 0};
        char built = 0;
        char inProgress = 0;
    };
    std::vector<RowState> m_rows;
    bool IsBuilt(int i) const { return m_rows[static_cast<size_t>(i)].built != 0; }
    std::vector<int> m_largestNumber;  // by circle number
    // First node's name -> first circle, the names read from the graph:
    // first nodes are neither moved nor renamed while it builds. Relation
    // names are long, so their heads would not spare the compare.
    CNameSlots m_firstCircleOfName;
    // The scan is asked for every relation name and almost never finds
    // one, while the table is too large for the cache: a filter answers
    // most look-ups, and new first nodes wait in a short queue, their
    // slots loading, until a look-up gets past the filter or the queue is
    // full.
    CNameFilter m_circleNameFilter;
    std::vector<std::uint32_t> m_circleNameHashes;  // of every first node noted, to grow the filter
    struct PendingCircle {
        std::uint32_t hash;
        std::uint32_t circle;
    };
    std::vector<PendingCircle> m_pendingCircles;
    void NoteFirstNode(size_t circle);
    void InsertPendingCircles(size_t count);
    struct FirstNodeName {
        const CNode* graph;
        const std::string& operator()(size_t c) const {
            return graph->GetCircle(static_cast<int>(c))->m_lstMolecules.front().name;
        }
    };
    FirstNodeName CircleKey() const { return FirstNodeName{&m_graph}; }
    // The graph's name index as the build reads it: each name's first
    // entry and the position it gives, so that a member's look-up needs no
    // trip through the index's strings.
    struct IndexedName {
        std::uint32_t entry = 0;  // offset of the name in m_lstNameIndex
        NodePos pos;              // circle kNotPosition: the entry's text is no position
    };
    CShortNameTable<IndexedName> m_firstEntryOfName;
    struct IndexName {
        const CNode* graph;
        const std::string& operator()(const IndexedName& n) const { return graph->m_lstNameIndex[n.entry]; }
    };
    IndexName EntryKey() const { return IndexName{&m_graph}; }
    void NoteIndexEntry(size_t k);
    // What PrefetchAhead found for the rows ahead, by row modulo the size:
    // the hashes of the members and the circles and indexes they name.
    static constexpr size_t kNoEntry = SIZE_MAX;
    struct RowAhead {
        std::uint32_t hash[2] = {0, 0};
        const CCircleData* circle[2] = {nullptr, nullptr};
        int index[2] = {0, 0};
        // A long name's entry in the index, by place: the index may grow
        // (and move its strings) between the stages.
        size_t entry[2] = {kNoEntry, kNoEntry};
    };
    std::array<RowAhead, 16> m_ahead;
    NameLimits m_limits;
    std::uint64_t m_nameBytes = 0;  // of every name the graph holds, the index's copies too
    int m_nCurrent = -1;            // the interaction being placed
    std::string m_strError;
};

// Reloads the interactions and builds the sphere-view graph from them.
// `loaded` is false when the table could not be read (the graph is then
// empty and the store holds the diagnostic). Null when a name would pass
// its limit, with `error` naming the interaction.
std::unique_ptr<CNode> BuildSphereGraph(CInteractionStore& store, bool& loaded, std::string& error);

// The same build over the records the store already holds (no reload); as
// after a reload, every record starts unbuilt. Null when a name would pass
// its limit (every record is unbuilt again), with `error` naming the
// interaction.
std::unique_ptr<CNode> BuildSphereGraphFromArray(CInteractionStore& store, std::string& error,
                                                 const NameLimits& limits = NameLimits());

// For records known to stay within the name limits (tests, benchmarks):
// null exactly where the form above is.
inline std::unique_ptr<CNode> BuildSphereGraphFromArray(CInteractionStore& store) {
    std::string error;
    return BuildSphereGraphFromArray(store, error);
}
