#include "RecentFileList.h"

#include <QDir>

namespace {

const QString kSection = QStringLiteral("Recent File List");

QString EntryKey(int i) { return QStringLiteral("File%1").arg(i + 1); }

}  // namespace

void CRecentFileList::ReadList(QSettings& settings) {
    m_lstFiles.clear();
    settings.beginGroup(kSection);
    for (int i = 0; i < m_nMaxEntries; ++i) {
        const QString path = settings.value(EntryKey(i)).toString();
        if (!path.isEmpty() && !m_lstFiles.contains(path)) {
            m_lstFiles << path;
        }
    }
    settings.endGroup();
}

void CRecentFileList::WriteList(QSettings& settings) const {
    settings.beginGroup(kSection);
    for (int i = 0; i < m_nMaxEntries; ++i) {
        if (i < m_lstFiles.size()) {
            settings.setValue(EntryKey(i), m_lstFiles[i]);
        } else {
            settings.remove(EntryKey(i));
        }
    }
    settings.endGroup();
}

void CRecentFileList::Add(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    if (clean.isEmpty() || m_nMaxEntries <= 0) {
        return;
    }
    m_lstFiles.removeAll(clean);
    m_lstFiles.prepend(clean);
    while (m_lstFiles.size() > m_nMaxEntries) {
        m_lstFiles.removeLast();
    }
}

void CRecentFileList::Remove(const QString& path) { m_lstFiles.removeAll(QDir::cleanPath(path)); }
