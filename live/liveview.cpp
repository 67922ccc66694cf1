#include "liveview.h"

#include <QHeaderView>
#include <QTableWidget>

namespace corvina {

namespace {
constexpr int IDC_LIVE_TABLE = 1548;
}

CLiveView::CLiveView(CFormHost* host, QWidget* parent) : CView(138, host, parent) {}

void CLiveView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    auto* table = Item<QTableWidget>(IDC_LIVE_TABLE);
    if (!table || table->columnCount() > 0)
        return;
    table->setRowCount(0);
    table->setShowGrid(true);
    table->setColumnCount(2);
    table->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Time")});
    table->horizontalHeaderItem(0)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table->horizontalHeaderItem(1)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table->setColumnWidth(0, 65);
    table->setColumnWidth(1, 60);
}

} // namespace corvina
