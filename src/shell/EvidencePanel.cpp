#include "EvidencePanel.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// Draws the sentence column from its HTML, so that marker words stand out.
class CMarkedSentenceDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString html = index.data(CEvidenceModel::HtmlRole).toString();
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : nullptr;
        if (style) {
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        }
        QTextDocument document;
        document.setDefaultFont(opt.font);
        document.setDocumentMargin(2);
        document.setHtml(html);
        painter->save();
        painter->translate(opt.rect.topLeft());
        painter->setClipRect(QRect(QPoint(0, 0), opt.rect.size()));
        QAbstractTextDocumentLayout::PaintContext context;
        if (opt.state & QStyle::State_Selected) {
            context.palette.setColor(QPalette::Text, opt.palette.color(QPalette::HighlightedText));
        }
        document.documentLayout()->draw(painter, context);
        painter->restore();
    }
};

}  // namespace

CEvidencePanel::CEvidencePanel(QWidget* parent)
    : QWidget(parent), m_opener([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("evidencePanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_pHeading = new QLabel(tr("Click or find a sphere to list its interactions."), this);
    m_pHeading->setObjectName(QStringLiteral("evidenceHeading"));
    layout->addWidget(m_pHeading);

    m_pTable = new QTableView(this);
    m_pTable->setObjectName(QStringLiteral("evidenceTable"));
    m_pTable->setModel(&m_model);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setWordWrap(false);
    m_pTable->verticalHeader()->hide();
    m_pTable->horizontalHeader()->setStretchLastSection(false);
    m_pTable->horizontalHeader()->setSectionResizeMode(CEvidenceModel::SentenceColumn, QHeaderView::Stretch);
    // Fixed widths: measuring thousands of rows at every click would be slow.
    const int widths[][2] = {{CEvidenceModel::IdColumn, 70},
                             {CEvidenceModel::KindColumn, 150},
                             {CEvidenceModel::OtherColumn, 120},
                             {CEvidenceModel::PmidColumn, 80}};
    for (const auto& width : widths) {
        m_pTable->setColumnWidth(width[0], width[1]);
    }
    m_pTable->setItemDelegateForColumn(CEvidenceModel::SentenceColumn, new CMarkedSentenceDelegate(m_pTable));
    layout->addWidget(m_pTable);

    connect(m_pTable, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() == CEvidenceModel::PmidColumn) {
            OpenPmid(index.row());
        }
    });
    connect(m_pTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                const EvidenceRow* row = m_model.Row(current.row());
                if (row && m_onRowSelected) {
                    m_onRowSelected(*row);
                }
            });
}

void CEvidencePanel::ShowEvidenceFor(const CInteractionStore& store, const CNode* graph, const std::string& name) {
    m_subject = QString::fromStdString(name);
    m_model.SetRows(ListEvidence(store, graph, m_index, name));
    const int rows = m_model.rowCount();
    m_pHeading->setText(rows == 1 ? tr("%1: 1 interaction").arg(m_subject)
                                  : tr("%1: %2 interactions").arg(m_subject).arg(rows));
}

bool CEvidencePanel::OpenPmid(int row) {
    const QUrl url = m_model.index(row, CEvidenceModel::PmidColumn).data(CEvidenceModel::UrlRole).toUrl();
    if (!url.isValid() || url.isEmpty()) {
        return false;
    }
    if (m_opener) {
        m_opener(url);
    }
    return true;
}
