#include "StartupBuild.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cctype>
#include <climits>
#include <cstdint>
#include <vector>

#include "InteractionStore.h"
#include "LinkText.h"
#include "ShortNameTable.h"

namespace {

void AppendInt(std::string& s, int value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    s.append(buffer, result.ptr);
}

// The build alone writes links and registers names while it runs, so it
// keeps its own indexes: every circle of this graph holds one molecule at
// index 0, registered when its circle was made, in circle order, so the
// first registration of a name is also what a scan would find first.
// Both indexes are flat tables, so a look-up costs one cache miss at most.
class StartupBuilder {
public:
    StartupBuilder(CNode& graph, size_t interactions) : m_graph(graph) {
        m_entries.reserve(interactions);
        m_nodes.reserve(2 * interactions + 1);
        m_nodes.push_back(nullptr);  // circle numbers start at 1
        m_graph.ReserveNames(interactions);
    }

    void Add(const InteractionRecord& r) {
        const int k = r.kind;
        const int w = InteractionLevel(r.remark);
        const int a = Find(r.member1);
        const int b = Find(r.member2);
        if (a && b) {
            AddLink(a, b, k);
            MoleculeRecord* t = m_nodes[a < b ? a : b];
            t->linkCount = std::max(t->linkCount, 0) + 1;
            t->level = std::min(t->level, w);
        } else if (!a && !b) {
            const int first = NewMolecule(r.member1, k, w);
            Register(r.member1, first);
            AddLink(first, m_n + 1, k);
            Register(r.member2, NewMolecule(r.member2, k, w));
        } else if (!a) {
            // The new molecule is registered after its link is written.
            const int m = NewMolecule(r.member1, k, w);
            AddLink(m, b, k);
            m_nodes[b]->level = std::min(m_nodes[b]->level, w);
            Register(r.member1, m);
        } else {
            const int m = NewMolecule(r.member2, k, w);
            AddLink(a, m, k);
            m_nodes[a]->level = std::min(m_nodes[a]->level, w);
            Register(r.member2, m);
        }
    }

    // Rows are read in order and what a row reaches loads in stages, each
    // stage's memory arriving while the rows in between are added: the
    // look-up slots of its members, then the nodes the slots name, then
    // their texts and the slot of the link between them. A name registered
    // meanwhile is missed: prefetches only.
    void PrefetchAhead(const std::vector<InteractionRecord>& rows, size_t i) {
        const size_t n = rows.size();
        if (i + kSlotsAhead < n) {
            const InteractionRecord& r = rows[i + kSlotsAhead];
            Ahead& a = AheadOf(i + kSlotsAhead);
            a.hash[0] = CNameSlots::Hash(r.member1);
            a.hash[1] = CNameSlots::Hash(r.member2);
            m_molecules.Prefetch(a.hash[0]);
            m_molecules.Prefetch(a.hash[1]);
            __builtin_prefetch(r.remark.data());
        }
        if (i + kNodesAhead < n) {
            const InteractionRecord& r = rows[i + kNodesAhead];
            Ahead& a = AheadOf(i + kNodesAhead);
            const std::string* members[2] = {&r.member1, &r.member2};
            for (int m = 0; m < 2; ++m) {
                const std::uint32_t* circle = m_molecules.Guess(*members[m], a.hash[m]);
                a.circle[m] = circle ? *circle : 0;
                if (a.circle[m]) {
                    const char* node = reinterpret_cast<const char*>(m_nodes[a.circle[m]]);
                    __builtin_prefetch(node);
                    __builtin_prefetch(node + 64);
                    __builtin_prefetch(node + 128);
                }
            }
        }
        if (i + kTextsAhead < n) {
            const Ahead& a = AheadOf(i + kTextsAhead);
            for (const std::uint32_t c : a.circle) {
                if (c) {
                    __builtin_prefetch(m_nodes[c]->name.data());
                    __builtin_prefetch(m_nodes[c]->links.data());
                }
            }
            if (a.circle[0] && a.circle[1]) {
                m_entries.Prefetch(static_cast<int>(a.circle[0]), static_cast<int>(a.circle[1]),
                                   rows[i + kTextsAhead].kind);
            }
        }
    }

private:
    // How many rows ahead each stage of PrefetchAhead works.
    static constexpr size_t kSlotsAhead = 8;
    static constexpr size_t kNodesAhead = 4;
    static constexpr size_t kTextsAhead = 2;
    // What the stages found for a row: its members' hashes and circles.
    struct Ahead {
        std::uint32_t hash[2] = {0, 0};
        std::uint32_t circle[2] = {0, 0};
    };
    Ahead& AheadOf(size_t row) { return m_ahead[row % m_ahead.size()]; }

    // A molecule's circle number, 0 when the name is not registered.
    struct NodeName {
        const std::vector<MoleculeRecord*>* nodes;
        const std::string& operator()(std::uint32_t circle) const { return (*nodes)[circle]->name; }
    };
    NodeName Key() const { return NodeName{&m_nodes}; }

    int Find(const std::string& name) const {
        const std::uint32_t* circle = m_molecules.Find(name, Key());
        return circle ? static_cast<int>(*circle) : 0;
    }

    // A circle of its own for the molecule; returns its number.
    int NewMolecule(const std::string& name, int kind, int level) {
        ++m_n;
        CCircleData& circle = m_graph.AppendEmptyCircle();
        MoleculeRecord& m = circle.m_lstMolecules.emplace_back();
        m.number = 0;
        m.name = name;
        m.relation = kind;
        m.size = 1;
        m.linkCount = 0;
        m.level = level;
        m_nodes.push_back(&m);  // circles and their nodes never move once appended
        return m_n;
    }

    // The first registration of a name wins, as in the graph's own index.
    void Register(const std::string& name, int circle) {
        m_graph.RegisterName(name, circle, 0, 0);
        m_molecules.Insert(name, static_cast<std::uint32_t>(circle), Key());
    }

    void AddLink(int from, int target, int kind) {
        if (!m_entries.Insert(from, target, kind)) {
            return;
        }
        std::string& links = m_nodes[from]->links;
        if (!links.empty()) {
            links += ' ';
        }
        AppendInt(links, target);
        links += " 0 ";
        AppendInt(links, kind);
        links += " 1";
    }

    // The (from, to, kind) links written so far, in one flat array.
    class LinkSet {
    public:
        void reserve(size_t n) {
            size_t capacity = 16;
            while (capacity < 2 * n) {
                capacity *= 2;
            }
            if (capacity > m_keys.size()) {
                Grow(capacity);
            }
        }
        void Prefetch(int from, int to, int kind) const {
            if (!m_keys.empty()) {
                __builtin_prefetch(&m_keys[Hash(Key{from, to, kind}) & (m_keys.size() - 1)]);
            }
        }
        // False when the link was there already.
        bool Insert(int from, int to, int kind) {
            if (2 * (m_count + 1) > m_keys.size()) {
                Grow(m_keys.empty() ? 16 : 2 * m_keys.size());
            }
            const Key key{from, to, kind};
            Key* slot = Locate(key);
            if (slot->from != 0) {
                return false;
            }
            *slot = key;
            ++m_count;
            return true;
        }

    private:
        struct Key {
            int from = 0, to = 0, kind = 0;  // from 0: an empty slot (circles start at 1)
        };
        static size_t Hash(const Key& k) {
            std::uint64_t h = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(k.from)) << 32) ^
                              static_cast<std::uint32_t>(k.to);
            h ^= static_cast<std::uint64_t>(static_cast<std::uint32_t>(k.kind)) * 0x9E3779B97F4A7C15ull;
            h = (h ^ (h >> 31)) * 0xBF58476D1CE4E5B9ull;
            return static_cast<size_t>(h ^ (h >> 29));
        }
        Key* Locate(const Key& key) {
            const size_t mask = m_keys.size() - 1;
            for (size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
                Key& s = m_keys[i];
                if (s.from == 0 || (s.from == key.from && s.to == key.to && s.kind == key.kind)) {
                    return &s;
                }
            }
        }
        void Grow(size_t capacity) {
            std::vector<Key> old(capacity);
            old.swap(m_keys);
            for (const Key& k : old) {
                if (k.from != 0) {
                    *Locate(k) = k;
                }
            }
        }
        std::vector<Key> m_keys;
        size_t m_count = 0;
    };

    CNode& m_graph;
    int m_n = 0;                          // circles made so far; equals the last circle number
    std::vector<MoleculeRecord*> m_nodes;  // by circle number
    CShortNameTable<std::uint32_t> m_molecules;
    LinkSet m_entries;
    std::array<Ahead, 16> m_ahead;
};

}  // namespace

int InteractionLevel(const std::string& remark) {
    size_t pos = 0;
    int level = 0;
    return ScanInt(remark, pos, level) ? level : 0;
}

std::unique_ptr<CNode> BuildStartupGraph(CInteractionStore& store, bool& loaded) {
    loaded = store.LoadInteractions();
    store.CollectSpecialTokens();
    return BuildStartupGraphFromArray(store);
}

std::unique_ptr<CNode> BuildStartupGraphFromArray(CInteractionStore& store) {
    return BuildStartupGraphFromArray(store, nullptr);
}

std::unique_ptr<CNode> BuildStartupGraphFromArray(CInteractionStore& store,
                                                  const std::function<bool(size_t, size_t)>& step) {
    constexpr size_t kRecordsPerStep = 4096;
    auto graph = std::make_unique<CNode>(&store);
    const size_t total = store.m_pInteractions.size();
    StartupBuilder builder(*graph, total);
    for (size_t i = 0; i < total; ++i) {
        if (step && i % kRecordsPerStep == 0 && !step(i, total)) {
            return nullptr;
        }
        builder.PrefetchAhead(store.m_pInteractions, i);
        builder.Add(store.m_pInteractions[i]);
    }
    return graph;
}
