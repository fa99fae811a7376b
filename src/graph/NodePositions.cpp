#include "NodePositions.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <fstream>

#include "LinkText.h"
#include "Node.h"

namespace {

// A "%f" field, read independently of the process locale (Qt sets the
// user's, where the decimal separator may be a comma). NaN, infinities and
// values beyond the float range are not coordinates: one would blank the
// whole view.
bool ScanFloat(const std::string& text, size_t& pos, float& value) {
    size_t p = pos;
    while (p < text.size() && std::isspace(static_cast<unsigned char>(text[p]))) {
        ++p;
    }
    if (p < text.size() && text[p] == '+') {
        ++p;
    }
    double v = 0.0;
    auto [end, ec] = std::from_chars(text.data() + p, text.data() + text.size(), v);
    if (ec != std::errc() || !std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) {
        return false;
    }
    value = static_cast<float>(v);
    pos = static_cast<size_t>(end - text.data());
    return true;
}

}  // namespace

bool ParseNodeLine(const std::string& line, int& circle, float& x, float& y) {
    if (line.compare(0, 4, "node") != 0) {
        return false;
    }
    size_t pos = 4;
    return ScanInt(line, pos, circle) && ScanFloat(line, pos, x) && ScanFloat(line, pos, y);
}

bool ApplyNodePositions(CNode& graph, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::string line;
    std::getline(in, line);  // the first line is a header
    while (std::getline(in, line)) {
        if (line.find("edge") != std::string::npos) {
            break;
        }
        int circle = 0;
        float x = 0.0f, y = 0.0f;
        if (!ParseNodeLine(line, circle, x, y)) {
            continue;
        }
        if (MoleculeRecord* m = graph.GetMolecule(circle, 0)) {
            m->posX = x;
            m->posY = y;
        }
    }
    return true;
}
