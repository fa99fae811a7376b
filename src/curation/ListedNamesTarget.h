#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "SelectNames.h"

// A representation without a scene: the select-names part and a record of
// what it was asked to select. The headless review uses it, and so do tests.
class CListedNamesTarget : public ISelectNamesTarget {
public:
    explicit CListedNamesTarget(const std::unique_ptr<CNode>& graph) : m_names(graph) {}

    CSelectNames& SelectNames() override { return m_names; }
    std::vector<std::string> SelectListedNamesQuietly() override {
        std::vector<std::string> missing;
        if (!hasSphere && !m_bRecordSelected) {
            return missing;  // nothing to test or record
        }
        const CSelectNameList& listed = m_names.m_lstSelectNames;
        for (size_t i = 0; i < listed.size(); ++i) {
            std::string name(listed[i]);
            if (hasSphere && !hasSphere(name)) {
                missing.push_back(std::move(name));
            } else if (m_bRecordSelected) {
                selected.push_back(std::move(name));
            }
        }
        return missing;
    }
    const std::string& GetCurrentName() const override { return m_strCurrentName; }

    std::string m_strCurrentName;
    // Every name selected so far, in order (repeats included), while
    // m_bRecordSelected is set.
    std::vector<std::string> selected;
    bool m_bRecordSelected = true;
    // Which names have a sphere; every name when unset.
    std::function<bool(const std::string&)> hasSphere;

private:
    CSelectNames m_names;
};
