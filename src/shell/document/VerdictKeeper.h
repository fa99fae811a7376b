#pragma once

#include <string>

#include "ReviewStateStore.h"

class CInteractionStore;
class CNode;

// Keeping review verdicts in the data source, when the curator asks for it:
// the states the review commands set are written at once, and every build
// of the relation-node graph gives each record's relation node its stored
// state.
class CVerdictKeeper {
public:
    explicit CVerdictKeeper(const std::string& connect) : m_store(connect) {}

    // Verdicts go to another source from now on.
    void SetConnect(const std::string& connect) { m_store.SetConnect(connect); }

    bool IsOn() const { return m_bOn; }
    // Turns keeping on once the source has the table; false with the
    // reason (and still off) when it cannot take one.
    bool TurnOn(std::string& error);
    // As remembered from an earlier session, unchecked: a source that
    // cannot take the table is found out at the first write.
    void SetOn(bool on) { m_bOn = on; }
    // Writes the verdicts while on. On failure keeping turns off and the
    // reason is returned.
    bool Keep(const CReviewStateStore::Verdicts& verdicts, std::string& error);
    // While on: the stored state onto the relation node of every built record.
    bool Apply(const CInteractionStore& data, CNode& graph, std::string& error);

private:
    CReviewStateStore m_store;
    bool m_bOn = false;
};
