#pragma once

#include <functional>
#include <string>

#include <QDialog>

#include "UserPrompt.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

// "Connect to Data Source": a configured data source, a SQLite database
// file, or a typed connection string (the remembered ones offered).
class CDlgDataSource : public QDialog {
    Q_OBJECT
public:
    // `browse` picks a database file; false when the curator cancels it.
    CDlgDataSource(const IUserPrompt::DataSourceOffer& offer, const DataSourceChoice& choice,
                   std::function<bool(std::string&)> browse, QWidget* parent = nullptr);

    DataSourceChoice Choice() const;

private:
    QRadioButton* m_pByName;
    QRadioButton* m_pByFile;
    QRadioButton* m_pByString;
    QComboBox* m_pNames;
    QLineEdit* m_pFile;
    QComboBox* m_pConnect;
};
