#include "recentfilelist.h"

#include <QFileInfo>
#include <QSettings>

namespace corvina {

namespace {
const QString kSection = QStringLiteral("Recent File List");

bool SameFile(const QString& a, const QString& b) {
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}
} // namespace

void CRecentFileList::ReadList(QSettings& settings) {
    m_files.clear();
    settings.beginGroup(kSection);
    for (int n = 1; n <= m_size; ++n) {
        const QString path = settings.value(QStringLiteral("File%1").arg(n)).toString();
        if (!path.isEmpty())
            m_files << path;
    }
    settings.endGroup();
}

void CRecentFileList::WriteList(QSettings& settings) const {
    settings.beginGroup(kSection);
    for (int n = 1; n <= m_size; ++n) {
        const QString key = QStringLiteral("File%1").arg(n);
        if (n <= m_files.size())
            settings.setValue(key, m_files[n - 1]);
        else
            settings.remove(key);
    }
    settings.endGroup();
}

void CRecentFileList::Add(const QString& path) {
    Remove(path);
    m_files.prepend(QFileInfo(path).absoluteFilePath());
    while (m_files.size() > m_size)
        m_files.removeLast();
}

void CRecentFileList::Remove(const QString& path) {
    for (int i = m_files.size() - 1; i >= 0; --i)
        if (SameFile(m_files[i], path))
            m_files.removeAt(i);
}

} // namespace corvina
