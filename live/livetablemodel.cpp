#include "livetablemodel.h"

namespace corvina {

CLiveTableModel::CLiveTableModel(QObject* parent) : QAbstractTableModel(parent) {
    m_captions = {QStringLiteral("Date"), QStringLiteral("Time")};
}

void CLiveTableModel::SetDataColumns(const QStringList& captions) {
    beginResetModel();
    m_captions = QStringList{QStringLiteral("Date"), QStringLiteral("Time")} + captions;
    m_strCells.clear();
    m_cellStarts.clear();
    m_rowFirstCells.clear();
    endResetModel();
}

void CLiveTableModel::RemoveAllRows() {
    if (m_rowFirstCells.empty())
        return;
    beginRemoveRows({}, 0, rowCount() - 1);
    m_strCells.clear();
    m_cellStarts.clear();
    m_rowFirstCells.clear();
    endRemoveRows();
}

void CLiveTableModel::AddCell(const QString& text) {
    m_cellStarts.push_back(m_strCells.size());
    m_strCells += text;
}

void CLiveTableModel::InsertRowsOnTop(const QList<LiveRow>& rows) {
    if (rows.isEmpty())
        return;
    const int dataColumns = columnCount() - kFirstDataColumn;
    beginInsertRows({}, 0, static_cast<int>(rows.size()) - 1);
    for (const LiveRow& row : rows) {
        m_rowFirstCells.push_back(static_cast<qsizetype>(m_cellStarts.size()));
        AddCell(row.Date);
        AddCell(row.Time);
        const qsizetype n = qMin<qsizetype>(row.Values.size(), dataColumns);
        for (qsizetype k = 0; k < n; ++k)
            AddCell(row.Values[k]);
    }
    endInsertRows();
}

QString CLiveTableModel::Cell(int row, int column) const {
    const auto rows = static_cast<qsizetype>(m_rowFirstCells.size());
    if (row < 0 || row >= rows || column < 0)
        return {};
    const qsizetype stored = rows - 1 - row; // the newest row is on top
    const qsizetype first = m_rowFirstCells[stored];
    const qsizetype end = stored + 1 < rows ? m_rowFirstCells[stored + 1]
                                            : static_cast<qsizetype>(m_cellStarts.size());
    const qsizetype cell = first + column;
    if (cell >= end)
        return {};
    const qsizetype from = m_cellStarts[cell];
    const qsizetype to = cell + 1 < static_cast<qsizetype>(m_cellStarts.size())
                             ? m_cellStarts[cell + 1]
                             : m_strCells.size();
    return m_strCells.mid(from, to - from);
}

int CLiveTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rowFirstCells.size());
}

int CLiveTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_captions.size());
}

Qt::Alignment CLiveTableModel::ColumnAlignment(int column) const {
    return (column < kFirstDataColumn ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
}

QVariant CLiveTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return Cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(ColumnAlignment(index.column()));
    return {};
}

QVariant CLiveTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_captions.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_captions[section];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(ColumnAlignment(section));
    return {};
}

} // namespace corvina
