#include "CoinNodeNames.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include <Inventor/SbName.h>
#include <Inventor/lists/SoBaseList.h>
#include <Inventor/misc/SoBase.h>
#include <Inventor/nodes/SoInfo.h>

namespace {

// Most names have a single node, kept inline: a heap array only from the
// second on. Lives where it was made (its array may be itself).
class BearerList {
public:
    BearerList() = default;
    BearerList(const BearerList&) = delete;
    BearerList& operator=(const BearerList&) = delete;
    ~BearerList() { Free(); }

    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    SoBase*& operator[](size_t i) { return m_data[i]; }
    SoBase* back() const { return m_data[m_size - 1]; }
    SoBase** begin() const { return m_data; }
    SoBase** end() const { return m_data + m_size; }
    void pop_back() { --m_size; }
    void truncate(size_t size) { m_size = static_cast<std::uint32_t>(size); }
    void push_back(SoBase* node) {
        if (m_size == m_capacity) {
            auto* data = new SoBase*[size_t{m_capacity} * 2];
            std::copy(begin(), end(), data);
            Free();
            m_data = data;
            m_capacity *= 2;
        }
        m_data[m_size++] = node;
    }
    // Empty, and its heap array given back.
    void release() {
        Free();
        m_data = &m_one;
        m_capacity = 1;
        m_size = 0;
    }

private:
    void Free() {
        if (m_data != &m_one) {
            delete[] m_data;
        }
    }
    SoBase* m_one = nullptr;
    SoBase** m_data = &m_one;
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 1;
};

struct NodeNames {
    std::mutex mutex;

    struct Bearers;
    // Node to name: open addressing, linear probing, no tombstones.
    struct Slot {
        const SoBase* node = nullptr;
        const char* name = nullptr;  // as addName was given it: the key of its bearers
        Bearers* bearers = nullptr;
        std::uint32_t place = 0;  // where the node stands among them
    };
    std::vector<Slot> slots;
    size_t count = 0;
    unsigned shift = 64;

    // Name to its bearers in the order they were named. A node taken out
    // leaves a hole until holes are the majority; the last entry is never
    // a hole, since a search by name takes the last bearer.
    struct Bearers {
        BearerList nodes;
        size_t holes = 0;
    };
    // Name to its bearers, keyed by address as Coin compares names: equal
    // names share one. Open addressing again: most names have one node, and
    // a map node per name would cost an allocation and a second cache miss.
    // Entries stay when their last node goes, as Coin's do: a name comes
    // back with the next scene, and slots point into the pool.
    struct NameSlot {
        const char* name = nullptr;
        Bearers* bearers = nullptr;
    };
    std::vector<NameSlot> nameSlots;
    size_t nameCount = 0;
    unsigned nameShift = 64;
    std::deque<Bearers> pool;
    // Runs of nodes get the same name (every sphere's material).
    const char* lastName = nullptr;
    Bearers* lastBearers = nullptr;

    // SoBase::removeName forgets the node's name before it takes the node
    // out of its bearers: where it stood is kept for that one call.
    Slot forgotten;
};

// Never destroyed: Coin names and unnames nodes until the process ends.
NodeNames& Names() {
    static NodeNames* names = new NodeNames;
    return *names;
}

size_t Home(const void* key, unsigned shift) {
    const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key));
    return static_cast<size_t>((address * 0x9E3779B97F4A7C15ull) >> shift);
}

size_t Home(const NodeNames& t, const SoBase* node) { return Home(node, t.shift); }

// The shift that maps a 64-bit hash onto `size` (a power of two) slots.
unsigned ShiftFor(size_t size) {
    unsigned shift = 64;
    for (size_t s = size; s > 1; s >>= 1) {
        --shift;
    }
    return shift;
}

NodeNames::Bearers* FindBearers(const NodeNames& t, const char* name) {
    if (t.nameSlots.empty()) {
        return nullptr;
    }
    const size_t mask = t.nameSlots.size() - 1;
    for (size_t i = Home(name, t.nameShift);; i = (i + 1) & mask) {
        if (t.nameSlots[i].name == name) {
            return t.nameSlots[i].bearers;
        }
        if (!t.nameSlots[i].name) {
            return nullptr;
        }
    }
}

void PlaceName(NodeNames& t, const NodeNames::NameSlot& slot) {
    const size_t mask = t.nameSlots.size() - 1;
    size_t i = Home(slot.name, t.nameShift);
    while (t.nameSlots[i].name) {
        i = (i + 1) & mask;
    }
    t.nameSlots[i] = slot;
}

NodeNames::Bearers& BearersOf(NodeNames& t, const char* name) {
    if (NodeNames::Bearers* found = FindBearers(t, name)) {
        return *found;
    }
    if ((t.nameCount + 1) * 2 > t.nameSlots.size()) {
        std::vector<NodeNames::NameSlot> old;
        old.swap(t.nameSlots);
        t.nameSlots.assign(old.empty() ? 4096 : old.size() * 2, NodeNames::NameSlot());
        t.nameShift = ShiftFor(t.nameSlots.size());
        for (const NodeNames::NameSlot& slot : old) {
            if (slot.name) {
                PlaceName(t, slot);
            }
        }
    }
    t.pool.emplace_back();
    PlaceName(t, {name, &t.pool.back()});
    ++t.nameCount;
    return t.pool.back();
}

NodeNames::Slot* FindSlot(NodeNames& t, const SoBase* node) {
    if (t.slots.empty()) {
        return nullptr;
    }
    const size_t mask = t.slots.size() - 1;
    for (size_t i = Home(t, node);; i = (i + 1) & mask) {
        if (t.slots[i].node == node) {
            return &t.slots[i];
        }
        if (!t.slots[i].node) {
            return nullptr;
        }
    }
}

void Insert(NodeNames& t, const NodeNames::Slot& slot) {
    const size_t mask = t.slots.size() - 1;
    size_t i = Home(t, slot.node);
    while (t.slots[i].node) {
        i = (i + 1) & mask;
    }
    t.slots[i] = slot;
}

void Grow(NodeNames& t) {
    std::vector<NodeNames::Slot> old;
    old.swap(t.slots);
    const size_t size = old.empty() ? 4096 : old.size() * 2;
    t.slots.assign(size, NodeNames::Slot());
    t.shift = ShiftFor(size);
    for (const NodeNames::Slot& slot : old) {
        if (slot.node) {
            Insert(t, slot);
        }
    }
}

void Erase(NodeNames& t, NodeNames::Slot* slot) {
    // Backward shift: later entries of the probe run move up into the gap
    // unless that would put them before their home.
    const size_t mask = t.slots.size() - 1;
    size_t gap = static_cast<size_t>(slot - t.slots.data());
    for (size_t j = (gap + 1) & mask; t.slots[j].node; j = (j + 1) & mask) {
        const size_t home = Home(t, t.slots[j].node);
        if (((j - home) & mask) >= ((j - gap) & mask)) {
            t.slots[gap] = t.slots[j];
            gap = j;
        }
    }
    t.slots[gap] = NodeNames::Slot();
    --t.count;
}

void Pack(NodeNames& t, NodeNames::Bearers& bearers) {
    size_t kept = 0;
    for (size_t k = 0; k < bearers.nodes.size(); ++k) {
        SoBase* node = bearers.nodes[k];
        if (!node) {
            continue;
        }
        if (kept != k) {
            NodeNames::Slot* slot = FindSlot(t, node);
            if (slot && slot->bearers == &bearers && slot->place == k) {
                slot->place = static_cast<std::uint32_t>(kept);
            }
            bearers.nodes[kept] = node;
        }
        ++kept;
    }
    bearers.nodes.truncate(kept);
    bearers.holes = 0;
}

bool HoldsOwnPlace(const NodeNames::Slot& slot, const SoBase* node, const char* name) {
    return slot.node == node && slot.name == name && slot.bearers && slot.place < slot.bearers->nodes.size() &&
           slot.bearers->nodes[slot.place] == node;
}

}  // namespace

// Defined under their linker names: the two removals are private to Coin,
// and defining the virtual SoBase::getName as a member would make this file
// emit SoBase's virtual table, which would then stand in for Coin's. A free
// function with the object first is called as the const member is.
void TwRemoveName2Obj(SoBase* base, const char* name) __asm__("_ZN6SoBase5PImpl14removeName2ObjEPS_PKc");
void TwRemoveObj2Name(SoBase* base, const char* name) __asm__("_ZN6SoBase5PImpl14removeObj2NameEPS_PKc");
SbName TwGetName(const SoBase* base) __asm__("_ZNK6SoBase7getNameEv");

void SoBase::addName(SoBase* const base, const char* const name) {
    if (!base || !name) {
        return;
    }
    NodeNames& t = Names();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (t.lastName != name) {
        t.lastBearers = &BearersOf(t, name);
        t.lastName = name;
    }
    NodeNames::Bearers& bearers = *t.lastBearers;
    bearers.nodes.push_back(base);
    const NodeNames::Slot named{base, name, &bearers, static_cast<std::uint32_t>(bearers.nodes.size() - 1)};
    if (NodeNames::Slot* slot = FindSlot(t, base)) {
        // Named again without being unnamed: the node answers to the new
        // name, and a removal from this name takes its first place.
        if (!HoldsOwnPlace(*slot, base, name)) {
            *slot = named;
        }
        return;
    }
    if ((t.count + 1) * 10 > t.slots.size() * 7) {
        Grow(t);
    }
    Insert(t, named);
    ++t.count;
}

void TwRemoveName2Obj(SoBase* base, const char* name) {
    NodeNames& t = Names();
    std::lock_guard<std::mutex> lock(t.mutex);
    const NodeNames::Slot* slot = FindSlot(t, base);
    NodeNames::Bearers* bearers = nullptr;
    size_t at = 0;
    if (slot && HoldsOwnPlace(*slot, base, name)) {
        bearers = slot->bearers;
        at = slot->place;
    } else if (HoldsOwnPlace(t.forgotten, base, name)) {
        bearers = t.forgotten.bearers;
        at = t.forgotten.place;
    } else {
        // Named twice over, or unnamed behind our back: its first place.
        bearers = FindBearers(t, name);
        if (bearers) {
            at = static_cast<size_t>(std::find(bearers->nodes.begin(), bearers->nodes.end(), base) -
                                     bearers->nodes.begin());
        }
    }
    t.forgotten = NodeNames::Slot();
    if (!bearers || at == bearers->nodes.size()) {
        return;
    }
    bearers->nodes[at] = nullptr;
    ++bearers->holes;
    while (!bearers->nodes.empty() && !bearers->nodes.back()) {
        bearers->nodes.pop_back();
        --bearers->holes;
    }
    if (bearers->nodes.empty()) {
        bearers->nodes.release();
    } else if (bearers->holes > 16 && bearers->holes * 2 > bearers->nodes.size()) {
        Pack(t, *bearers);
    }
}

void TwRemoveObj2Name(SoBase* base, const char* /*name*/) {
    NodeNames& t = Names();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (NodeNames::Slot* slot = FindSlot(t, base)) {
        t.forgotten = *slot;
        Erase(t, slot);
    }
}

SbName TwGetName(const SoBase* base) {
    NodeNames& t = Names();
    const char* name = nullptr;
    {
        std::lock_guard<std::mutex> lock(t.mutex);
        if (const NodeNames::Slot* slot = FindSlot(t, base)) {
            name = slot->name;
        }
    }
    return name ? SbName(name) : SbName();
}

SoBase* SoBase::getNamedBase(const SbName& name, SoType type) {
    NodeNames& t = Names();
    std::lock_guard<std::mutex> lock(t.mutex);
    const NodeNames::Bearers* bearers = FindBearers(t, name.getString());
    if (!bearers || bearers->nodes.empty()) {
        return nullptr;
    }
    // Only the last bearer counts, as in Coin: an older one of the right
    // type behind a newer one of another type is not found.
    SoBase* last = bearers->nodes.back();
    return last->isOfType(type) ? last : nullptr;
}

int SoBase::getNamedBases(const SbName& name, SoBaseList& baselist, SoType type) {
    NodeNames& t = Names();
    std::lock_guard<std::mutex> lock(t.mutex);
    const NodeNames::Bearers* bearers = FindBearers(t, name.getString());
    int found = 0;
    if (!bearers) {
        return found;
    }
    for (SoBase* node : bearers->nodes) {
        if (node && node->isOfType(type)) {
            baselist.append(node);
            ++found;
        }
    }
    return found;
}

void InstallSceneNodeNames() { Names(); }

bool IsSceneNodeNamesActive() {
    // Needs SoDB::init: a node named through Coin shows up in our table.
    SoInfo* probe = new SoInfo;
    probe->ref();
    probe->setName("tarnwick_node_names_probe");
    bool active = false;
    {
        NodeNames& t = Names();
        std::lock_guard<std::mutex> lock(t.mutex);
        active = FindSlot(t, probe) != nullptr;
    }
    probe->unref();
    return active;
}
