#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "DotExport.h"
#include "FileWriter.h"
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

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(FileWriter, ReplacesTheFileWholeOrReportsWhy) {
    char dir[] = "/tmp/tarnwick-writer-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/out.dot";
    std::string error;
    ASSERT_TRUE(WriteTextFile(path, "old contents that are longer", error)) << error;
    ASSERT_TRUE(WriteTextFile(path, "new", error)) << error;
    EXPECT_EQ(Read(path), "new");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_NE(st.st_mode & S_IRGRP, 0u) << "created like a plain file, not 0600";

    const std::string missing = std::string(dir) + "/no/such/dir/out.dot";
    EXPECT_FALSE(WriteTextFile(missing, "x", error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;

    // A file that cannot be replaced keeps its old contents and leaves no temporary beside it.
    if (geteuid() != 0) {  // root writes anywhere
        chmod(dir, 0500);
        EXPECT_FALSE(WriteTextFile(path, "lost?", error));
        chmod(dir, 0700);
        EXPECT_EQ(Read(path), "new");
    }
    EXPECT_FALSE(WriteTextFile(dir, "a directory", error));
    std::string listing;
    EXPECT_EQ(system((std::string("test $(ls -A ") + dir + " | wc -l) -eq 1").c_str()), 0)
        << "a failed write leaves no temporary file";
    std::remove(path.c_str());
    rmdir(dir);
}

}  // namespace
