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

// Slots found by an address they hold (the member `Key`): open addressing,
// linear probing, backward-shift deletion, so no tombstones; a null key is
// a free slot. Kept under 70 % full.
template <class Slot, auto Key>
class AddressTable {
public:
    Slot* Find(const void* key) {
        if (m_slots.empty()) {
            return nullptr;
        }
        const size_t mask = m_slots.size() - 1;
        for (size_t i = Home(key);; i = (i + 1) & mask) {
            if (m_slots[i].*Key == key) {
                return &m_slots[i];
            }
            if (!(m_slots[i].*Key)) {
                return nullptr;
            }
        }
    }

    // `slot`'s key must not be in the table yet.
    Slot& Add(const Slot& slot) {
        if ((m_count + 1) * 10 > m_slots.size() * 7) {
            Grow();
        }
        ++m_count;
        return Place(slot);
    }

    void Erase(Slot* slot) {
        // Later entries of the probe run move up into the gap unless that
        // would put them before their home.
        const size_t mask = m_slots.size() - 1;
        size_t gap = static_cast<size_t>(slot - m_slots.data());
        for (size_t j = (gap + 1) & mask; m_slots[j].*Key; j = (j + 1) & mask) {
            const size_t home = Home(m_slots[j].*Key);
            if (((j - home) & mask) >= ((j - gap) & mask)) {
                m_slots[gap] = m_slots[j];
                gap = j;
            }
        }
        m_slots[gap] = Slot();
        --m_count;
    }

private:
    size_t Home(const void* key) const {
        const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key));
        return static_cast<size_t>((address * 0x9E3779B97F4A7C15ull) >> m_shift);
    }

    Slot& Place(const Slot& slot) {
        const size_t mask = m_slots.size() - 1;
        size_t i = Home(slot.*Key);
        while (m_slots[i].*Key) {
            i = (i + 1) & mask;
        }
        m_slots[i] = slot;
        return m_slots[i];
    }

    void Grow() {
        std::vector<Slot> old;
        old.swap(m_slots);
        m_slots.assign(old.empty() ? 4096 : old.size() * 2, Slot());
        m_shift = 64;
        for (size_t s = m_slots.size(); s > 1; s >>= 1) {
            --m_shift;
        }
        for (const Slot& slot : old) {
            if (slot.*Key) {
                Place(slot);
            }
        }
    }

    std::vector<Slot> m_slots;
    size_t m_count = 0;
    unsigned m_shift = 64;
};

struct NodeNames {
    std::mutex mutex;

    struct Bearers;
    // Node to name.
    struct Slot {
        const SoBase* node = nullptr;
        const char* name = nullptr;  // as addName was given it: the key of its bearers
        Bearers* bearers = nullptr;
        std::uint32_t place = 0;  // where the node stands among them
    };
    AddressTable<Slot, &Slot::node> byNode;

    // Name to its bearers in the order they were named. A node taken out
    // leaves a hole until holes are the majority; the last entry is never
    // a hole, since a search by name takes the last bearer.
    struct Bearers {
        BearerList nodes;
        size_t holes = 0;
    };
    // Name to its bearers, keyed by address as Coin compares names: equal
    // names share one. Most names have one node, and a map node per name
    // would cost an allocation and a second cache miss. Entries stay when
    // their last node goes, as Coin's do: a name comes back with the next
    // scene, and slots point into the pool.
    struct NameSlot {
        const char* name = nullptr;
        Bearers* bearers = nullptr;
    };
    AddressTable<NameSlot, &NameSlot::name> byName;
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

NodeNames::Bearers* FindBearers(NodeNames& t, const char* name) {
    const NodeNames::NameSlot* slot = t.byName.Find(name);
    return slot ? slot->bearers : nullptr;
}

NodeNames::Bearers& BearersOf(NodeNames& t, const char* name) {
    if (NodeNames::Bearers* found = FindBearers(t, name)) {
        return *found;
    }
    t.pool.emplace_back();
    return *t.byName.Add({name, &t.pool.back()}).bearers;
}

void Pack(NodeNames& t, NodeNames::Bearers& bearers) {
    size_t kept = 0;
    for (size_t k = 0; k < bearers.nodes.size(); ++k) {
        SoBase* node = bearers.nodes[k];
        if (!node) {
            continue;
        }
        if (kept != k) {
            NodeNames::Slot* slot = t.byNode.Find(node);
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
    if (NodeNames::Slot* slot = t.byNode.Find(base)) {
        // Named again without being unnamed: the node answers to the new
        // name, and a removal from this name takes its first place.
        if (!HoldsOwnPlace(*slot, base, name)) {
            *slot = named;
        }
        return;
    }
    t.byNode.Add(named);
}

void TwRemoveName2Obj(SoBase* base, const char* name) {
    NodeNames& t = Names();
    std::lock_guard<std::mutex> lock(t.mutex);
    const NodeNames::Slot* slot = t.byNode.Find(base);
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
    if (NodeNames::Slot* slot = t.byNode.Find(base)) {
        t.forgotten = *slot;
        t.byNode.Erase(slot);
    }
}

SbName TwGetName(const SoBase* base) {
    NodeNames& t = Names();
    const char* name = nullptr;
    {
        std::lock_guard<std::mutex> lock(t.mutex);
        if (const NodeNames::Slot* slot = t.byNode.Find(base)) {
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
        active = t.byNode.Find(probe) != nullptr;
    }
    probe->unref();
    return active;
}
