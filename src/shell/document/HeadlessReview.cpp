#include "HeadlessReview.h"

#include <memory>

#include "FileWriter.h"
#include "ListedNamesTarget.h"
#include "MarkerFilters.h"
#include "ReviewEngine.h"
#include "SilentPrompt.h"
#include "TarnwickDoc.h"

namespace {

// Start-up load, then the sphere view: the box shows the start-up graph,
// the sphere (and the document) the relation-node graph.
class HeadlessReview {
public:
    explicit HeadlessReview(CTarnwickDoc& doc) : m_doc(doc), m_box(m_startup), m_sphere(doc.m_pGraph) {
        m_box.m_bRecordSelected = m_sphere.m_bRecordSelected = false;
    }

    bool Load(std::string& error) {
        if (!m_doc.BuildStartupPathway()) {
            error = m_doc.GetDataError();
            return false;
        }
        m_startup = std::move(m_doc.m_pGraph);
        if (!m_doc.BuildSpherePathway()) {
            error = m_doc.GetDataError();
            return false;
        }
        return true;
    }
    CReviewEngine Engine() {
        return CReviewEngine(m_doc, m_doc.m_pGraph.get(), {&m_box, &m_sphere, &m_sphere}, m_prompt, m_doc.m_review);
    }

private:
    CTarnwickDoc& m_doc;
    std::unique_ptr<CNode> m_startup;
    CListedNamesTarget m_box;
    CListedNamesTarget m_sphere;
    CSilentPrompt m_prompt;
};

}  // namespace

bool WriteReviewStatistics(CTarnwickDoc& doc, const std::string& path, std::string& error) {
    HeadlessReview review(doc);
    if (!review.Load(error)) {
        return false;
    }
    CReviewEngine engine = review.Engine();
    OnStatistics(engine, doc.m_review);
    return WriteTextFile(path, FormatPrecisionLine(doc.m_review) + "\n" + FormatRecallLine(doc.m_review) + "\n",
                         error);
}

bool WriteFilterHits(CTarnwickDoc& doc, const std::string& filterName, const std::string& path,
                     std::string& error) {
    const MarkerFilter* filter = FindMarkerFilterByName(filterName);
    if (!filter) {
        error = "unknown filter " + filterName + " (one of " + FilterNames() + ")";
        return false;
    }
    HeadlessReview review(doc);
    if (!review.Load(error)) {
        return false;
    }
    CReviewEngine engine = review.Engine();
    std::vector<std::string> handled;
    engine.m_pHandled = &handled;
    const int hits = RunMarkerFilter(engine, doc.m_review, *filter);
    std::string text;
    for (const std::string& line : handled) {
        text += line + "\n";
    }
    text += "hits " + std::to_string(hits) + "\n";
    return WriteTextFile(path, text, error);
}

std::string FilterNames() {
    std::string names;
    for (const MarkerFilter& f : MarkerFilters()) {
        names += (names.empty() ? "" : ", ") + std::string(f.name);
    }
    return names;
}
