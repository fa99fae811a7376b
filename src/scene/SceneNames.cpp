#include "SceneNames.h"

#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/misc/SoBase.h>
#include <Inventor/nodes/SoNode.h>

#include <cstring>
#include <string_view>

namespace {

constexpr char kEscape = '`';

// One user-interface thread: a plain counter will do.
unsigned long g_namingEpoch = 0;
constexpr const char* kEscapedPrefix = "_`";

// What Coin accepts in a name, asked once per byte value: Coin answers
// with a search through its list of characters, and every name of a scene
// is checked byte by byte.
struct NameCharTable {
    NameCharTable() {
        for (int c = 0; c < 256; ++c) {
            start[c] = SbName::isBaseNameStartChar(static_cast<char>(c));
            inside[c] = SbName::isBaseNameChar(static_cast<char>(c));
        }
    }
    bool start[256];
    bool inside[256];
};

const NameCharTable& NameChars() {
    static const NameCharTable table;
    return table;
}

bool IsBaseNameStartChar(char c) { return NameChars().start[static_cast<unsigned char>(c)]; }
bool IsBaseNameChar(char c) { return NameChars().inside[static_cast<unsigned char>(c)]; }

bool IsPlainChar(char c) { return c != kEscape && IsBaseNameChar(c); }

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsAcceptedName(std::string_view name) {
    if (name.empty()) {
        return true;
    }
    if (!IsBaseNameStartChar(name[0])) {
        return false;
    }
    for (size_t i = 1; i < name.size(); ++i) {
        if (!IsBaseNameChar(name[i])) {
            return false;
        }
    }
    return true;
}

bool IsPlainName(std::string_view name) { return IsAcceptedName(name) && name.find(kEscape) == std::string_view::npos; }

// Writes the escaped form of `name` (at most 3 * size + 2 bytes) to `out`;
// returns its end.
char* WriteEscaped(std::string_view name, char* out) {
    static const char kHex[] = "0123456789ABCDEF";
    *out++ = kEscapedPrefix[0];
    *out++ = kEscapedPrefix[1];
    for (char c : name) {
        if (IsPlainChar(c)) {
            *out++ = c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            *out++ = kEscape;
            *out++ = kHex[byte >> 4];
            *out++ = kHex[byte & 0x0F];
        }
    }
    return out;
}

// The SbName of a name ended by a NUL at name[size], encoded without a
// string on the heap: every node of a scene is named through here.
SbName InternedSceneName(const char* name, size_t size) {
    const std::string_view text(name, size);
    if (IsPlainName(text)) {
        return SbName(name);
    }
    char local[256];
    std::string large;
    char* out = local;
    if (size * 3 + 3 > sizeof local) {
        large.resize(size * 3 + 3);
        out = large.data();
    }
    *WriteEscaped(text, out) = '\0';
    return SbName(out);
}

}  // namespace

bool IsAcceptedSceneName(const std::string& name) { return IsAcceptedName(name); }

std::string EncodeSceneName(const std::string& name) {
    if (IsPlainName(name)) {
        return name;
    }
    std::string out(name.size() * 3 + 2, '\0');
    out.resize(static_cast<size_t>(WriteEscaped(name, out.data()) - out.data()));
    return out;
}

std::string DecodeSceneName(const std::string& sceneName) {
    if (sceneName.compare(0, 2, kEscapedPrefix) != 0) {
        return sceneName;
    }
    std::string out;
    out.reserve(sceneName.size());
    for (size_t i = 2; i < sceneName.size(); ++i) {
        const char c = sceneName[i];
        if (c != kEscape) {
            out += c;
            continue;
        }
        const int hi = i + 1 < sceneName.size() ? HexValue(sceneName[i + 1]) : -1;
        const int lo = i + 2 < sceneName.size() ? HexValue(sceneName[i + 2]) : -1;
        if (hi < 0 || lo < 0) {
            return sceneName;
        }
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    // Only what Encode produces decodes; anything else keeps its text.
    return EncodeSceneName(out) == sceneName ? out : sceneName;
}

SbName SceneName(const std::string& name) { return InternedSceneName(name.c_str(), name.size()); }

unsigned long SceneNamingEpoch() { return g_namingEpoch; }

void NoteSceneNamesChanged() { ++g_namingEpoch; }

void SetSceneName(SoBase* node, const std::string& name) {
    node->setName(SceneName(name));
    NoteSceneNamesChanged();
}

void NameNewSceneNode(SoBase* node, const std::string& name) { NameNewSceneNode(node, SceneName(name)); }

void NameNewSceneNode(SoBase* node, const char* name) {
    NameNewSceneNode(node, InternedSceneName(name, std::strlen(name)));
}

void NameNewSceneNode(SoBase* node, const SbName& sceneName) {
    // What setName does for a node without a name and a name it accepts
    // (every encoded name): it files the node under the name. Asking for
    // the old name and checking each byte again would cost a hash look-up
    // and a pass over the name for each of the scene's many nodes.
    if (sceneName.getLength() > 0) {
        SoBase::addName(node, sceneName.getString());
    }
}

std::string GetSceneName(const SoBase* node) {
    return node ? DecodeSceneName(node->getName().getString()) : std::string();
}

SoNode* FindNodeBySceneName(const std::string& name) { return SoNode::getByName(SceneName(name)); }

void SetSearchName(SoSearchAction& search, const std::string& name) {
    search.setName(SceneName(name));
    search.setFind(search.getFind() | SoSearchAction::NAME);
}
