#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "CircleData.h"
#include "MoleculeRecord.h"

class CInteractionStore;

// The pathway graph: numbered circles of nodes, links kept as text on the
// nodes, and a name index from node names to position texts.
class CNode {
public:
    explicit CNode(CInteractionStore* doc = nullptr) : m_pDoc(doc) {}

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

    int m_circle_count = 1;
    std::deque<CCircleData> m_lstCircles;
    // Alternating node names and position texts, in registration order.
    // Append only through RegisterName, which keeps the index below right.
    std::vector<std::string> m_lstNameIndex;
    CInteractionStore* m_pDoc = nullptr;

private:
    // First position in m_lstNameIndex of each registered name. A look-up
    // matches the first equal entry, a position text too: texts shaped
    // like positions are looked up by a scan instead.
    std::unordered_map<std::string, size_t> m_firstNameEntry;
};
