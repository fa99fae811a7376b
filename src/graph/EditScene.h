#pragma once

#include <string>
#include <vector>

#include "CircleRebuilder.h"

// The representation an editing command works on, as the command sees it:
// its current name and the scene updates after an edit.
class IEditScene : public ICircleRebuilder {
public:
    virtual std::string GetCurrentName() const = 0;
    virtual void SetCurrentName(const std::string& name) = 0;
    // 1 when the label took the new name, else 0. `circle` is where the
    // node sits (0 when not known); its labels are searched for in
    // `labelCircles`, which LabelCirclesOf gave.
    virtual int RenameInScene(const std::string& oldName, const std::string& newName, int circle,
                              const std::vector<int>& labelCircles) = 0;
    // The circles whose labels show the node `name` of `circle`: a rename
    // there is undone by building them again.
    virtual std::vector<int> LabelCirclesOf(const std::string& /*name*/, int circle) const { return {circle}; }
};

// No scene at all (headless edits): every update succeeds.
class CNoScene : public IEditScene {
public:
    std::string GetCurrentName() const override { return m_strCurrentName; }
    void SetCurrentName(const std::string& name) override { m_strCurrentName = name; }
    int RenameInScene(const std::string&, const std::string&, int, const std::vector<int>&) override { return 1; }
    int RebuildCircle(int) override { return 1; }
    int RebuildCircleEdges(int) override { return 1; }

private:
    std::string m_strCurrentName;
};
