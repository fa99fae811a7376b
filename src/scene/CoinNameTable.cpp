#include "CoinNameTable.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include <Inventor/SbName.h>
#include <Inventor/lists/SoBaseList.h>
#include <Inventor/misc/SoBase.h>
#include <Inventor/nodes/SoInfo.h>

namespace {

// The names live back to back, each ended by its NUL, in chunks that are
// never moved or freed: a string per name would cost a heap block and a
// string object for each of some million names. Inside a chunk, an address
// that follows a NUL (or the chunk's start) is the start of a stored name,
// so an address the table handed out is recognised without hashing its
// text; SoBase::getName and every SbName copy made from getString() ask
// with exactly such an address.
struct Chunk {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;
    size_t used = 0;
};

constexpr size_t kChunkSize = size_t{1} << 20;

struct NameTable {
    std::mutex mutex;
    std::vector<std::unique_ptr<Chunk>> chunks;  // in order of address
    Chunk* filling = nullptr;                    // where new names go
    // Open addressing; a null name is free. The hash sits beside its name:
    // with a million names each probe is a cache miss, and one will do.
    struct Slot {
        const char* name = nullptr;
        std::uint32_t hash = 0;
    };
    std::vector<Slot> slots;
    size_t count = 0;
    // Coin asks again and again for the same few names from the same
    // literals (enum values, field names, ""): remember the answer per
    // caller address, checked against the text since a buffer may change.
    struct Recent {
        const char* key = nullptr;
        const char* value = nullptr;
    };
    std::array<Recent, 1024> recent{};
};

// Never destroyed: Coin may intern names until the very end of the process.
NameTable& Table() {
    static NameTable* table = new NameTable;
    return *table;
}

size_t Slot(const char* str, size_t slots) {
    const auto address = reinterpret_cast<std::uintptr_t>(str);
    return static_cast<size_t>(address ^ (address >> 10)) % slots;
}

std::uint32_t Hash(std::string_view text) {
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (char c : text) {
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return h;
}

bool ChunkBefore(const char* p, const std::unique_ptr<Chunk>& c) { return p < c->bytes.get(); }

bool IsStoredName(const NameTable& table, const char* str) {
    auto after = std::upper_bound(table.chunks.begin(), table.chunks.end(), str, ChunkBefore);
    if (after == table.chunks.begin()) {
        return false;
    }
    const Chunk& chunk = **(after - 1);
    const char* begin = chunk.bytes.get();
    return str < begin + chunk.used && (str == begin || str[-1] == '\0');
}

const char* Store(NameTable& table, std::string_view text) {
    const size_t need = text.size() + 1;
    Chunk* chunk = table.filling;
    if (!chunk || chunk->size - chunk->used < need) {
        auto fresh = std::make_unique<Chunk>();
        fresh->size = std::max(kChunkSize, need);
        fresh->bytes.reset(new char[fresh->size]);
        chunk = fresh.get();
        // A name longer than a chunk gets one of its own; the others keep filling theirs.
        if (fresh->size == kChunkSize) {
            table.filling = chunk;
        }
        auto at = std::upper_bound(table.chunks.begin(), table.chunks.end(), chunk->bytes.get(), ChunkBefore);
        table.chunks.insert(at, std::move(fresh));
    }
    char* at = chunk->bytes.get() + chunk->used;
    std::memcpy(at, text.data(), text.size());
    at[text.size()] = '\0';
    chunk->used += need;
    return at;
}

void Grow(NameTable& table) {
    const size_t size = table.slots.empty() ? 4096 : table.slots.size() * 2;
    std::vector<NameTable::Slot> slots(size);
    for (const NameTable::Slot& slot : table.slots) {
        if (slot.name) {
            size_t j = slot.hash & (size - 1);
            while (slots[j].name) {
                j = (j + 1) & (size - 1);
            }
            slots[j] = slot;
        }
    }
    table.slots.swap(slots);
}

const char* Find(NameTable& table, const char* str, bool add) {
    std::lock_guard<std::mutex> lock(table.mutex);
    NameTable::Recent& recent = table.recent[Slot(str, table.recent.size())];
    if (recent.key == str && std::strcmp(recent.value, str) == 0) {
        return recent.value;
    }
    if (IsStoredName(table, str)) {
        return str;
    }
    if ((table.count + 1) * 2 > table.slots.size()) {
        Grow(table);
    }
    const std::string_view text(str);
    const std::uint32_t hash = Hash(text);
    const size_t mask = table.slots.size() - 1;
    size_t i = hash & mask;
    for (; table.slots[i].name; i = (i + 1) & mask) {
        if (table.slots[i].hash == hash && text == table.slots[i].name) {
            recent = {str, table.slots[i].name};
            return table.slots[i].name;
        }
    }
    if (!add) {
        return nullptr;
    }
    const char* stored = Store(table, text);
    table.slots[i] = {stored, hash};
    ++table.count;
    recent = {str, stored};
    return stored;
}

// Which node bears which name, both ways: what Coin's SoBase keeps in two
// chained hash tables behind a mutex each, where filing one name costs
// several cache misses and a list on the heap.
struct NameFiling {
    std::mutex mutex;
    // Node -> name; open addressing, a null node is free.
    struct NodeSlot {
        const SoBase* node = nullptr;
        const char* name = nullptr;
    };
    std::vector<NodeSlot> nodes;
    size_t nodeCount = 0;
    // Name -> the nodes filed under it, oldest first; most names have one.
    struct Bearers {
        const char* name = nullptr;
        SoBase* one = nullptr;                              // the only bearer, unless `many`
        std::unique_ptr<std::vector<SoBase*>> many;         // all of them once there were two
    };
    std::vector<Bearers> names;
    size_t nameCount = 0;
};

NameFiling& Filing() {
    static NameFiling* filing = new NameFiling;
    return *filing;
}

size_t PointerSlot(const void* p, size_t mask) {
    return static_cast<size_t>((reinterpret_cast<std::uintptr_t>(p) * 0x9E3779B97F4A7C15ull) >> 20) & mask;
}

// The slot of `key` in an open-addressed table, or the free slot where it would go.
template <class Slot, class Key>
size_t Probe(const std::vector<Slot>& slots, const Key* key, const Key* Slot::*field) {
    const size_t mask = slots.size() - 1;
    size_t i = PointerSlot(key, mask);
    while (slots[i].*field && slots[i].*field != key) {
        i = (i + 1) & mask;
    }
    return i;
}

// Doubles a table that is getting full, moving each entry to its new slot.
template <class Slot, class Key>
void MakeRoom(std::vector<Slot>& slots, size_t count, const Key* Slot::*field) {
    if (!slots.empty() && (count + 1) * 3 < slots.size() * 2) {
        return;
    }
    std::vector<Slot> old(slots.empty() ? 4096 : slots.size() * 2);
    old.swap(slots);
    for (Slot& slot : old) {
        if (slot.*field) {
            slots[Probe(slots, slot.*field, field)] = std::move(slot);
        }
    }
}

NameFiling::Bearers* BearersOf(NameFiling& filing, const char* name) {
    if (filing.names.empty()) {
        return nullptr;
    }
    NameFiling::Bearers& slot = filing.names[Probe(filing.names, name, &NameFiling::Bearers::name)];
    return slot.name ? &slot : nullptr;
}

const char* Interned(const char* name) { return SbName(name).getString(); }

}  // namespace

// Coin files and looks up node names only through these functions (and its
// class set-up, which merely creates its tables); calls from inside Coin
// reach them through its procedure linkage table or the virtual getName,
// so the definitions below replace Coin's own. Names are filed by their
// interned address, as Coin does; the order of a name's bearers and which
// of them a look-up returns are Coin's.
void SoBase::addName(SoBase* const base, const char* const name) {
    const char* key = Interned(name);
    NameFiling& filing = Filing();
    std::lock_guard<std::mutex> lock(filing.mutex);
    MakeRoom(filing.names, filing.nameCount, &NameFiling::Bearers::name);
    NameFiling::Bearers& bearers = filing.names[Probe(filing.names, key, &NameFiling::Bearers::name)];
    if (!bearers.name) {
        bearers.name = key;
        ++filing.nameCount;
    }
    if (bearers.many) {
        bearers.many->push_back(base);
    } else if (bearers.one) {
        bearers.many = std::make_unique<std::vector<SoBase*>>(std::vector<SoBase*>{bearers.one, base});
        bearers.one = nullptr;
    } else {
        bearers.one = base;
    }
    // A node named again keeps only its newest name.
    MakeRoom(filing.nodes, filing.nodeCount, &NameFiling::NodeSlot::node);
    NameFiling::NodeSlot& slot = filing.nodes[Probe(filing.nodes, static_cast<const SoBase*>(base),
                                                    &NameFiling::NodeSlot::node)];
    if (!slot.node) {
        slot.node = base;
        ++filing.nodeCount;
    }
    slot.name = key;
}

SbName SoBase::getName() const {
    NameFiling& filing = Filing();
    const char* name = "";
    {
        std::lock_guard<std::mutex> lock(filing.mutex);
        if (!filing.nodes.empty()) {
            const NameFiling::NodeSlot& slot =
                filing.nodes[Probe(filing.nodes, static_cast<const SoBase*>(this), &NameFiling::NodeSlot::node)];
            if (slot.node) {
                name = slot.name;
            }
        }
    }
    return SbName(name);
}

SoBase* SoBase::getNamedBase(const SbName& name, SoType type) {
    NameFiling& filing = Filing();
    std::lock_guard<std::mutex> lock(filing.mutex);
    const NameFiling::Bearers* bearers = BearersOf(filing, name.getString());
    SoBase* last = nullptr;
    if (bearers && bearers->many) {
        last = bearers->many->empty() ? nullptr : bearers->many->back();
    } else if (bearers) {
        last = bearers->one;
    }
    return last && last->isOfType(type) ? last : nullptr;
}

int SoBase::getNamedBases(const SbName& name, SoBaseList& baselist, SoType type) {
    NameFiling& filing = Filing();
    std::lock_guard<std::mutex> lock(filing.mutex);
    const NameFiling::Bearers* bearers = BearersOf(filing, name.getString());
    int found = 0;
    auto add = [&](SoBase* base) {
        if (base->isOfType(type)) {
            baselist.append(base);
            ++found;
        }
    };
    if (bearers && bearers->many) {
        for (SoBase* base : *bearers->many) {
            add(base);
        }
    } else if (bearers && bearers->one) {
        add(bearers->one);
    }
    return found;
}

// SoBase::PImpl's two halves of removeName, which SoBase::destroy calls too.
void RemoveNodeFromItsName(SoBase* base, const char* name) asm("_ZN6SoBase5PImpl14removeName2ObjEPS_PKc");
void ForgetNameOfNode(SoBase* base, const char* name) asm("_ZN6SoBase5PImpl14removeObj2NameEPS_PKc");

void RemoveNodeFromItsName(SoBase* base, const char* name) {
    const char* key = Interned(name);
    NameFiling& filing = Filing();
    std::lock_guard<std::mutex> lock(filing.mutex);
    NameFiling::Bearers* bearers = BearersOf(filing, key);
    if (!bearers) {
        return;
    }
    if (!bearers->many) {
        if (bearers->one == base) {
            bearers->one = nullptr;
        }
        return;
    }
    // The first time it was filed under the name.
    std::vector<SoBase*>& many = *bearers->many;
    auto it = std::find(many.begin(), many.end(), base);
    if (it != many.end()) {
        many.erase(it);
    }
}

void ForgetNameOfNode(SoBase* base, const char* /*name*/) {
    NameFiling& filing = Filing();
    std::lock_guard<std::mutex> lock(filing.mutex);
    if (filing.nodes.empty()) {
        return;
    }
    const size_t mask = filing.nodes.size() - 1;
    size_t i = Probe(filing.nodes, static_cast<const SoBase*>(base), &NameFiling::NodeSlot::node);
    if (!filing.nodes[i].node) {
        return;
    }
    // Backward-shift deletion: later entries of the run move up into the
    // hole unless their home slot lies after it.
    for (size_t j = (i + 1) & mask; filing.nodes[j].node; j = (j + 1) & mask) {
        const size_t home = PointerSlot(filing.nodes[j].node, mask);
        if (((j - home) & mask) >= ((j - i) & mask)) {
            filing.nodes[i] = filing.nodes[j];
            i = j;
        }
    }
    filing.nodes[i] = NameFiling::NodeSlot();
    --filing.nodeCount;
}

extern "C" const char* cc_namemap_get_address(const char* str) { return Find(Table(), str, true); }

extern "C" const char* cc_namemap_peek_string(const char* str) { return Find(Table(), str, false); }

void InstallSceneNameTable() { Table(); }

bool IsSceneNameTableActive() {
    const SbName probe("tarnwick name table probe");
    if (Find(Table(), "tarnwick name table probe", false) != probe.getString()) {
        return false;
    }
    // Coin's setName files the name through SoBase::addName.
    SoInfo* node = new SoInfo;
    node->ref();
    node->setName("tarnwick_filing_probe");
    NameFiling& filing = Filing();
    bool filed = false;
    {
        std::lock_guard<std::mutex> lock(filing.mutex);
        filed = BearersOf(filing, SbName("tarnwick_filing_probe").getString()) != nullptr;
    }
    node->unref();
    return filed;
}
