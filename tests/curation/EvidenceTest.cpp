// The records behind a sphere, the marker words in their sentences and
// which publication identifiers become links.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EvidenceIndex.h"
#include "EvidenceRows.h"
#include "InteractionRows.h"
#include "SphereBuild.h"

namespace {

using Strings = std::vector<std::string>;

// Four interactions with their sentences and identifiers: r__1 .. r__4.
void FillSample(CInteractionStore& store) {
    FillInteractions(store, {{"A", "B", 0}, {"B", "C", 3}, {"A", "A", 9}, {"C", "r__1", 2}});
    const char* sources[] = {"A binds B in vitro", "B, C", "A forms dimers", "C stimulates the complex"};
    const char* pmids[] = {"12345", "", "x12", " 777 "};
    for (size_t i = 0; i < store.m_pInteractions.size(); ++i) {
        store.m_pInteractions[i].source = sources[i];
        store.m_pInteractions[i].prep1 = pmids[i];
    }
}

Strings Ids(const std::vector<EvidenceRow>& rows) {
    Strings ids;
    for (const EvidenceRow& row : rows) {
        ids.push_back(row.id + " " + row.kind + " / " + row.other);
    }
    return ids;
}

Strings Marked(const std::string& text) {
    Strings marked;
    for (const TextSpan& span : FindMarkerSpans(text)) {
        marked.push_back(text.substr(span.begin, span.end - span.begin));
    }
    return marked;
}

}  // namespace

TEST(Evidence, RowsNameEveryRecordOfAMoleculeAndTheRecordOfARelationNode) {
    CInteractionStore store("");
    FillSample(store);
    CEvidenceIndex index;
    const struct {
        std::string name;
        Strings rows;
    } cases[] = {
        {"A", {"r__1 Bind / B", "r__3 Homo_xmer / A"}},
        {"B", {"r__1 Bind / A", "r__2 Inhibition / C"}},
        {"r__1", {"r__4 Stimulation / C"}},
        {"nobody", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Ids(CollectEvidence(store, nullptr, index, c.name)), c.rows) << c.name;
    }

    // In the relation-node graph a relation node stands for its own record.
    std::unique_ptr<CNode> graph = BuildSphereGraphFromArray(store);
    ASSERT_NE(graph, nullptr);
    const InteractionRecord& second = store.m_pInteractions[1];
    ASSERT_TRUE(second.built);
    const std::string node = graph->GetMolecule(second.nodeCircle, second.nodeIndex)->name;
    EXPECT_EQ(Ids(CollectEvidence(store, graph.get(), index, node)), Strings{"r__2 Inhibition / B / C"});
    EXPECT_EQ(Ids(CollectEvidence(store, graph.get(), index, "C")),
              (Strings{"r__2 Inhibition / B", "r__4 Stimulation / r__1"}));

    // Its spheres: the members (a referenced interaction by its relation
    // node) and its own relation node.
    const InteractionRecord& first = store.m_pInteractions[0];
    const InteractionRecord& fourth = store.m_pInteractions[3];
    EXPECT_EQ(InteractionSphereNames(store, graph.get(), 3),
              (Strings{"C", graph->GetMolecule(first.nodeCircle, first.nodeIndex)->name,
                       graph->GetMolecule(fourth.nodeCircle, fourth.nodeIndex)->name}));
    EXPECT_EQ(InteractionSphereNames(store, nullptr, 2), Strings{"A"});
    EXPECT_TRUE(InteractionSphereNames(store, nullptr, 9).empty());

    // The index follows changed records and a changed graph; a list made
    // before the change gives none of its rows, made or not.
    const CEvidenceList before = ListEvidence(store, nullptr, index, "A");
    ASSERT_EQ(before.size(), 2u);
    ASSERT_NE(before.Row(0), nullptr);
    store.m_pInteractions[2].member2 = "D";
    store.InvalidateInteractionIndex();
    EXPECT_EQ(before.Row(0), nullptr);
    EXPECT_EQ(before.Row(1), nullptr);
    EXPECT_EQ(Ids(CollectEvidence(store, nullptr, index, "D")), Strings{"r__3 Homo_xmer / A"});
    FillInteractions(store, {{"D", "E", 10}});
    EXPECT_EQ(Ids(CollectEvidence(store, nullptr, index, "D")),
              (Strings{"r__3 Homo_xmer / A", "r__5 Stoichiometric conversion / E"}));
    store.m_pInteractions[1].built = 0;
    graph->Touch();
    EXPECT_TRUE(CollectEvidence(store, graph.get(), index, node).empty());
}

TEST(Evidence, MarkerWordsAndPublicationLinks) {
    const struct {
        std::string text;
        Strings marked;
    } sentences[] = {
        {"X inhibits Y in vitro", {" inhibit", " in vitro"}},
        {"no markers here", {}},
        {"co-expression, human", {"co-expression,", "human"}},  // longest word, touching hits joined
        {"X binds Y In Vitro", {" bind"}},                      // exact case, as the filters compare
        {"it may not bind Golgi", {" may not bind", "Golgi"}},  // overlapping hits joined
        {"", {}},
    };
    for (const auto& s : sentences) {
        EXPECT_EQ(Marked(s.text), s.marked) << s.text;
    }

    const struct {
        std::string pmid;
        std::string url;
    } pmids[] = {
        {"12345", "https://pubmed.ncbi.nlm.nih.gov/12345/"},
        {" 777 ", "https://pubmed.ncbi.nlm.nih.gov/777/"},
        {"", ""},
        {"   ", ""},
        {"x12", ""},
        {"12a", ""},
        {"12/../evil", ""},
    };
    for (const auto& p : pmids) {
        EXPECT_EQ(PubmedUrl(p.pmid), p.url) << p.pmid;
        EXPECT_EQ(IsPubmedId(p.pmid), !p.url.empty()) << p.pmid;
    }

    CInteractionStore store("");
    FillSample(store);
    CEvidenceIndex index;
    const std::vector<EvidenceRow> rows = CollectEvidence(store, nullptr, index, "B");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0].pmidIsLink);
    EXPECT_FALSE(rows[1].pmidIsLink);
    EXPECT_EQ(rows[1].marks, (std::vector<TextSpan>{{1, 2}}));
}
