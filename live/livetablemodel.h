// The rows of the live table: Date, Time and the data columns, newest row on
// top. Rows only ever arrive at the top and the whole table is emptied at
// once, so they are kept in order of arrival in one flat text with the
// starts of their cells: a long measurement costs little more than its text.
#pragma once

#include "liverows.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace corvina {

class CLiveTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kDateColumn = 0;
    static constexpr int kTimeColumn = 1;
    static constexpr int kFirstDataColumn = 2;

    explicit CLiveTableModel(QObject* parent = nullptr);

    // Date and Time, then these data columns; removes every row.
    void SetDataColumns(const QStringList& captions);
    // Removes every row; the columns stay.
    void RemoveAllRows();
    // Adds rows given in order of arrival: the last one ends up on top. A row
    // with more values than the table has data columns shows the first ones;
    // one with fewer leaves the other cells empty.
    void InsertRowsOnTop(const QList<LiveRow>& rows);

    // The text of a cell; row 0 is the top (newest) row.
    QString Cell(int row, int column) const;
    QStringList Captions() const { return m_captions; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void AddCell(const QString& text);
    Qt::Alignment ColumnAlignment(int column) const;

    QStringList m_captions;
    // Every cell's text, one after another, rows in order of arrival.
    QString m_strCells;
    // Where each stored cell starts in m_strCells.
    std::vector<qsizetype> m_cellStarts;
    // The index in m_cellStarts of each stored row's first cell.
    std::vector<qsizetype> m_rowFirstCells;
};

} // namespace corvina
