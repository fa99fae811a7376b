#include "CircleData.h"

int CCircleData::AddMolecule(MoleculeRecord m) {
    int largest = -1;
    for (const MoleculeRecord& r : m_lstMolecules) {
        if (r.number > largest) {
            largest = r.number;
        }
    }
    m.number = largest + 1;
    m_lstMolecules.push_back(std::move(m));
    return m_lstMolecules.back().number;
}
