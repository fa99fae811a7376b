#include "CoinNameTable.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>

#include <Inventor/SbName.h>

namespace {

struct NameTable {
    std::mutex mutex;
    std::deque<std::string> strings;  // a deque never moves its elements
    std::unordered_set<std::string_view> index;
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

const char* Find(NameTable& table, const char* str, bool add) {
    std::lock_guard<std::mutex> lock(table.mutex);
    NameTable::Recent& recent = table.recent[Slot(str, table.recent.size())];
    if (recent.key == str && std::strcmp(recent.value, str) == 0) {
        return recent.value;
    }
    auto it = table.index.find(std::string_view(str));
    if (it != table.index.end()) {
        recent = {str, it->data()};
        return it->data();
    }
    if (!add) {
        return nullptr;
    }
    const std::string& stored = table.strings.emplace_back(str);
    table.index.insert(std::string_view(stored));
    recent = {str, stored.c_str()};
    return stored.c_str();
}

}  // namespace

extern "C" const char* cc_namemap_get_address(const char* str) { return Find(Table(), str, true); }

extern "C" const char* cc_namemap_peek_string(const char* str) { return Find(Table(), str, false); }

void InstallSceneNameTable() { Table(); }

bool IsSceneNameTableActive() {
    const SbName probe("tarnwick name table probe");
    return Find(Table(), "tarnwick name table probe", false) == probe.getString();
}
