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
    // A stored name asked for by its own address: stored names never change.
    if (recent.key == str && (recent.value == str || std::strcmp(recent.value, str) == 0)) {
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

}  // namespace

extern "C" const char* cc_namemap_get_address(const char* str) { return Find(Table(), str, true); }

extern "C" const char* cc_namemap_peek_string(const char* str) { return Find(Table(), str, false); }

void InstallSceneNameTable() { Table(); }

bool IsSceneNameTableActive() {
    const SbName probe("tarnwick name table probe");
    return Find(Table(), "tarnwick name table probe", false) == probe.getString();
}
