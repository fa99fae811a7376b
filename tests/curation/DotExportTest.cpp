#include <gtest/gtest.h>

#include "DotExport.h"
#include "Node.h"

namespace {

const char* const kHeader =
    "graph \"cs\" { node [ fontname = \"Arial\"\n"
    " label = \"\\N\" \n"
    " shape = \"circle\"\n"
    " width = \"0.400000\"\n"
    " height = \"0.400000\"\n"
    " color = \"black\" ]\n"
    " edge [color = \"black\"]\n";

TEST(DotExport, HeaderAndClosingBraceWithoutLinks) {
    CNode g;
    g.NewStartupCircle("A", "", 0);
    g.NewStartupCircle("B", "", 0);
    EXPECT_EQ(FormatDotGraph(g), std::string(kHeader) + "}");
    EXPECT_EQ(FormatDotGraph(CNode()), std::string(kHeader) + "}");
}

TEST(DotExport, OneLinePerEntryOfEachCirclesFirstMolecule) {
    CNode g;
    g.NewStartupCircle("A", "2 0 2 1", 2);
    g.NewStartupCircle("B", "2 0 0 1 3 0 2 1 3 1 9 0 garbage 4 0 0 1", 0);  // loop, twice to circle 3
    g.NewStartupCircle("C", "1 0 2 1 2 0", 2);  // the last circle; an incomplete entry ends the list
    g.AppendMolecule(3, "D", 0);
    g.GetMolecule(3, 1)->links = "1 0 2 1";  // not the first molecule: ignored
    EXPECT_EQ(FormatDotGraph(g), std::string(kHeader) +
                                     "\"1\"--\"2\";\n"
                                     "\"2\"--\"2\";\n"
                                     "\"2\"--\"3\";\n"
                                     "\"2\"--\"3\";\n"
                                     "\"3\"--\"1\";\n"
                                     "}");
}

}  // namespace
