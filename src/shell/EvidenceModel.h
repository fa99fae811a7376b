#pragma once

#include <memory>
#include <vector>

#include <QAbstractTableModel>

#include "EvidenceRows.h"

// The evidence panel's table: one row per interaction record, columns id,
// relation kind, other member, source sentence and PMID. The sentence
// column also gives its text as HTML with the marker words highlighted,
// the PMID column the article's address when it is one.
class CEvidenceModel : public QAbstractTableModel {
public:
    enum Column { IdColumn, KindColumn, OtherColumn, SentenceColumn, PmidColumn, ColumnCount };
    static constexpr int HtmlRole = Qt::UserRole + 1;
    static constexpr int UrlRole = Qt::UserRole + 2;

    using QAbstractTableModel::QAbstractTableModel;

    void SetRows(CEvidenceList rows);
    const EvidenceRow* Row(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The sentence as HTML, the marked stretches in bold on yellow.
    static QString MarkedHtml(const EvidenceRow& row);

private:
    // A row's texts as shown, made once: the table asks for them at every
    // paint of the row, the sentence's HTML included.
    struct ShownRow {
        QString cells[ColumnCount];
        QString html;
    };
    const ShownRow* Shown(int row) const;

    CEvidenceList m_rows;
    mutable std::vector<std::unique_ptr<ShownRow>> m_shown;  // grown as far as rows are asked for
};
