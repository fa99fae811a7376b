#pragma once

#include "EditScene.h"
#include "Representation.h"

// A representation as the editing commands see it.
class CRepresentationEditScene : public IEditScene {
public:
    explicit CRepresentationEditScene(CRepresentation& rep) : m_rep(rep) {}
    std::string GetCurrentName() const override { return m_rep.GetCurrentName(); }
    void SetCurrentName(const std::string& name) override { m_rep.SetCurrentName(name); }
    int RenameInScene(const std::string& oldName, const std::string& newName, int circle,
                      const std::vector<int>& labelCircles) override {
        return m_rep.RenameInScene(oldName, newName, circle, labelCircles);
    }
    std::vector<int> LabelCirclesOf(const std::string& name, int circle) const override {
        return m_rep.LabelCirclesOf(name, circle);
    }
    int RebuildCircle(int circle) override { return m_rep.RebuildCircle(circle); }
    int RebuildCircleEdges(int circle) override { return m_rep.RebuildCircleEdges(circle); }
    int RebuildNodeLinks(int circle, const std::vector<int>& indices, bool whole) override {
        return m_rep.RebuildNodeLinks(circle, indices, whole);
    }

private:
    CRepresentation& m_rep;
};
