#pragma once

#include <functional>
#include <string>

#include <QWidget>

#include "EvidenceIndex.h"
#include "EvidenceModel.h"

class CInteractionStore;
class CNode;
class QLabel;
class QTableView;
class QUrl;

// The evidence dock's content: which sphere it speaks of, and the records
// naming it. Clicking a PMID that is one opens its article page; selecting
// a row hands the record to whoever selects its spheres.
class CEvidencePanel : public QWidget {
public:
    using UrlOpener = std::function<void(const QUrl&)>;
    using RowHandler = std::function<void(const EvidenceRow&)>;

    explicit CEvidencePanel(QWidget* parent = nullptr);

    // The browser by default; tests put a recorder in its place.
    void SetUrlOpener(UrlOpener opener) { m_opener = std::move(opener); }
    void SetRowSelectedHandler(RowHandler handler) { m_onRowSelected = std::move(handler); }

    // Lists the records behind the sphere `name` of `graph`.
    void ShowEvidenceFor(const CInteractionStore& store, const CNode* graph, const std::string& name);
    const QString& Subject() const { return m_subject; }
    const CEvidenceModel& Model() const { return m_model; }
    QTableView* Table() const { return m_pTable; }
    // Opens the row's article page; false when its PMID is no identifier.
    bool OpenPmid(int row);

private:
    CEvidenceIndex m_index;
    CEvidenceModel m_model;
    QLabel* m_pHeading;
    QTableView* m_pTable;
    QString m_subject;
    UrlOpener m_opener;
    RowHandler m_onRowSelected;
};
