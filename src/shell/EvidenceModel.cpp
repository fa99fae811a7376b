#include "EvidenceModel.h"

#include <QBrush>
#include <QCoreApplication>
#include <QFont>
#include <QUrl>

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("EvidenceModel", text); }

QString Escaped(const std::string& text, size_t from, size_t to) {
    return QString::fromStdString(text.substr(from, to - from)).toHtmlEscaped();
}

}  // namespace

void CEvidenceModel::SetRows(CEvidenceList rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

const EvidenceRow* CEvidenceModel::Row(int row) const {
    return row >= 0 ? m_rows.Row(static_cast<size_t>(row)) : nullptr;
}

int CEvidenceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CEvidenceModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString CEvidenceModel::MarkedHtml(const EvidenceRow& row) {
    QString html;
    size_t at = 0;
    for (const TextSpan& span : row.marks) {
        html += Escaped(row.sentence, at, span.begin);
        html += QStringLiteral("<b style=\"background-color:#ffe066\">") +
                Escaped(row.sentence, span.begin, span.end) + QStringLiteral("</b>");
        at = span.end;
    }
    html += Escaped(row.sentence, at, row.sentence.size());
    return html;
}

QVariant CEvidenceModel::data(const QModelIndex& index, int role) const {
    const EvidenceRow* row = index.isValid() ? Row(index.row()) : nullptr;
    if (!row) {
        return QVariant();
    }
    const int column = index.column();
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (column) {
            case IdColumn: return QString::fromStdString(row->id);
            case KindColumn: return QString::fromStdString(row->kind);
            case OtherColumn: return QString::fromStdString(row->other);
            case SentenceColumn: return QString::fromStdString(row->sentence);
            case PmidColumn: return QString::fromStdString(row->pmid);
            default: return QVariant();
        }
    }
    if (column == SentenceColumn && role == HtmlRole) {
        return MarkedHtml(*row);
    }
    if (column == PmidColumn && row->pmidIsLink) {
        if (role == UrlRole) {
            return QUrl(QString::fromStdString(PubmedUrl(row->pmid)));
        }
        if (role == Qt::ForegroundRole) {
            return QBrush(Qt::blue);
        }
        if (role == Qt::FontRole) {
            QFont font;
            font.setUnderline(true);
            return font;
        }
    }
    return QVariant();
}

QVariant CEvidenceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const kTitles[ColumnCount] = {"Id", "Relation", "Other member", "Source sentence", "PMID"};
    return section >= 0 && section < ColumnCount ? Tr(kTitles[section]) : QVariant();
}
