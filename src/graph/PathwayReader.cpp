#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

#include "FileWriter.h"
#include "Node.h"
#include "PathwayFile.h"

// Reads the pathway file strictly: every numeric line must match its
// format, every text line must be there, link lines must be integers. A
// file is loaded whole or not at all, so a hand-edited or truncated file
// never leaves a half graph behind.

namespace {

// The numeric lines: keywords, each followed by its integer(s) ("#").
constexpr std::string_view kHeaderFormat[] = {"m_circle_count", "#", "m_num_hor", "#", "m_num_ver", "#"};
constexpr std::string_view kCircleFormat[] = {"CircleNum", "#", "circle_type", "#", "base_circle", "#",
                                              "mod_circle", "#", "interact",    "#", "node_num",    "#",
                                              "hor",        "#", "ver",         "#"};
constexpr std::string_view kNodeFormat[] = {"number", "#", "relation", "#", "size", "#", "left", "#", "#",
                                            "right",  "#", "#"};

// Which line is read, named for a message only when it fails: a file of a
// hundred thousand nodes would otherwise build as many texts for nothing.
struct LineName {
    enum Kind { kHeader, kCircle, kNode, kName, kLinks, kIncoming } kind;
    int node = 0;
    int circle = 0;

    std::string Text() const {
        static const char* const kNodeLines[] = {"the node line", "the name line", "the link line",
                                                 "the incoming line"};
        if (kind == kHeader) {
            return "the header line";
        }
        if (kind == kCircle) {
            return "circle line " + std::to_string(circle);
        }
        return std::string(kNodeLines[kind - kNode]) + " of node " + std::to_string(node) + " in circle " +
               std::to_string(circle);
    }
};

enum HeaderField { kCircleCount, kNumHor, kNumVer, kHeaderFields };
enum CircleField { kNum, kType, kBase, kMod, kInteract, kNodeNum, kHor, kVer, kCircleFields };
enum NodeField { kNumber, kRelation, kSize, kLeftCircle, kLeftIndex, kRightCircle, kRightIndex, kNodeFields };

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The next white-space separated token at or after `pos`; empty at the end.
std::string_view NextToken(std::string_view text, size_t& pos) {
    while (pos < text.size() && IsBlank(text[pos])) {
        ++pos;
    }
    const size_t begin = pos;
    while (pos < text.size() && !IsBlank(text[pos])) {
        ++pos;
    }
    return text.substr(begin, pos - begin);
}

// A whole token as "%d" reads it: optional sign, digits, within int range.
bool ParseInt(std::string_view token, int& value) {
    if (!token.empty() && token.front() == '+') {
        token.remove_prefix(1);
        if (!token.empty() && token.front() == '-') {
            return false;
        }
    }
    if (token.empty()) {
        return false;
    }
    const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    return result.ec == std::errc() && result.ptr == token.data() + token.size();
}

// Whether `line` is white space and integers, a multiple of `group` of them.
bool IsIntegerList(std::string_view line, int group) {
    size_t pos = 0;
    int count = 0;
    for (std::string_view token = NextToken(line, pos); !token.empty(); token = NextToken(line, pos)) {
        int value = 0;
        if (!ParseInt(token, value)) {
            return false;
        }
        ++count;
    }
    return count % group == 0;
}

std::string Quoted(std::string_view text) {
    constexpr size_t kShown = 40;
    std::string s = "\"";
    s.append(text.substr(0, kShown));
    if (text.size() > kShown) {
        s += "...";
    }
    return s + "\"";
}

std::string Found(std::string_view token) {
    return token.empty() ? std::string("the end of the line") : Quoted(token);
}

class CPathwayReader {
public:
    CPathwayReader(std::string_view text, const std::string& path, std::string& error)
        : m_text(text), m_path(path), m_error(error) {
        for (const char* p = text.data(), *end = p + text.size();
             (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)))) != nullptr; ++p) {
            ++m_lines;
        }
        if (!text.empty() && text.back() != '\n') {
            ++m_lines;
        }
    }

    bool Read(CNode& graph, int& hor, int& ver);

private:
    // The next line without its line ending; false at the end of the file.
    bool NextLine(std::string_view& line);
    // Only blank lines are left.
    bool AtEnd() const;
    bool Fail(int line, const std::string& reason);
    // Reads the next line as one of the numeric lines into `values`.
    template <size_t N>
    bool ScanLine(const std::string_view (&format)[N], const LineName& what, int* values);
    // Reads the next line as text; `what` names it for the message.
    bool TextLine(const LineName& what, std::string_view& line);

    std::string_view m_text;
    size_t m_pos = 0;
    int m_line = 0;  // number of the line read last
    long long m_lines = 0;
    const std::string& m_path;
    std::string& m_error;
};

bool CPathwayReader::NextLine(std::string_view& line) {
    if (m_pos >= m_text.size()) {
        return false;
    }
    const char* begin = m_text.data() + m_pos;
    const void* lf = std::memchr(begin, '\n', m_text.size() - m_pos);
    const size_t end = lf ? static_cast<size_t>(static_cast<const char*>(lf) - m_text.data()) : m_text.size();
    line = m_text.substr(m_pos, end - m_pos);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    m_pos = end + 1;
    ++m_line;
    return true;
}

bool CPathwayReader::AtEnd() const {
    for (size_t p = m_pos; p < m_text.size(); ++p) {
        if (!IsBlank(m_text[p])) {
            return false;
        }
    }
    return true;
}

bool CPathwayReader::Fail(int line, const std::string& reason) {
    m_error = "Cannot open \"" + m_path + "\": line " + std::to_string(line) + ": " + reason;
    return false;
}

template <size_t N>
bool CPathwayReader::ScanLine(const std::string_view (&format)[N], const LineName& what, int* values) {
    std::string_view line;
    if (!NextLine(line)) {
        return Fail(m_line + 1, "expected " + what.Text() + ", found the end of the file");
    }
    size_t lpos = 0;
    std::string_view key;
    for (const std::string_view want : format) {
        const std::string_view token = NextToken(line, lpos);
        if (want == "#") {
            if (!ParseInt(token, *values++)) {
                return Fail(m_line, "expected an integer for " + std::string(key) + " in " + what.Text() +
                                        ", found " + Found(token));
            }
        } else if (token != want) {
            return Fail(m_line,
                        "expected \"" + std::string(want) + "\" in " + what.Text() + ", found " + Found(token));
        } else {
            key = want;
        }
    }
    const std::string_view extra = NextToken(line, lpos);
    if (!extra.empty()) {
        return Fail(m_line, "expected the end of " + what.Text() + ", found " + Quoted(extra));
    }
    return true;
}

bool CPathwayReader::TextLine(const LineName& what, std::string_view& line) {
    if (!NextLine(line)) {
        return Fail(m_line + 1, "expected " + what.Text() + ", found the end of the file");
    }
    return true;
}

bool CPathwayReader::Read(CNode& graph, int& hor, int& ver) {
    int header[kHeaderFields];
    if (!ScanLine(kHeaderFormat, LineName{LineName::kHeader}, header)) {
        return false;
    }
    if (header[kCircleCount] < 0 || header[kNumHor] < 0 || header[kNumVer] < 0) {
        return Fail(1, "expected m_circle_count, m_num_hor and m_num_ver of 0 or more, found " +
                           std::to_string(header[kCircleCount]) + ", " + std::to_string(header[kNumHor]) +
                           " and " + std::to_string(header[kNumVer]));
    }
    hor = header[kNumHor];
    ver = header[kNumVer];
    // The header's counter is checked at the end; it sizes the store now.
    graph.m_lstCircles.reserve(static_cast<size_t>(std::min<long long>(header[kCircleCount], m_lines)));

    while (!AtEnd()) {
        const int expectedNum = static_cast<int>(graph.m_lstCircles.size()) + 1;
        int c[kCircleFields];
        if (!ScanLine(kCircleFormat, LineName{LineName::kCircle, 0, expectedNum}, c)) {
            return false;
        }
        const int circleLine = m_line;
        // Circles are addressed by their place in the list.
        if (c[kNum] != expectedNum) {
            return Fail(circleLine, "expected CircleNum " + std::to_string(expectedNum) +
                                        " (circles are numbered in file order), found " + std::to_string(c[kNum]));
        }
        const bool noCell = c[kHor] == -1 && c[kVer] == -1;
        if (!noCell && (c[kHor] < 0 || c[kHor] >= hor || c[kVer] < 0 || c[kVer] >= ver)) {
            return Fail(circleLine, "expected hor and ver inside the " + std::to_string(hor) + " x " +
                                        std::to_string(ver) + " grid or -1 -1, found " + std::to_string(c[kHor]) +
                                        " " + std::to_string(c[kVer]));
        }
        // Four lines a node: more nodes than lines left is a corrupt count.
        const size_t linesLeft = static_cast<size_t>(m_lines - m_line);
        if (c[kNodeNum] < 0 || static_cast<size_t>(c[kNodeNum]) > linesLeft / 4) {
            return Fail(circleLine, "expected node_num between 0 and " + std::to_string(linesLeft / 4) +
                                        " (four lines a node, " + std::to_string(linesLeft) +
                                        " lines left), found " + std::to_string(c[kNodeNum]));
        }
        CCircleData* circle = graph.NewCircleFromFile(c[kNum], c[kType], c[kBase], c[kMod], c[kInteract], c[kHor],
                                                      c[kVer]);
        circle->m_lstMolecules.reserve(static_cast<size_t>(c[kNodeNum]));
        for (int n = 0; n < c[kNodeNum]; ++n) {
            int v[kNodeFields];
            std::string_view name, links, backLinks;
            if (!ScanLine(kNodeFormat, LineName{LineName::kNode, n, c[kNum]}, v) ||
                !TextLine(LineName{LineName::kName, n, c[kNum]}, name) ||
                !TextLine(LineName{LineName::kLinks, n, c[kNum]}, links) ||
                !TextLine(LineName{LineName::kIncoming, n, c[kNum]}, backLinks)) {
                return false;
            }
            if (!IsIntegerList(links, 4)) {
                return Fail(m_line - 1, "expected " + LineName{LineName::kLinks, n, c[kNum]}.Text() +
                                            " to be integers in groups of four, found " + Quoted(links));
            }
            if (!IsIntegerList(backLinks, 2)) {
                return Fail(m_line, "expected " + LineName{LineName::kIncoming, n, c[kNum]}.Text() +
                                        " to be integers in pairs, found " + Quoted(backLinks));
            }
            graph.AddMoleculeFromFile(circle, v[kNumber], std::string(name), std::string(links),
                                      std::string(backLinks), v[kRelation], v[kSize], v[kLeftCircle],
                                      v[kLeftIndex], v[kRightCircle], v[kRightIndex]);
        }
    }

    // Scans run up to the counter and new circles take its number: it must
    // be one past the last circle (0 is what saving a cleared graph wrote).
    const int circles = static_cast<int>(graph.m_lstCircles.size());
    if (header[kCircleCount] != circles + 1 && !(circles == 0 && header[kCircleCount] == 0)) {
        return Fail(1, "expected m_circle_count " + std::to_string(circles + 1) + " (one more than the " +
                           std::to_string(circles) + " circles in the file), found " +
                           std::to_string(header[kCircleCount]));
    }
    graph.m_circle_count = header[kCircleCount];
    return true;
}

}  // namespace

bool ParsePathwayText(const std::string& text, const std::string& path, CInteractionStore* store,
                      LoadedPathway& out, std::string& error) {
    auto graph = std::make_unique<CNode>(store);
    int hor = 1;
    int ver = 1;
    if (!CPathwayReader(text, path, error).Read(*graph, hor, ver)) {
        return false;
    }
    graph->RebuildNameIndex();
    out.graph = std::move(graph);
    out.hor = hor;
    out.ver = ver;
    return true;
}

bool LoadPathway(const std::string& path, CInteractionStore* store, LoadedPathway& out, std::string& error) {
    std::string text;
    return ReadTextFile(path, text, error) && ParsePathwayText(text, path, store, out, error);
}
