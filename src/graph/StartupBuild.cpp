#include "StartupBuild.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "InteractionStore.h"
#include "LinkText.h"

namespace {

std::string LinkEntryText(int circle, int index, int kind) {
    std::string s = std::to_string(circle);
    s += ' ';
    s += std::to_string(index);
    s += ' ';
    s += std::to_string(kind);
    s += " 1";
    return s;
}

// The build alone writes links and registers names while it runs, so it
// keeps its own indexes: every circle of this graph holds one molecule at
// index 0, registered when its circle was made, in circle order, so the
// first registration of a name is also what a scan would find first.
class StartupBuilder {
public:
    StartupBuilder(CNode& graph, size_t interactions) : m_graph(graph) {
        m_molecules.reserve(interactions);
        m_entries.reserve(interactions);
        m_graph.ReserveNames(interactions);
    }

    void Add(const InteractionRecord& r) {
        const int k = r.kind;
        const int w = InteractionLevel(r.remark);
        Molecule* a = Find(r.member1);
        Molecule* b = Find(r.member2);
        if (a && b) {
            AddLink(*a, b->circle, k);
            MoleculeRecord* t = a->circle < b->circle ? a->node : b->node;
            t->linkCount = std::max(t->linkCount, 0) + 1;
            t->level = std::min(t->level, w);
        } else if (!a && !b) {
            Molecule& first = NewMolecule(r.member1, k, w);
            AddLink(first, m_n + 1, k);
            NewMolecule(r.member2, k, w);
        } else if (!a) {
            // The new molecule is registered after its link is written.
            Molecule m = MakeMolecule(r.member1, k, w);
            AddLink(m, b->circle, k);
            b->node->level = std::min(b->node->level, w);
            Register(r.member1, m);
        } else {
            Molecule m = MakeMolecule(r.member2, k, w);
            AddLink(*a, m.circle, k);
            a->node->level = std::min(a->node->level, w);
            Register(r.member2, m);
        }
    }

private:
    struct Molecule {
        int circle = 0;
        MoleculeRecord* node = nullptr;  // circles and their nodes never move once appended
    };
    struct LinkKey {
        int from, to, kind;
        bool operator==(const LinkKey& o) const { return from == o.from && to == o.to && kind == o.kind; }
    };
    struct LinkKeyHash {
        size_t operator()(const LinkKey& k) const {
            std::uint64_t h = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(k.from)) << 32) ^
                              static_cast<std::uint32_t>(k.to);
            h ^= static_cast<std::uint64_t>(static_cast<std::uint32_t>(k.kind)) * 0x9E3779B97F4A7C15ull;
            h = (h ^ (h >> 31)) * 0xBF58476D1CE4E5B9ull;
            return static_cast<size_t>(h ^ (h >> 29));
        }
    };

    Molecule* Find(const std::string& name) {
        auto it = m_molecules.find(name);
        return it == m_molecules.end() ? nullptr : &it->second;
    }

    Molecule MakeMolecule(const std::string& name, int kind, int level) {
        ++m_n;
        m_graph.NewStartupCircle(name, std::string(), kind);
        Molecule m{m_n, m_graph.GetMolecule(m_n, 0)};
        m.node->level = level;
        return m;
    }

    Molecule& NewMolecule(const std::string& name, int kind, int level) {
        Molecule m = MakeMolecule(name, kind, level);
        return Register(name, m);
    }

    // The first registration of a name wins, as in the graph's own index.
    Molecule& Register(const std::string& name, const Molecule& m) {
        m_graph.RegisterName(name, m.circle, 0, 0);
        return m_molecules.emplace(name, m).first->second;
    }

    void AddLink(const Molecule& from, int target, int kind) {
        if (!m_entries.insert(LinkKey{from.circle, target, kind}).second) {
            return;
        }
        std::string& links = from.node->links;
        if (!links.empty()) {
            links += ' ';
        }
        links += LinkEntryText(target, 0, kind);
    }

    CNode& m_graph;
    int m_n = 0;  // circles made so far; equals the last circle number
    std::unordered_map<std::string_view, Molecule> m_molecules;  // views into the records' members
    std::unordered_set<LinkKey, LinkKeyHash> m_entries;
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
        builder.Add(store.m_pInteractions[i]);
    }
    return graph;
}
