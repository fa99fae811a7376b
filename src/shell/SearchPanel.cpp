#include "SearchPanel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "DialogUnits.h"
#include "RelationKind.h"

namespace {

// The panel is a fixed dialog layout: every control sits on its
// rectangle in dialog units.
template <typename T>
T* Place(T* widget, const DialogUnits& du, int x, int y, int w, int h, int id = 0) {
    widget->setGeometry(du.ToPixels(x, y, w, h));
    if (id != 0) {
        widget->setProperty("controlId", id);
    }
    return widget;
}

QPlainTextEdit* MakeResultPane(QWidget* parent, const QString& name) {
    auto* pane = new QPlainTextEdit(parent);
    pane->setObjectName(name);
    pane->setReadOnly(true);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pane->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return pane;
}

}  // namespace

CSearchPanel::CSearchPanel(QWidget* parent) : QWidget(parent) {
    const DialogUnits du(font());
    setMinimumSize(du.ToPixels(106, 409));

    Place(new QGroupBox(tr("search"), this), du, 7, 7, 92, 76)->setObjectName(QStringLiteral("searchGroup"));

    auto* nodeLabel = Place(new QLabel(tr("node"), this), du, 13, 20, 24, 17);
    nodeLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_pNameEdit = Place(new QLineEdit(this), du, 40, 20, 51, 16, IDC_NODE_NAME);
    m_pNameEdit->setObjectName(QStringLiteral("nodeNameEdit"));
    nodeLabel->setBuddy(m_pNameEdit);

    Place(new QLabel(tr("relation"), this), du, 13, 40, 24, 17);
    m_pRelationCombo = new QComboBox(this);
    m_pRelationCombo->setObjectName(QStringLiteral("relationCombo"));
    for (int kind = 0; kind < kRelationKindCount; ++kind) {
        m_pRelationCombo->addItem(QString::fromUtf8(RelationKindCaption(kind)));
    }
    m_pRelationCombo->addItem(QString());  // "no kind"
    m_pRelationCombo->setCurrentIndex(-1);
    m_pRelationCombo->view()->setMinimumWidth(m_pRelationCombo->view()->sizeHintForColumn(0) + 24);
    Place(m_pRelationCombo, du, 40, 41, 51, 14, IDC_RELATION);

    Place(new QLabel(tr("dist."), this), du, 13, 60, 24, 17);
    m_pDistanceCombo = new QComboBox(this);
    m_pDistanceCombo->setObjectName(QStringLiteral("distanceCombo"));
    for (int distance = 0; distance <= 10; ++distance) {
        m_pDistanceCombo->addItem(QString::number(distance));
    }
    m_pDistanceCombo->setCurrentIndex(-1);
    Place(m_pDistanceCombo, du, 40, 62, 19, 14, IDC_DISTANCE);

    m_pSearchButton = Place(new QPushButton(tr("search"), this), du, 63, 61, 27, 14, IDC_SEARCH);
    m_pSearchButton->setObjectName(QStringLiteral("searchButton"));
    m_pSearchButton->setAutoDefault(false);
    connect(m_pSearchButton, &QPushButton::clicked, this, &CSearchPanel::searchRequested);
    connect(m_pNameEdit, &QLineEdit::returnPressed, m_pSearchButton, &QPushButton::click);

    Place(new QGroupBox(tr("node name"), this), du, 7, 91, 92, 96);
    m_pNodeNamePane = Place(MakeResultPane(this, QStringLiteral("nodeNamePane")), du, 13, 103, 80, 74,
                            IDC_NODE_PANE);

    Place(new QGroupBox(tr("text source"), this), du, 7, 195, 92, 198);
    m_pTextSourcePane = Place(MakeResultPane(this, QStringLiteral("textSourcePane")), du, 13, 208, 80,
                              178, IDC_SOURCE_PANE);

    // The group boxes only frame; keep them behind their controls.
    for (QGroupBox* group : findChildren<QGroupBox*>()) {
        group->lower();
    }
}

SearchRequest CSearchPanel::GetSearchRequest() const {
    SearchRequest request;
    request.name = m_pNameEdit->text().toStdString();
    request.kind = m_pRelationCombo->currentIndex();
    request.distance = m_pDistanceCombo->currentIndex();
    return request;
}

QWidget* CSearchPanel::GetControl(int id) const {
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->property("controlId").toInt() == id) {
            return child;
        }
    }
    return nullptr;
}

void CSearchPanel::SetNodeNameText(const QString& text) { m_pNodeNamePane->setPlainText(text); }

void CSearchPanel::SetTextSourceText(const QString& text) { m_pTextSourcePane->setPlainText(text); }

QString CSearchPanel::GetNodeNameText() const { return m_pNodeNamePane->toPlainText(); }

QString CSearchPanel::GetTextSourceText() const { return m_pTextSourcePane->toPlainText(); }
