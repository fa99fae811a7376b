#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SelectNameList.h"

class CGraphLookup;
class CNode;

// A representation's list of names to select and the graph walks that fill
// it. Reads the graph through the document's graph slot, so it always sees
// the current graph; knows nothing of the scene.
class CSelectNames {
public:
    explicit CSelectNames(const std::unique_ptr<CNode>& graph) : m_graph(graph) {}

    const CNode* Graph() const { return m_graph.get(); }

    void Clear() {
        m_lstSelectNames.Clear();
        m_listedMembers.Reset();
    }

    // While one lives, AddElementNames remembers which member positions it
    // has listed, so a member met again costs no name look-up. For walks
    // over many elements, during which the graph does not change.
    class Walk {
    public:
        explicit Walk(CSelectNames& names) : m_names(&names) { names.m_bWalking = true; }
        ~Walk() { End(); }
        Walk(const Walk&) = delete;
        Walk& operator=(const Walk&) = delete;
        // Before the listed names are selected: selecting may call back.
        void End() {
            if (m_names) {
                m_names->m_bWalking = false;
                m_names->m_listedMembers.Reset();
                m_names = nullptr;
            }
        }

    private:
        CSelectNames* m_names;
    };

    // Lists the element at (circle, index) if `addSelf` is 1 and its
    // members, each unless listed already; nothing when `kind` is 0 or more
    // and not the element's relation kind. Returns how many were listed.
    int AddElementNames(int circle, int index, int kind, int addSelf);
    // Lists every element of relation kind `kind` with its members.
    void AddNamesOfKind(int kind);
    // One breadth-first layer over the listed names start .. end - 1, then
    // `depth` more without a kind filter; direction 0 follows both link
    // lists, 1 outgoing, 2 incoming. For a direction other than 0 each
    // layer's new names are handed to `selectRange` (from, to) at once.
    // Returns the number of names the first layer listed.
    int ExpandNames(CGraphLookup& lookup, int depth, int start, int end, int kind, int direction,
                    const std::function<void(int, int)>& selectRange);

    CSelectNameList m_lstSelectNames;

private:
    // Positions, in an open-addressing table that keeps its capacity.
    class PositionSet {
    public:
        // Only for positions of elements, whose circle is 1 or more.
        bool Contains(int circle, int index) const;
        void Insert(int circle, int index);
        void Reset();

    private:
        static uint64_t Key(int circle, int index) {
            return static_cast<uint64_t>(static_cast<uint32_t>(circle)) << 32 | static_cast<uint32_t>(index);
        }
        size_t Slot(uint64_t key) const;

        std::vector<uint64_t> m_keys;  // 0 is free
        size_t m_used = 0;
    };

    const std::unique_ptr<CNode>& m_graph;
    bool m_bWalking = false;
    // The members this walk has listed (a molecule is the member of many
    // relation nodes; the relation nodes themselves rarely repeat).
    PositionSet m_listedMembers;
};

// What the review commands need of a representation: its names to select,
// one call that selects them all, and the name last clicked. Keeps the
// commands free of the scene.
class ISelectNamesTarget {
public:
    virtual ~ISelectNamesTarget() = default;

    virtual CSelectNames& SelectNames() = 0;
    // Selects every listed name, in list order, with the selection
    // callbacks kept to the highlighting for the duration. Returns the
    // listed names that have no sphere, in list order, for the caller to
    // report.
    virtual std::vector<std::string> SelectListedNamesQuietly() = 0;
    virtual const std::string& GetCurrentName() const = 0;
};
