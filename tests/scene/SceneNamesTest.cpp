#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <Inventor/lists/SoNodeList.h>
#include <Inventor/nodes/SoInfo.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>

#include "CoinNameTable.h"
#include "CoinNodeNames.h"
#include "CoinPtr.h"
#include "SceneNames.h"

namespace {

// What Coin keeps of a name given to setName.
std::string StoredName(const std::string& name) {
    auto node = MakeCoin<SoSphere>();
    node->setName(SbName(name.c_str()));
    return node->getName().getString();
}

TEST(SceneNames, NamesCoinKeepsAreTheirOwnEncoding) {
    for (const std::string name :
         {"Fus3", "Ste2", "alpha_factor", "_x", "A", "E_1:0-2:0", "edge_material_10", "text_Fus3",
          "GreenCharCircleNum:0", "circleNumEdge:12", "CircleNumber:3", "r__12", "Gpa1-Ste4:Ste18",
          "CDC42(GTP)", "a/b", "x[1],y", "p~q", "a#b", "ATP;ADP", "Sst2@PM", "x<y>", "a%b&c*d?e!f=g|h^i$"}) {
        EXPECT_TRUE(IsAcceptedSceneName(name)) << name;
        EXPECT_EQ(EncodeSceneName(name), name);
        EXPECT_EQ(StoredName(name), name);
        EXPECT_EQ(DecodeSceneName(name), name);
    }
    EXPECT_EQ(EncodeSceneName(""), "");
}

// Coin rewrote these names, so search by name and picked-sphere
// descriptions failed for them.
TEST(SceneNames, NamesCoinRewritesSurviveTheSceneGraph) {
    struct Case {
        std::string name, coinWouldStore;
    };
    for (const Case& c : {Case{"Ca2+", "Ca2_"}, Case{"E. coli", "E__coli"}, Case{"TNF-\xCE\xB1", "TNF-__"},
                          Case{"3-AT", "_3-AT"}, Case{"'quoted'", "__quoted_"}, Case{"a\\b{c}", "a_b_c_"}}) {
        EXPECT_EQ(StoredName(c.name), c.coinWouldStore) << c.name;
        EXPECT_FALSE(IsAcceptedSceneName(c.name)) << c.name;
        const std::string encoded = EncodeSceneName(c.name);
        EXPECT_TRUE(IsAcceptedSceneName(encoded)) << encoded;
        EXPECT_EQ(StoredName(encoded), encoded);
        EXPECT_EQ(DecodeSceneName(encoded), c.name);

        auto sphere = MakeCoin<SoSphere>();
        SetSceneName(sphere.get(), c.name);
        EXPECT_EQ(GetSceneName(sphere.get()), c.name);
        EXPECT_EQ(FindNodeBySceneName(c.name), sphere.get());
    }
    EXPECT_EQ(EncodeSceneName("Ca2+"), "_`Ca2`2B");
    EXPECT_EQ(EncodeSceneName("E. coli"), "_`E`2E`20coli");
}

TEST(SceneNames, EncodingNeverMergesTwoNames) {
    // Names that look like escapes, the escape character itself, and every
    // single byte next to names Coin keeps.
    std::vector<std::string> names = {"Ca2+",  "Ca2_",  "Ca2`2B", "_`Ca2`2B", "_`",   "`",     "``",
                                      "_``60", "a`",    "_`2B",   "_`_`",     "_",    "__`",   "x`2",
                                      "E. coli", "E__coli", "E`20coli", "text_Ca2+", "text_Ca2_", ""};
    for (int b = 0; b < 256; ++b) {
        names.push_back(std::string(1, static_cast<char>(b)));
        names.push_back("a" + std::string(1, static_cast<char>(b)));
        names.push_back("_`" + std::string(1, static_cast<char>(b)));
    }
    std::set<std::string> encodings;
    std::set<std::string> distinct(names.begin(), names.end());
    for (const std::string& name : distinct) {
        const std::string encoded = EncodeSceneName(name);
        EXPECT_TRUE(encodings.insert(encoded).second) << "collision on " << encoded;
        EXPECT_EQ(DecodeSceneName(encoded), name) << encoded;
        EXPECT_EQ(StoredName(encoded), encoded) << encoded;
    }
}

TEST(SceneNames, TextThatIsNoEncodingDecodesToItself) {
    EXPECT_EQ(DecodeSceneName("_`2"), "2");  // this one is the encoding of "2"
    for (const std::string text : {"_`zz", "_`4`", "_`41`2", "_`plain", "plain", "_`Ca2`2b"}) {
        EXPECT_EQ(DecodeSceneName(text), text);
    }
}

TEST(SceneNames, SearchesAndPicksUseTheEncodedName) {
    auto root = MakeCoin<SoSeparator>();
    auto rewritten = MakeCoin<SoSphere>();
    auto lookalike = MakeCoin<SoSphere>();
    SetSceneName(rewritten.get(), "Ca2+");
    SetSceneName(lookalike.get(), "Ca2_");
    root->addChild(lookalike.get());
    root->addChild(rewritten.get());
    EXPECT_EQ(FindNodeBySceneName("Ca2+"), rewritten.get());
    EXPECT_EQ(FindNodeBySceneName("Ca2_"), lookalike.get());
    EXPECT_EQ(GetSceneName(lookalike.get()), "Ca2_");
    EXPECT_EQ(GetSceneName(nullptr), "");
}

TEST(SceneNameTable, CoinInternsNamesThroughOurTable) {
    ASSERT_TRUE(IsSceneNameTableActive());
    const std::string text = "Gpa1-Ste4";
    const SbName a(text.c_str());
    const SbName b(std::string(text).c_str());
    EXPECT_EQ(a.getString(), b.getString());  // one permanent address per text
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == SbName("Gpa1-Ste5"));
    EXPECT_STREQ(SbName("").getString(), "");
    // Names set on nodes still find their nodes.
    auto sphere = MakeCoin<SoSphere>();
    sphere->setName(SbName(std::string("interned_probe").c_str()));
    EXPECT_EQ(SoNode::getByName("interned_probe"), sphere.get());
}

// The table answers an address it handed out without reading the text:
// an address inside a stored name must still intern as its own text.
TEST(SceneNameTable, AddressesInsideStoredNamesInternAsTheirOwnText) {
    std::vector<std::string> texts = {"tail_probe_Fus3", "E_12:3-45:6", std::string(3u << 20, 'L') + "ong"};
    for (int i = 0; i < 50000; ++i) {  // enough to grow the table and start new chunks
        texts.push_back("growth_probe_" + std::to_string(i));
    }
    std::vector<const char*> stored;
    for (const std::string& text : texts) {
        stored.push_back(SbName(text.c_str()).getString());
    }
    for (size_t i = 0; i < texts.size(); i += i < 3 ? 1 : 997) {
        const SbName again(stored[i]);
        EXPECT_EQ(again.getString(), stored[i]);
        EXPECT_EQ(SbName(texts[i].c_str()).getString(), stored[i]);
        for (size_t skip : {size_t{1}, texts[i].size() / 2, texts[i].size() - 1}) {
            const SbName tail(stored[i] + skip);
            EXPECT_EQ(tail.getString(), SbName(texts[i].substr(skip).c_str()).getString());
            EXPECT_STREQ(tail.getString(), texts[i].c_str() + skip);
            EXPECT_NE(tail.getString(), stored[i] + skip) << "a name's tail came back as the stored name";
        }
    }
}

}  // namespace

// Nodes named, renamed, unnamed and destroyed in a random order, checked
// against what Coin answers by its own rules: a node's name, a name's
// nodes in the order they were named, and the last of them (if of the
// type asked) for a search by name.
TEST(SceneNodeNames, AnswerAsCoinDoesThroughRenamesAndDestruction) {
    ASSERT_TRUE(IsSceneNodeNamesActive());
    const std::vector<std::string> names = {"node_material_red", "node_material_green", "edge_material_3"};
    std::mt19937 random(20240611);
    std::vector<SoNode*> alive;
    std::map<SoNode*, std::string> nameOf;
    std::map<std::string, std::vector<SoNode*>> bearers;  // in naming order
    auto unname = [&](SoNode* node) {
        auto& list = bearers[nameOf[node]];
        list.erase(std::find(list.begin(), list.end(), node));
        nameOf.erase(node);
    };
    auto name = [&](SoNode* node, const std::string& text) {
        if (nameOf.count(node)) {
            unname(node);
        }
        node->setName(text.c_str());
        if (!text.empty()) {
            nameOf[node] = text;
            bearers[text].push_back(node);
        }
    };
    for (int step = 0; step < 6000; ++step) {
        const int action = static_cast<int>(random() % 10);
        if (action < 4 || alive.size() < 50) {
            SoNode* node = random() % 2 ? static_cast<SoNode*>(new SoSeparator) : new SoInfo;
            node->ref();
            alive.push_back(node);
            const size_t pick = random() % (names.size() + 1);
            name(node, pick < names.size() ? names[pick] : "unique_" + std::to_string(step));
        } else {
            const size_t at = random() % alive.size();
            SoNode* node = alive[at];
            if (action < 6) {
                name(node, action == 4 ? std::string() : names[random() % names.size()]);
            } else {
                if (nameOf.count(node)) {
                    unname(node);
                }
                alive.erase(alive.begin() + static_cast<long>(at));
                node->unref();
            }
        }
        if (step % 500 != 499) {
            continue;
        }
        for (SoNode* node : alive) {
            const auto it = nameOf.find(node);
            ASSERT_STREQ(node->getName().getString(), it == nameOf.end() ? "" : it->second.c_str());
        }
        for (const std::string& text : names) {
            const std::vector<SoNode*>& want = bearers[text];
            SoNodeList found;
            ASSERT_EQ(SoNode::getByName(text.c_str(), found), static_cast<int>(want.size())) << text;
            for (size_t k = 0; k < want.size(); ++k) {
                ASSERT_EQ(found[static_cast<int>(k)], want[k]) << text << " " << k;
            }
            SoNode* last = want.empty() ? nullptr : want.back();
            EXPECT_EQ(SoNode::getByName(text.c_str()), last);
            const bool separator = last && last->isOfType(SoSeparator::getClassTypeId());
            EXPECT_EQ(SoBase::getNamedBase(text.c_str(), SoSeparator::getClassTypeId()), separator ? last : nullptr);
        }
    }
    for (SoNode* node : alive) {
        node->unref();
    }
    for (const std::string& text : names) {
        EXPECT_EQ(SoNode::getByName(text.c_str()), nullptr) << text;
    }
}
