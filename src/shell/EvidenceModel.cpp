#include "EvidenceModel.h"

#include <QBrush>
#include <QCoreApplication>
#include <QFont>
#include <QUrl>

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("EvidenceModel", text); }

// Escapes as QString::toHtmlEscaped does, on the UTF-8 bytes: the escaped
// characters are ASCII, so no multi-byte character is touched.
void AppendEscaped(std::string& html, const std::string& text, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
        const char c = text[i];
        switch (c) {
            case '<': html += "&lt;"; break;
            case '>': html += "&gt;"; break;
            case '&': html += "&amp;"; break;
            case '"': html += "&quot;"; break;
            default: html += c;
        }
    }
}

}  // namespace

void CEvidenceModel::SetRows(CEvidenceList rows) {
    beginResetModel();
    m_rows = std::move(rows);
    m_shown.clear();
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
    static const std::string open = "<b style=\"background-color:#ffe066\">";
    static const std::string close = "</b>";
    std::string html;
    html.reserve(row.sentence.size() + row.marks.size() * (open.size() + close.size()) + 16);
    size_t at = 0;
    for (const TextSpan& span : row.marks) {
        AppendEscaped(html, row.sentence, at, span.begin);
        html += open;
        AppendEscaped(html, row.sentence, span.begin, span.end);
        html += close;
        at = span.end;
    }
    AppendEscaped(html, row.sentence, at, row.sentence.size());
    return QString::fromStdString(html);
}

const CEvidenceModel::ShownRow* CEvidenceModel::Shown(int row) const {
    const EvidenceRow* source = Row(row);
    if (!source) {
        return nullptr;  // the records changed since the list was made
    }
    const size_t at = static_cast<size_t>(row);
    if (at >= m_shown.size()) {
        m_shown.resize(at + 1);
    }
    if (!m_shown[at]) {
        auto shown = std::make_unique<ShownRow>();
        shown->cells[IdColumn] = QString::fromStdString(source->id);
        shown->cells[KindColumn] = QString::fromStdString(source->kind);
        shown->cells[OtherColumn] = QString::fromStdString(source->other);
        shown->cells[SentenceColumn] = QString::fromStdString(source->sentence);
        shown->cells[PmidColumn] = QString::fromStdString(source->pmid);
        shown->html = MarkedHtml(*source);
        m_shown[at] = std::move(shown);
    }
    return m_shown[at].get();
}

QVariant CEvidenceModel::data(const QModelIndex& index, int role) const {
    const ShownRow* shown = index.isValid() ? Shown(index.row()) : nullptr;
    const int column = index.column();
    if (!shown || column < 0 || column >= ColumnCount) {
        return QVariant();
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return shown->cells[column];
    }
    if (column == SentenceColumn && role == HtmlRole) {
        return shown->html;
    }
    const EvidenceRow& row = *Row(index.row());
    if (column == PmidColumn && row.pmidIsLink) {
        if (role == UrlRole) {
            return QUrl(QString::fromStdString(PubmedUrl(row.pmid)));
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
