#include "GridLayout.h"

#include <cmath>
#include <fstream>

std::string CGridLayout::CellKey(int first, int second) {
    return std::to_string(first) + ':' + std::to_string(second);
}

void CGridLayout::Clear() {
    m_num_hor = 0;
    m_num_ver = 0;
    m_lstGrid.clear();
    m_circleByCell.clear();
    m_cellByCircle.clear();
}

void CGridLayout::SetSize(int first, int second) {
    m_num_hor = first;
    m_num_ver = second;
}

void CGridLayout::Layout(int circleCount) {
    Clear();
    m_nCircleCount = circleCount;
    if (circleCount < 1) {
        return;
    }
    m_num_hor = static_cast<int>(std::sqrt(static_cast<double>(circleCount)));
    m_num_ver = circleCount / m_num_hor + (circleCount % m_num_hor != 0 ? 1 : 0);
    int j = 1;
    for (int hor = 0; hor < m_num_hor; ++hor) {
        for (int ver = 0; ver < m_num_ver && j < m_nCircleCount; ++ver) {
            PlaceCircle(hor, ver, j);
            ++j;
        }
    }
}

void CGridLayout::PlaceCircle(int first, int second, int circle) {
    m_circleByCell.emplace(CellNumber(first, second), circle);
    m_cellByCircle.emplace(circle, std::make_pair(first, second));
    m_lstGrid.push_back(CellKey(first, second));
    m_lstGrid.push_back(std::to_string(circle));
}

int CGridLayout::GetCircleAt(int first, int second) const {
    auto it = m_circleByCell.find(CellNumber(first, second));
    return it == m_circleByCell.end() ? 0 : it->second;
}

void CGridLayout::GetCellOf(int circle, int& first, int& second) const {
    auto it = m_cellByCircle.find(circle);
    if (it == m_cellByCircle.end()) {
        first = -1;
        second = -1;
        return;
    }
    first = it->second.first;
    second = it->second.second;
}

bool CGridLayout::DumpGrid(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    for (size_t i = 0; i + 1 < m_lstGrid.size(); i += 2) {
        out << m_lstGrid[i] << "-Val : " << m_lstGrid[i + 1] << " \r\n";
    }
    out.flush();
    return static_cast<bool>(out);
}
