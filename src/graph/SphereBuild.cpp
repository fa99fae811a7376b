#include "SphereBuild.h"

#include <algorithm>
#include <charconv>
#include <climits>

#include "BackLinks.h"
#include "InteractionStore.h"
#include "LinkText.h"
#include "RelationKind.h"

namespace {

const NodePos kNoPosition{-1, -1};
constexpr int kNotPosition = INT_MIN;
// How many rows ahead each prefetch stage works (PrefetchAhead).
constexpr int kRecordsAhead = 16;
constexpr int kMembersAhead = 12;
constexpr int kSlotsAhead = 8;
constexpr int kCirclesAhead = 5;
constexpr int kNodesAhead = 3;
constexpr int kTextsAhead = 1;

bool IsPosition(const NodePos& p) { return p.circle > 0 && p.index >= 0; }

void AppendInt(std::string& s, int value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    s.append(buffer, result.ptr);
}

// "%d %d %d %d": target circle, target index, kind, end flag.
void AppendLinkEntry(std::string& s, int circle, int index, int kind, int end) {
    AppendInt(s, circle);
    s += ' ';
    AppendInt(s, index);
    s += ' ';
    AppendInt(s, kind);
    s += ' ';
    AppendInt(s, end);
}

std::string LinkEntryText(int circle, int index, int kind, int end) {
    std::string s;
    AppendLinkEntry(s, circle, index, kind, end);
    return s;
}

// " %d %d %d %d" onto an existing link list.
void AddLinkEntry(std::string& links, int circle, int index, int kind, int end) {
    links += ' ';
    AppendLinkEntry(links, circle, index, kind, end);
}

std::string PositionText(const NodePos& p) {
    return IsPosition(p) ? FormatPosition(p.circle, p.index) : std::string();
}

// Relation names can be long: made to their exact size, not grown by doubling.
std::string Joined(const std::string& a, char joint, const std::string& b, const std::string& tail = "") {
    std::string s;
    s.reserve(a.size() + 1 + b.size() + tail.size());
    s += a;
    s += joint;
    s += b;
    s += tail;
    return s;
}

std::string UndirectedRelationName(const std::string& a, const std::string& b, int kind) {
    return Joined(a, ':', b, ":" + std::to_string(kind));
}

std::string DirectedRelationName(const std::string& a, const std::string& b) { return Joined(a, '-', b); }

int CircleTypeOf(int kind) { return kind == kBind ? 0 : kind == kCovalentModification ? 1 : 2; }

size_t UndirectedNameLength(const std::string& a, const std::string& b, int kind) {
    return a.size() + b.size() + 2 + std::to_string(kind).size();
}

size_t DirectedNameLength(const std::string& a, const std::string& b) { return a.size() + 1 + b.size(); }

std::string SizeText(std::uint64_t bytes) {
    if (bytes >= (std::uint64_t{1} << 30) && bytes % (std::uint64_t{1} << 30) == 0) {
        return std::to_string(bytes >> 30) + " GiB";
    }
    if (bytes >= (std::uint64_t{1} << 20) && bytes % (std::uint64_t{1} << 20) == 0) {
        return std::to_string(bytes >> 20) + " MiB";
    }
    return std::to_string(bytes) + " bytes";
}

}  // namespace

// One interaction on the work stack: what its members looked like when its
// build began, and the reference members still to resolve, in order.
struct CSphereBuilder::Frame {
    int i = 0;
    char kase = 0;      // 'A' .. 'D'
    bool ref1 = false;  // reference members and their interactions
    bool ref2 = false;
    int j1 = -1;
    int j2 = -1;
    NodePos p1 = kNoPosition;  // filled in when a reference member is resolved
    NodePos p2 = kNoPosition;
    int order[2] = {0, 0};  // member numbers (1, 2) to resolve
    int pending = 0;
    int next = 0;
};

CSphereBuilder::CSphereBuilder(CNode& graph, CInteractionStore& store, const NameLimits& limits, Start start)
    : m_graph(graph), m_store(store), m_limits(limits) {
    m_rows.assign(static_cast<size_t>(std::max(InteractionCount(), 0)), RowState());
    if (start == Start::AsMarked) {
        for (size_t i = 0; i < m_rows.size(); ++i) {
            const InteractionRecord& r = Record(static_cast<int>(i));
            m_rows[i].built = r.built != 0;
            m_rows[i].at = NodePos{r.nodeCircle, r.nodeIndex};
        }
    }
    // Circle c is list element c - 1, whatever the counter says.
    for (const std::string& entry : graph.m_lstNameIndex) {
        m_nameBytes += entry.size();
    }
    // Grown as names come: a table sized for the worst case would spread
    // the look-ups over more cache lines than the names need.
    for (size_t k = 0; k + 1 < graph.m_lstNameIndex.size(); k += 2) {
        NoteIndexEntry(k);
    }
    const size_t circles = graph.m_lstCircles.size();
    // About one circle for every two interactions; more grow the table.
    const size_t firstNodes = circles + static_cast<size_t>(InteractionCount()) / 2;
    m_firstCircleOfName.reserve(firstNodes);
    m_circleNameFilter.Reset(firstNodes);
    m_circleNameHashes.reserve(firstNodes);
    m_largestNumber.assign(std::max(static_cast<size_t>(std::max(graph.m_circle_count, 1)), circles + 1), -1);
    for (size_t c = 1; c <= circles; ++c) {
        const CCircleData& circle = graph.m_lstCircles[c - 1];
        for (const MoleculeRecord& m : circle.m_lstMolecules) {
            m_largestNumber[c] = std::max(m_largestNumber[c], m.number);
            m_nameBytes += m.name.size();
        }
        // The scan by name sees circles below the counter only.
        if (!circle.m_lstMolecules.empty() && static_cast<int>(c) < graph.m_circle_count) {
            NoteFirstNode(c);
        }
    }
}

int CSphereBuilder::InteractionCount() const {
    return std::min(m_store.m_nInteractions, static_cast<int>(m_store.m_pInteractions.size()));
}

const InteractionRecord& CSphereBuilder::Record(int i) const { return m_store.m_pInteractions[i]; }

bool CSphereBuilder::BuildPathway() {
    // One pass builds them all: BuildFrom places its row, and every row it
    // reaches through references, unless it stops the build.
    const int n = InteractionCount();
    for (int i = 0; i < n; ++i) {
        PrefetchAhead(i, n);
        if (!IsBuilt(i)) {
            BuildFrom(i);
            if (!m_strError.empty()) {
                return false;
            }
        }
    }
    BuildBackLinks(m_graph);
    return true;
}

bool CSphereBuilder::NamesFit(size_t relationName, size_t others) {
    if (!m_strError.empty()) {
        return false;
    }
    // The record is read only for a message: on the way it is seldom in cache.
    auto id = [this] { return m_nCurrent >= 0 ? Record(m_nCurrent).id : std::string("?"); };
    if (relationName > m_limits.relationName) {
        m_strError = "Interaction " + id() + " would make a relation-node name of " + std::to_string(relationName) +
                     " bytes, more than " + SizeText(m_limits.relationName) +
                     ": its members refer to other interactions too deeply. The sphere view was not built.";
        return false;
    }
    if (m_nameBytes + relationName + others > m_limits.total) {
        m_strError = "Interaction " + id() + " would bring the node names to more than " +
                     SizeText(m_limits.total) +
                     " in all: members refer to other interactions too deeply. The sphere view was not built.";
        return false;
    }
    return true;
}

std::string CSphereBuilder::BuildInteraction(int i) {
    if (i < 0 || i >= InteractionCount()) {
        return std::string();
    }
    if (IsBuilt(i)) {
        return PositionText(BuiltPosition(i));
    }
    return PositionText(BuildFrom(i));
}

bool CSphereBuilder::IsReference(const std::string& member, int& j) const {
    if (member.compare(0, 3, "r__") != 0) {
        return false;
    }
    j = m_store.FindInteraction(member);
    return j >= 0 && j < InteractionCount() && !m_rows[static_cast<size_t>(j)].inProgress;
}

NodePos CSphereBuilder::BuiltPosition(int j) const { return m_rows[static_cast<size_t>(j)].at; }

void CSphereBuilder::NoteIndexEntry(size_t k) {
    IndexedName n;
    n.entry = static_cast<std::uint32_t>(k);
    if (!ParsePosition(m_graph.m_lstNameIndex[k + 1], n.pos.circle, n.pos.index)) {
        n.pos.circle = kNotPosition;
    }
    m_firstEntryOfName.Insert(m_graph.m_lstNameIndex[k], n, EntryKey());
}

void CSphereBuilder::PrefetchAhead(int i, int n) {
    // Rows are read in order; what a row will reach loads in stages, each
    // stage's memory arriving while the rows in between are built: the
    // look-up slots of its members, then the circles they name, then the
    // nodes and the circles that gather the relation nodes leaving them,
    // then the nodes' texts. A name registered meanwhile is missed, and a
    // look-up of a reference finds nothing: prefetches only.
    const auto slot = [this](int row) -> RowAhead& { return m_ahead[static_cast<size_t>(row) % m_ahead.size()]; };
    if (i + kRecordsAhead < n) {
        const InteractionRecord& r = Record(i + kRecordsAhead);
        __builtin_prefetch(&r.member1);
        __builtin_prefetch(&r.member2);
    }
    if (i + kMembersAhead < n) {
        const InteractionRecord& r = Record(i + kMembersAhead);
        __builtin_prefetch(r.member1.data());
        __builtin_prefetch(r.member2.data());
    }
    if (i + kSlotsAhead < n) {
        RowAhead& a = slot(i + kSlotsAhead);
        const InteractionRecord& r = Record(i + kSlotsAhead);
        a.hash[0] = CNameSlots::Hash(r.member1);
        a.hash[1] = CNameSlots::Hash(r.member2);
        for (const std::uint32_t h : a.hash) {
            m_firstEntryOfName.Prefetch(h);
            m_graph.PrefetchNameSlot(h);  // where a new member is registered
        }
    }
    if (i + kCirclesAhead < n) {
        RowAhead& a = slot(i + kCirclesAhead);
        const InteractionRecord& r = Record(i + kCirclesAhead);
        const std::string* members[2] = {&r.member1, &r.member2};
        for (int m = 0; m < 2; ++m) {
            const IndexedName* found = m_firstEntryOfName.Guess(*members[m], a.hash[m]);
            a.circle[m] = found && found->pos.circle > 0 ? m_graph.GetCircle(found->pos.circle) : nullptr;
            a.index[m] = found ? found->pos.index : 0;
            a.entry[m] = found && CShortNameTable<IndexedName>::IsLong(*members[m]) ? found->entry : kNoEntry;
            if (a.circle[m]) {
                __builtin_prefetch(a.circle[m]);
                __builtin_prefetch(reinterpret_cast<const char*>(a.circle[m]) + 64);
            }
            if (a.entry[m] < m_graph.m_lstNameIndex.size()) {
                __builtin_prefetch(&m_graph.m_lstNameIndex[a.entry[m]]);  // the look-up compares a long name in full
            }
        }
    }
    if (i + kNodesAhead < n) {
        RowAhead& a = slot(i + kNodesAhead);
        for (int m = 0; m < 2; ++m) {
            const CCircleData* c = a.circle[m];
            if (!c) {
                continue;
            }
            if (a.index[m] > 0 && static_cast<size_t>(a.index[m]) < c->m_lstMolecules.size()) {
                const MoleculeRecord* node = &c->m_lstMolecules[static_cast<size_t>(a.index[m])];
                __builtin_prefetch(node);
                __builtin_prefetch(reinterpret_cast<const char*>(node) + 64);
            }
            if (a.entry[m] < m_graph.m_lstNameIndex.size()) {
                __builtin_prefetch(m_graph.m_lstNameIndex[a.entry[m]].data());
            }
            for (const int gather : {c->interact, c->mod_circle}) {
                if (const CCircleData* g = m_graph.GetCircle(gather)) {
                    __builtin_prefetch(g);
                }
            }
        }
    }
    if (i + kTextsAhead < n) {
        RowAhead& a = slot(i + kTextsAhead);
        for (int m = 0; m < 2; ++m) {
            const CCircleData* c = a.circle[m];
            if (c && a.index[m] >= 0 && static_cast<size_t>(a.index[m]) < c->m_lstMolecules.size()) {
                const MoleculeRecord& node = c->m_lstMolecules[static_cast<size_t>(a.index[m])];
                __builtin_prefetch(node.name.data());
                __builtin_prefetch(node.links.data());
            }
        }
    }
}

bool CSphereBuilder::LookUpMember(const std::string& member, int j, NodePos& pos) const {
    if (j >= 0) {
        if (!IsBuilt(j)) {
            return false;
        }
        pos = BuiltPosition(j);
        return true;
    }
    // The graph's index matches a position-shaped name against position
    // texts too; only its own look-up answers those.
    int c = 0, i = 0;
    if (ParsePosition(member, c, i) && member == FormatPosition(c, i)) {
        const std::string text = m_graph.LookUpName(member, 0);
        return !text.empty() && ParsePosition(text, pos.circle, pos.index);
    }
    const IndexedName* n = m_firstEntryOfName.Find(member, EntryKey());
    if (!n || n->pos.circle == kNotPosition) {
        return false;
    }
    pos = n->pos;
    return true;
}

CSphereBuilder::Frame CSphereBuilder::Begin(int i) {
    // Marked first, so that a reference back to i from here on is a name.
    m_rows[static_cast<size_t>(i)].inProgress = 1;
    const InteractionRecord& r = Record(i);
    Frame f;
    f.i = i;
    f.ref1 = IsReference(r.member1, f.j1);
    f.ref2 = IsReference(r.member2, f.j2);
    const bool has1 = LookUpMember(r.member1, f.ref1 ? f.j1 : -1, f.p1);
    const bool has2 = LookUpMember(r.member2, f.ref2 ? f.j2 : -1, f.p2);
    auto resolve = [&f](int member) { f.order[f.pending++] = member; };
    if (!has1 && has2) {
        f.kase = 'A';
        if (f.ref1) {
            resolve(1);
        }
    } else if (has1 && !has2) {
        f.kase = 'B';
        if (f.ref2) {
            resolve(2);
        }
    } else if (has1 && has2) {
        f.kase = 'C';
    } else {
        f.kase = 'D';
        if (f.ref2) {
            resolve(2);
        }
        if (f.ref1) {
            resolve(1);
        }
    }
    return f;
}

// The recursion of reference members unrolled: a member that names an
// unbuilt interaction pushes that interaction, whose result comes back into
// the member's slot; the effects happen in the order the recursion has.
NodePos CSphereBuilder::BuildFrom(int i) {
    std::vector<Frame> stack;
    stack.push_back(Begin(i));
    for (;;) {
        if (!m_strError.empty()) {
            return kNoPosition;
        }
        Frame& f = stack.back();
        if (f.next < f.pending) {
            const int member = f.order[f.next];
            const int j = member == 1 ? f.j1 : f.j2;
            if (IsBuilt(j)) {
                // Built meanwhile, e.g. while resolving the other member.
                (member == 1 ? f.p1 : f.p2) = BuiltPosition(j);
                ++f.next;
            } else {
                Frame child = Begin(j);
                stack.push_back(child);
            }
            continue;
        }
        const NodePos result = Finish(f);
        stack.pop_back();
        if (stack.empty()) {
            return result;
        }
        Frame& parent = stack.back();
        (parent.order[parent.next] == 1 ? parent.p1 : parent.p2) = result;
        ++parent.next;
    }
}

NodePos CSphereBuilder::Finish(const Frame& f) {
    const InteractionRecord& rec = Record(f.i);
    const std::string& m1 = rec.member1;
    const std::string& m2 = rec.member2;
    const int k = rec.kind;
    NodePos r = kNoPosition;
    m_nCurrent = f.i;
    // The first member acts on a fresh molecule m2 grown from its circle.
    auto actOnNewMolecule = [&](NodePos from) {
        if (IsUndirectedKind(k)) {
            return Attach(from, m2, k);
        }
        const int nc = NewMoleculeCircle(m2, std::string(), from.circle, 0, 1);
        return Link(from, NodePos{nc, 0}, k);
    };
    switch (f.kase) {
        case 'A':
            r = f.ref1 ? Link(f.p1, f.p2, k) : Attach(f.p2, m1, k);
            break;
        case 'B':
            r = f.ref2 ? Link(f.p1, f.p2, k) : actOnNewMolecule(f.p1);
            break;
        case 'C':
            r = Link(f.p1, f.p2, k);
            break;
        default:
            if (f.ref1 && f.ref2) {
                r = Link(f.p1, f.p2, k);
            } else if (f.ref2) {
                r = Attach(f.p2, m1, k);
            } else if (f.ref1) {
                r = actOnNewMolecule(f.p1);
            } else {
                r = NodePos{NewInteractionCircle(f.i, k), 1};
            }
            break;
    }
    m_rows[static_cast<size_t>(f.i)].inProgress = 0;
    if (!m_strError.empty()) {
        return kNoPosition;
    }
    MarkInteractionBuilt(r.circle, r.index, f.i);
    return r;
}

CCircleData& CSphereBuilder::StartCircle() {
    CCircleData& circle = m_graph.AppendEmptyCircle();
    const size_t needed =
        std::max(static_cast<size_t>(std::max(circle.CircleNum, 0)), m_graph.m_lstCircles.size()) + 1;
    if (needed > m_largestNumber.size()) {
        m_largestNumber.resize(needed, -1);
    }
    return circle;
}

int CSphereBuilder::AppendNode(int circle, MoleculeRecord m) {
    CCircleData* c = m_graph.GetCircle(circle);
    if (!c) {
        return -1;
    }
    const int number = m.number;
    m_nameBytes += m.name.size();
    c->m_lstMolecules.push_back(std::move(m));
    if (static_cast<size_t>(circle) >= m_largestNumber.size()) {
        m_largestNumber.resize(static_cast<size_t>(circle) + 1, -1);
    }
    m_largestNumber[circle] = std::max(m_largestNumber[circle], number);
    if (c->m_lstMolecules.size() == 1) {
        NoteFirstNode(static_cast<size_t>(circle));
    }
    return number;
}

int CSphereBuilder::AddMolecule(int circle, MoleculeRecord m) {
    if (!m_graph.GetCircle(circle)) {
        return -1;
    }
    m.number = m_largestNumber[circle] + 1;
    return AppendNode(circle, std::move(m));
}

void CSphereBuilder::Register(const std::string& name, int circle, int index) {
    m_nameBytes += 2 * name.size();  // the index keeps the name in its list and in its table
    m_graph.RegisterName(name, circle, index, 0);
    const IndexedName n{static_cast<std::uint32_t>(m_graph.m_lstNameIndex.size() - 2), NodePos{circle, index}};
    m_firstEntryOfName.Insert(name, n, EntryKey());
}

void CSphereBuilder::NoteFirstNode(size_t circle) {
    constexpr size_t kQueue = 16;  // insertions some steps behind their prefetch
    const std::uint32_t hash = CNameSlots::Hash(CircleKey()(circle));
    if (!m_circleNameFilter.Roomy()) {
        m_circleNameFilter.Reset(2 * m_circleNameFilter.Capacity());
        for (const std::uint32_t h : m_circleNameHashes) {
            m_circleNameFilter.Add(h);
        }
    }
    m_circleNameFilter.Add(hash);
    m_circleNameHashes.push_back(hash);
    m_firstCircleOfName.Prefetch(hash);
    m_pendingCircles.push_back(PendingCircle{hash, static_cast<std::uint32_t>(circle)});
    if (m_pendingCircles.size() >= 2 * kQueue) {
        InsertPendingCircles(kQueue);
    }
}

void CSphereBuilder::InsertPendingCircles(size_t count) {
    count = std::min(count, m_pendingCircles.size());
    for (size_t k = 0; k < count; ++k) {
        const PendingCircle& p = m_pendingCircles[k];
        m_firstCircleOfName.Insert(CircleKey()(p.circle), p.hash, p.circle, CircleKey());
    }
    m_pendingCircles.erase(m_pendingCircles.begin(), m_pendingCircles.begin() + static_cast<std::ptrdiff_t>(count));
}

bool CSphereBuilder::FindFirstNode(const std::string& name, NodePos& pos) {
    const std::uint32_t hash = CNameSlots::Hash(name);
    if (!m_circleNameFilter.MayHold(hash)) {
        return false;
    }
    InsertPendingCircles(m_pendingCircles.size());
    const size_t c = m_firstCircleOfName.Find(name, hash, CircleKey());
    if (c == CNameSlots::npos) {
        return false;
    }
    pos = NodePos{static_cast<int>(c), 0};
    return true;
}

int CSphereBuilder::NewInteractionCircle(int i, int kind) {
    if (i < 0 || i >= static_cast<int>(m_store.m_pInteractions.size())) {
        return 0;
    }
    const std::string& m1 = Record(i).member1;
    const std::string& m2 = Record(i).member2;
    if (!NamesFit(UndirectedNameLength(m1, m2, kind), m1.size() + m2.size())) {
        return 0;
    }
    const bool undirected = IsUndirectedKind(kind);
    CCircleData& circle = StartCircle();
    const int cn = circle.CircleNum;
    circle.circle_type = 0;
    circle.base_circle = cn;

    MoleculeRecord first;
    first.number = 0;
    first.name = m1;
    first.size = 1;
    first.links = LinkEntryText(cn, 1, kind, 1);
    first.left.circle = -1;
    first.right.circle = -1;
    AppendNode(cn, std::move(first));

    MoleculeRecord relation;
    relation.number = 1;
    relation.name = UndirectedRelationName(m1, m2, kind);
    relation.size = 0;
    if (!undirected) {
        relation.links = LinkEntryText(cn, 2, kind, 1);
    }
    relation.left = NodePos{cn, 0};
    relation.right = NodePos{cn, 2};
    relation.relation = kind;
    AppendNode(cn, std::move(relation));

    MoleculeRecord second;
    second.number = 2;
    second.name = m2;
    second.size = 1;
    if (undirected) {
        second.links = LinkEntryText(cn, 1, kind, 1);
    }
    second.left.circle = -1;
    second.right.circle = -1;
    second.relation = kind;
    AppendNode(cn, std::move(second));

    Register(m1, cn, 0);
    Register(m2, cn, 2);
    return cn;
}

int CSphereBuilder::NewMoleculeCircle(const std::string& name, const std::string& links, int base, int kind,
                                      int size) {
    CCircleData& circle = StartCircle();
    const int cn = circle.CircleNum;
    circle.base_circle = base != 0 ? base : cn;
    circle.circle_type = CircleTypeOf(kind);
    MoleculeRecord m;
    m.number = 0;
    m.name = name;
    m.size = size;
    m.links = links;
    AppendNode(cn, std::move(m));
    Register(name, cn, 0);
    return cn;
}

std::string CSphereBuilder::AttachMolecule(int circle, int index, const std::string& name, int kind) {
    return PositionText(Attach(NodePos{circle, index}, name, kind));
}

NodePos CSphereBuilder::Attach(NodePos at, const std::string& name, int k) {
    const int C = at.circle;
    const int I = at.index;
    const MoleculeRecord* existing = m_graph.GetMolecule(C, I);
    if (!existing) {
        return kNoPosition;
    }
    const std::string en = existing->name;
    if (!NamesFit(IsUndirectedKind(k) ? UndirectedNameLength(en, name, k) : DirectedNameLength(en, name),
                  name.size())) {
        return kNoPosition;
    }

    if (IsUndirectedKind(k)) {
        // The new molecule and the relation node join the existing circle.
        const int n = m_graph.GetCircle(C)->m_lstMolecules.back().number + 1;
        MoleculeRecord molecule;
        molecule.number = n;
        molecule.name = name;
        molecule.size = 1;
        molecule.links = LinkEntryText(C, n + 1, k, 1);
        AppendNode(C, std::move(molecule));
        Register(name, C, n);

        MoleculeRecord relation;
        relation.number = n + 1;
        relation.name = UndirectedRelationName(en, name, k);
        relation.size = 0;
        AppendNode(C, std::move(relation));
        SetRelationNode(C, n + 1, C, I, C, n, k);
        AddLinkEntry(m_graph.GetMolecule(C, I)->links, C, n + 1, k, 1);
        return NodePos{C, n + 1};
    }

    // The new molecule acts on the existing node.
    const std::string relName = DirectedRelationName(en, name);
    const std::string relLinks = LinkEntryText(C, I, k, 0);
    NodePos relPos;
    NodePos molPos;
    const int mc = m_graph.GetCircle(C)->mod_circle;
    if (k == kCovalentModification && mc != 0 && m_graph.GetCircle(mc)) {
        // Modified before: the relation node joins the modification circle
        // and the modifier joins that circle's partner.
        MoleculeRecord relation;
        relation.name = relName;
        relation.links = relLinks;
        relation.size = 0;
        const int ri = AddMolecule(mc, std::move(relation));
        relPos = NodePos{mc, ri};
        const int mc2 = m_graph.GetCircle(mc)->mod_circle;
        if (mc2 != 0 && m_graph.GetCircle(mc2)) {
            MoleculeRecord molecule;
            molecule.name = name;
            molecule.links = LinkEntryText(mc, ri, k, 1);
            molecule.size = 1;
            molPos = NodePos{mc2, AddMolecule(mc2, std::move(molecule))};
        } else {
            // The modification circle has no partner yet (a relation node
            // reached through a reference was modified): give the modifier
            // a circle of its own and make it the partner.
            const int nc = NewMoleculeCircle(name, LinkEntryText(mc, ri, kCovalentModification, 1), 0, 0, 1);
            m_graph.GetCircle(mc)->mod_circle = nc;
            molPos = NodePos{nc, 0};
        }
    } else {
        // The molecule's link names the relation circle made right after it.
        const int nc = NewMoleculeCircle(name, LinkEntryText(m_graph.m_circle_count + 1, 0, k, 1), 0, 0, 1);
        const int rc = NewMoleculeCircle(relName, relLinks, nc, k, 0);
        if (k == kCovalentModification && m_graph.GetCircle(C)->mod_circle == 0) {
            m_graph.GetCircle(C)->mod_circle = rc;
            m_graph.GetCircle(rc)->mod_circle = nc;
        }
        relPos = NodePos{rc, 0};
        molPos = NodePos{nc, 0};
    }
    Register(name, molPos.circle, molPos.index);
    SetRelationNode(relPos.circle, relPos.index, molPos.circle, molPos.index, C, I, k);
    return relPos;
}

std::string CSphereBuilder::LinkNodes(int c1, int i1, int c2, int i2, int kind) {
    return PositionText(Link(NodePos{c1, i1}, NodePos{c2, i2}, kind));
}

NodePos CSphereBuilder::Link(NodePos from, NodePos to, int k) {
    const MoleculeRecord* s = m_graph.GetMolecule(from.circle, from.index);
    const MoleculeRecord* t = m_graph.GetMolecule(to.circle, to.index);
    if (!s || !t) {
        return kNoPosition;
    }
    const bool directed = !IsUndirectedKind(k);
    if (!NamesFit(directed ? DirectedNameLength(s->name, t->name) : UndirectedNameLength(s->name, t->name, k))) {
        return kNoPosition;
    }
    MoleculeRecord relation;
    relation.name =
        directed ? DirectedRelationName(s->name, t->name) : UndirectedRelationName(s->name, t->name, k);
    if (directed) {
        relation.links = LinkEntryText(to.circle, to.index, k, t->size);
    }
    relation.size = 0;

    NodePos present;
    if (FindFirstNode(relation.name, present)) {
        return present;
    }

    const int c1 = from.circle;
    const int c2 = to.circle;
    NodePos r;
    if (c1 == c2) {
        const int number = m_graph.GetCircle(c1)->m_lstMolecules.back().number + 1;
        relation.number = number;
        AppendNode(c1, std::move(relation));
        r = NodePos{c1, number};
    } else if (k == kCovalentModification) {
        // Every modification of the target circle gathers in one circle.
        const int mc = m_graph.GetCircle(c2)->mod_circle;
        if (mc == 0) {
            const int rc = NewMoleculeCircle(relation.name, relation.links, c1, k, 0);
            m_graph.GetCircle(c2)->mod_circle = rc;
            m_graph.GetCircle(rc)->mod_circle = c1;
            r = NodePos{rc, 0};
        } else {
            r = NodePos{mc, AddMolecule(mc, std::move(relation))};
        }
    } else {
        // Interactions leaving the source circle gather in one circle.
        const int ic = m_graph.GetCircle(c1)->interact;
        if (ic == 0) {
            const int rc = NewMoleculeCircle(relation.name, relation.links, c1, k, 0);
            m_graph.GetCircle(c1)->interact = rc;
            r = NodePos{rc, 0};
        } else {
            r = NodePos{ic, AddMolecule(ic, std::move(relation))};
        }
    }
    SetRelationNode(r.circle, r.index, from.circle, from.index, to.circle, to.index, k);

    AddLinkEntry(m_graph.GetMolecule(from.circle, from.index)->links, r.circle, r.index, k, 1);
    if (!directed) {
        // Both members of Bind and of Homo_xmer point at the relation node.
        AddLinkEntry(m_graph.GetMolecule(to.circle, to.index)->links, r.circle, r.index, k, 1);
    }
    return r;
}

void CSphereBuilder::SetRelationNode(int circle, int index, int leftCircle, int leftIndex, int rightCircle,
                                     int rightIndex, int kind) {
    MoleculeRecord* m = m_graph.GetMolecule(circle, index);
    if (!m) {
        return;
    }
    m->left = NodePos{leftCircle, leftIndex};
    m->right = NodePos{rightCircle, rightIndex};
    m->relation = kind;
}

void CSphereBuilder::MarkInteractionBuilt(int circle, int index, int i) {
    if (i < 0 || i >= static_cast<int>(m_store.m_pInteractions.size())) {
        return;
    }
    InteractionRecord& r = m_store.m_pInteractions[i];
    r.built = 1;
    r.nodeCircle = circle;
    r.nodeIndex = index;
    if (static_cast<size_t>(i) < m_rows.size()) {
        m_rows[static_cast<size_t>(i)].built = 1;
        m_rows[static_cast<size_t>(i)].at = NodePos{circle, index};
    }
}

std::unique_ptr<CNode> BuildSphereGraph(CInteractionStore& store, bool& loaded, std::string& error) {
    loaded = store.LoadInteractions();
    store.CollectSpecialTokens();
    return BuildSphereGraphFromArray(store, error);
}

std::unique_ptr<CNode> BuildSphereGraphFromArray(CInteractionStore& store, std::string& error,
                                                 const NameLimits& limits) {
    auto unbuildFrom = [&store](size_t first) {
        for (size_t i = first; i < store.m_pInteractions.size(); ++i) {
            store.m_pInteractions[i].built = 0;
        }
    };
    auto graph = std::make_unique<CNode>(&store);
    // Most interactions add fewer than one new molecule; a denser index
    // keeps more of it in cache, and it grows should names pass that.
    graph->ReserveNames(store.m_pInteractions.size());
    // The build marks every record it counts as it places it, and reads
    // none of their flags: only the records past the count are unbuilt
    // here, sparing a pass over all of them.
    CSphereBuilder builder(*graph, store, limits, CSphereBuilder::Start::Unbuilt);
    unbuildFrom(std::min(static_cast<size_t>(std::max(store.m_nInteractions, 0)), store.m_pInteractions.size()));
    if (!builder.BuildPathway()) {
        error = builder.GetError();
        unbuildFrom(0);
        return nullptr;
    }
    return graph;
}
