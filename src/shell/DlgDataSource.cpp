#include "DlgDataSource.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

CDlgDataSource::CDlgDataSource(const IUserPrompt::DataSourceOffer& offer, const DataSourceChoice& choice,
                               std::function<bool(std::string&)> browse, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("dialogDataSource"));
    setWindowTitle(tr("Connect to Data Source"));

    m_pByName = new QRadioButton(tr("Configured data source:"), this);
    m_pByName->setObjectName(QStringLiteral("byDataSource"));
    m_pNames = new QComboBox(this);
    m_pNames->setObjectName(QStringLiteral("dataSourceNames"));
    for (const DataSourceInfo& s : offer.sources) {
        m_pNames->addItem(QStringLiteral("%1 (%2)").arg(QString::fromStdString(s.name), QString::fromStdString(s.driver)),
                          QString::fromStdString(s.name));
    }
    m_pByFile = new QRadioButton(tr("SQLite database file:"), this);
    m_pByFile->setObjectName(QStringLiteral("byDatabaseFile"));
    m_pFile = new QLineEdit(this);
    m_pFile->setObjectName(QStringLiteral("databaseFile"));
    auto* browseButton = new QPushButton(tr("Browse..."), this);
    browseButton->setObjectName(QStringLiteral("browseDatabaseFile"));
    connect(browseButton, &QPushButton::clicked, this, [this, browse] {
        std::string path = m_pFile->text().toStdString();
        if (browse && browse(path)) {
            m_pFile->setText(QString::fromStdString(path));
            m_pByFile->setChecked(true);
        }
    });
    m_pByString = new QRadioButton(tr("Connection string:"), this);
    m_pByString->setObjectName(QStringLiteral("byConnectString"));
    m_pConnect = new QComboBox(this);
    m_pConnect->setObjectName(QStringLiteral("connectString"));
    m_pConnect->setEditable(true);
    m_pConnect->setMinimumContentsLength(40);
    for (const std::string& s : offer.recent) {
        m_pConnect->addItem(QString::fromStdString(s));
    }

    switch (choice.kind) {
    case DataSourceChoice::Kind::DataSource:
        m_pByName->setChecked(true);
        m_pNames->setCurrentIndex(std::max(0, m_pNames->findData(QString::fromStdString(choice.value))));
        break;
    case DataSourceChoice::Kind::DatabaseFile:
        m_pByFile->setChecked(true);
        m_pFile->setText(QString::fromStdString(choice.value));
        break;
    case DataSourceChoice::Kind::ConnectString:
        m_pByString->setChecked(true);
        m_pConnect->setEditText(QString::fromStdString(choice.value));
        break;
    }
    // Touching a field chooses its way.
    connect(m_pNames, QOverload<int>::of(&QComboBox::activated), m_pByName, [this] { m_pByName->setChecked(true); });
    connect(m_pFile, &QLineEdit::textEdited, m_pByFile, [this] { m_pByFile->setChecked(true); });
    connect(m_pConnect, &QComboBox::editTextChanged, m_pByString, [this] { m_pByString->setChecked(true); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_pByName, 0, 0);
    grid->addWidget(m_pNames, 0, 1, 1, 2);
    grid->addWidget(m_pByFile, 1, 0);
    grid->addWidget(m_pFile, 1, 1);
    grid->addWidget(browseButton, 1, 2);
    grid->addWidget(m_pByString, 2, 0);
    grid->addWidget(m_pConnect, 2, 1, 1, 2);
    grid->addWidget(buttons, 3, 0, 1, 3);
}

DataSourceChoice CDlgDataSource::Choice() const {
    DataSourceChoice choice;
    if (m_pByFile->isChecked()) {
        choice.kind = DataSourceChoice::Kind::DatabaseFile;
        choice.value = m_pFile->text().trimmed().toStdString();
    } else if (m_pByString->isChecked()) {
        choice.kind = DataSourceChoice::Kind::ConnectString;
        choice.value = m_pConnect->currentText().trimmed().toStdString();
    } else {
        choice.kind = DataSourceChoice::Kind::DataSource;
        choice.value = m_pNames->currentData().toString().toStdString();
    }
    return choice;
}
