// The list of the most recently used files, newest first, kept in the
// per-user settings under "Recent File List" as File1 ... File<n>.
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace corvina {

class CRecentFileList {
public:
    explicit CRecentFileList(int size = 4) : m_size(size) {}

    void ReadList(QSettings& settings);
    void WriteList(QSettings& settings) const;
    // Moves path to the front; the oldest entry falls off a full list.
    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Entries() const { return m_files; }

private:
    int m_size;
    QStringList m_files;
};

} // namespace corvina
