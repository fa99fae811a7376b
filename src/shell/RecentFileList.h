#pragma once

#include <QSettings>
#include <QStringList>

// The most-recently-used file list kept in the settings under
// "Recent File List" as File1..FileN, newest first.
class CRecentFileList {
public:
    explicit CRecentFileList(int maxEntries = 4) : m_nMaxEntries(maxEntries) {}

    void ReadList(QSettings& settings);
    void WriteList(QSettings& settings) const;
    // Moves an existing entry to the front (paths compare after cleaning)
    // or inserts it there, dropping the oldest beyond the limit.
    void Add(const QString& path);
    void Remove(const QString& path);

    const QStringList& Entries() const { return m_lstFiles; }
    int MaxEntries() const { return m_nMaxEntries; }

private:
    int m_nMaxEntries;
    QStringList m_lstFiles;
};
