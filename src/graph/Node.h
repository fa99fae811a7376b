#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "CircleData.h"
#include "MoleculeRecord.h"
#include "NameSlots.h"
#include "NodeReferences.h"

class CEditJournal;
class CInteractionStore;
class ICircleRebuilder;

// The pathway graph: numbered circles of nodes, links kept as text on the
// nodes, and a name index from node names to position texts.
class CNode {
public:
    explicit CNode(CInteractionStore* doc = nullptr) : m_pDoc(doc), m_nSerial(NextSerial()) {}

    // Empties the circle list; the name index is kept.
    void Clear();

    CCircleData* GetCircle(int circle);
    const CCircleData* GetCircle(int circle) const;
    MoleculeRecord* GetMolecule(int circle, int index);
    const MoleculeRecord* GetMolecule(int circle, int index) const;
    bool FindPositions(int circle, int index, size_t& circlePos, size_t& nodePos) const;
    std::string GetMoleculeName(int circle, int index) const;
    int GetRelation(int circle, int index) const;
    void GetEnds(int circle, int index, int& leftCircle, int& leftIndex, int& rightCircle,
                 int& rightIndex) const;
    // Node-by-node scans visit only index 0 of every circle.
    int GetScanWidth(int /*circle*/) const { return 1; }

    MoleculeRecord* FindMoleculeByName(const std::string& name);
    void FindMoleculePosition(const std::string& name, int& circle, int& index) const;
    // list 0: position text registered first for `name`; list 1: `name` when
    // it is a special token. Empty when not found.
    std::string LookUpName(const std::string& name, int list) const;
    void RegisterName(const std::string& name, int circle, int index, int list);
    // Position text of a node by name; an "r__" name is the relation node of
    // that interaction once it is built.
    std::string LookUp(const std::string& name) const;

    int AppendMolecule(int circle, const std::string& name, int size);
    // Appends a circle numbered m_circle_count; returns its number.
    int AppendCircle(const CCircleData& circle);
    int AppendCircle(CCircleData&& circle);
    // Room for `names` more registrations without rehashing.
    void ReserveNames(size_t names);
    // Starts loading where registering a name of this hash (CNameSlots::Hash)
    // begins, for a build that knows its names some steps ahead.
    void PrefetchNameSlot(std::uint32_t hash) const { m_firstNameEntry.Prefetch(hash); }
    // Appends an empty circle numbered m_circle_count and returns it, to be
    // filled in place (spares building a node list twice).
    CCircleData& AppendEmptyCircle();

    // Pathway file reading: a circle with the file's values (the cell is
    // the box layout's and not kept) and a node with the file's values.
    // Neither touches the circle counter or the name index.
    CCircleData* NewCircleFromFile(int num, int type, int base, int mod, int interact, int hor, int ver);
    void AddMoleculeFromFile(CCircleData* circle, int number, std::string name, std::string links,
                             std::string backLinks, int relation, int size, int leftCircle, int leftIndex,
                             int rightCircle, int rightIndex);
    // Registers every node's name at its position, circle by circle and
    // node by node, replacing the index: the first node of a name wins.
    void RebuildNameIndex();

    // One molecule in a new circle, as the start-up build makes them.
    void NewStartupCircle(const std::string& name, const std::string& links, int kind);
    // Appends `entry` to the node's links unless an equal entry is there.
    void AddLink(int circle, int index, const std::string& entry);

    // Raised by every change, so that indexes built over the graph know
    // when to read it again.
    std::uint64_t GetRevision() const { return m_nRevision; }
    // Tells graphs apart even when one is made where a freed one stood.
    std::uint64_t GetSerial() const { return m_nSerial; }
    // Every change of a circle's nodes announces the circle first: the
    // revision rises and an open edit journal keeps the circle as it was.
    void TouchCircle(int circle);
    // Before the node at `index` is taken out: the nodes from there on move
    // up one place. Announced node by node while they are few, so that
    // indexes read those places alone (a hub's neighbours are many); the
    // journal keeps the whole circle.
    void TouchCircleFrom(int circle, int index);
    // A change beside the circles' nodes (interaction records).
    void Touch() { ++m_nRevision; }
    // Adds the circles whose nodes changed after `revision` (when the
    // revision was GetRevision()); false when the circle list itself
    // changed since, so that whatever was built over it must be built anew.
    bool CirclesChangedSince(std::uint64_t revision, std::vector<int>& circles) const;
    // A change of one node's fields only (its place in the circle stays),
    // announced like TouchCircle: an edit inside a large circle then keeps
    // only that node, and indexes read only that node again.
    void TouchNode(int circle, int index);
    // Adds the nodes changed after `revision`, a circle changed as a whole
    // as index -1; false when that is no longer known node by node (then
    // CirclesChangedSince tells).
    bool NodesChangedSince(std::uint64_t revision, std::vector<NodePos>& nodes) const;
    // Changes made while a journal is set can be taken back (edit history).
    void SetJournal(CEditJournal* journal) { m_pJournal = journal; }
    CEditJournal* GetJournal() const { return m_pJournal; }

    // The nodes bearing `name`, in the order the name index registered them.
    std::vector<NodePos> BearersOf(const std::string& name) const;
    // A name borne by several nodes is drawn where its first bearer stands:
    // labels and edge ends, as a look-up by name finds it. After the bearers
    // of a name changed (a bearer went or took another name), the circles of
    // `bearers` and of the nodes linking to them are built again, and noted
    // so that undo and redo build them too. 0 when the scene failed.
    int RebuildBearerCircles(const std::vector<NodePos>& bearers, ICircleRebuilder& scene);

    // Name index changes of the editing commands (NodeEdit.cpp).
    // Entries of `oldName` registered at `at` now name `newName`.
    void RenameRegisteredName(const std::string& oldName, NodePos at, const std::string& newName);
    // Entries of `name` registered at `from` now give `to`; at a circle
    // of 0 or less the entries are forgotten.
    void MoveRegisteredName(const std::string& name, NodePos from, NodePos to);
    size_t NameIndexSize() const { return m_lstNameIndex.size(); }
    void SetNameIndexEntry(size_t k, const std::string& text);
    void TruncateNameIndex(size_t size);
    void AppendNameIndexEntry(const std::string& text);
    // Removes the node's incoming links, outgoing links and/or the node
    // (flags 0 or 1); 1 when done, 0 when a circle rebuild failed (the
    // steps before it stay). Everything that pointed at later nodes of the
    // circle follows them to their new positions.
    int DeleteMolecule(int circle, int index, int itself, int incoming, int outgoing, ICircleRebuilder& scene);

    int m_circle_count = 1;
    // Circle c is element c - 1; appends keep addresses.
    BlockList<CCircleData> m_lstCircles;
    // Alternating node names and position texts, in registration order.
    // Append only through RegisterName, which keeps the index below right.
    std::vector<std::string> m_lstNameIndex;
    CInteractionStore* m_pDoc = nullptr;

private:
    // Offsets in m_lstNameIndex of every entry naming `name`, in order.
    std::vector<size_t> NameEntries(const std::string& name) const;
    void AddNameEntry(const std::string& name, size_t k);
    void RemoveNameEntry(const std::string& name, size_t k);
    // Re-points every link, incoming link, end, record and index entry
    // after node (circle, index) left its circle; the nodes whose link
    // texts changed go to `changed` as (circle, index), circles ascending.
    void FollowRemoval(int circle, int index, std::vector<std::pair<int, int>>& changed);

    static std::uint64_t NextSerial();

    std::uint64_t m_nSerial;
    std::uint64_t m_nRevision = 0;
    // The revision of the last change of the circle list as a whole, and
    // by circle number that of the last change of its nodes.
    std::uint64_t m_nShapeRevision = 0;
    std::vector<std::uint64_t> m_circleRevisions;
    // The latest touches in order, and the revision up to which touches
    // were let go.
    struct Touched {
        std::uint64_t revision;
        NodePos at;
    };
    std::vector<Touched> m_touched;
    std::uint64_t m_touchedFloor = 0;
    void NoteTouched(NodePos at);
    CEditJournal* m_pJournal = nullptr;
    // What points into each circle, for removals.
    CNodeReferences m_references;
    // Further entries of names registered more than once, in order.
    std::unordered_map<std::string, std::vector<size_t>> m_laterNameEntries;
    // First position in m_lstNameIndex of each registered name, the names
    // read from the list itself. A look-up matches the first equal entry,
    // a position text too: texts shaped like positions are looked up by a
    // scan instead.
    CNameSlots m_firstNameEntry;
    // The name an m_firstNameEntry number stands for.
    struct IndexKey {
        const std::vector<std::string>* list;
        const std::string& operator()(size_t k) const { return (*list)[k]; }
    };
    IndexKey NameKey() const { return IndexKey{&m_lstNameIndex}; }
};
