#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// The cell map of a representation: which circle sits in which cell of a
// rectangular grid. Cells are named by two coordinates (box: hor, ver;
// sphere: column, ring) and keyed "%d:%d". The map is kept as the list of
// alternating cell keys and circle numbers, in placement order, because the
// pathway file and the diagnostic dump read it in that order; two indexes
// answer the look-ups with the same first-match results as a scan.
class CGridLayout {
public:
    // Box layout: a grid of floor(sqrt(n)) columns of cells, filled column
    // by column with the circles 1 .. n - 1. A counter below 1 (a graph that
    // was cleared) gives an empty 0 x 0 grid instead of dividing by zero.
    void Layout(int circleCount);

    // Appends circle `circle` at cell (first, second); an earlier placement
    // at the same cell or of the same circle keeps answering look-ups.
    void PlaceCircle(int first, int second, int circle);
    // Sets the grid size without placing anything (sphere layout, file load).
    void SetSize(int first, int second);
    void Clear();

    // The circle in that cell, 0 when the cell is empty or outside the grid.
    int GetCircleAt(int first, int second) const;
    // The cell of `circle`, or (-1, -1) when it has none.
    void GetCellOf(int circle, int& first, int& second) const;

    // Writes one "%s-Val : %s \r\n" line per placed circle to `path`;
    // false when the file cannot be written.
    bool DumpGrid(const std::string& path = "test_circle.txt") const;

    const std::vector<std::string>& GetEntries() const { return m_lstGrid; }
    int GetFirstCount() const { return m_num_hor; }
    int GetSecondCount() const { return m_num_ver; }
    int GetCircleCount() const { return m_nCircleCount; }

    static std::string CellKey(int first, int second);

private:
    // The cell as one number: look-ups run for every cell of the grid while
    // a scene is built, and a sphere's grid is mostly empty cells.
    static std::uint64_t CellNumber(int first, int second) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(first)) << 32) |
               static_cast<std::uint32_t>(second);
    }

    int m_num_hor = 0;
    int m_num_ver = 0;
    int m_nCircleCount = 0;
    // Alternating cell key and circle number ("%d"), in placement order.
    std::vector<std::string> m_lstGrid;
    std::unordered_map<std::uint64_t, int> m_circleByCell;
    std::unordered_map<int, std::pair<int, int>> m_cellByCircle;
};
