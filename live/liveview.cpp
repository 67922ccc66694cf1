#include "liveview.h"

#include "activity.h"
#include "messagebox.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace corvina {

namespace {
constexpr int kDateWidth = 65;
constexpr int kTimeWidth = 60;
constexpr int kDataWidth = 60;
} // namespace

CLiveView::CLiveView(CFormHost* host, QWidget* parent)
    : CView(138, host, parent), m_pModel(new CLiveTableModel(this)) {
    m_pTable = Item<QTableView>(IDC_LIVE_TABLE);
    m_pText = Item<QLineEdit>(IDC_LIVE_TEXT);
    if (m_pTable) {
        m_pTable->setModel(m_pModel);
        m_pTable->horizontalHeader()->setDefaultSectionSize(kDataWidth);
        // Rows of one height: a long table scrolls without measuring them.
        m_pTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        RebuildColumns({});
    }

    // The text line shows the text received but not yet split into lines; what
    // the user types there goes nowhere near the received stream.
    m_bindings.Custom(IDC_LIVE_TEXT, [this](CDataExchange& dx, QWidget* control, LoggerConfig&) {
        auto* edit = qobject_cast<QLineEdit*>(control);
        if (!edit)
            return true;
        if (dx.m_bSaveAndValidate)
            m_strLiveText = edit->text();
        else
            edit->setText(m_strLiveText);
        return true;
    });
    m_bindings.Control(IDC_LIVE_TABLE);

    if (auto* b = Item<QPushButton>(IDC_LIVE_START))
        connect(b, &QPushButton::clicked, this, &CLiveView::OnStart);
    if (auto* b = Item<QPushButton>(IDC_LIVE_STOP))
        connect(b, &QPushButton::clicked, this, &CLiveView::OnStop);
    if (auto* b = Item<QPushButton>(IDC_LIVE_MEASURE))
        connect(b, &QPushButton::clicked, this, &CLiveView::OnMeasure);

    m_rowTimer.setSingleShot(true);
    m_rowTimer.setInterval(kRowBatchMs);
    connect(&m_rowTimer, &QTimer::timeout, this, &CLiveView::FlushRows);
    connect(&m_runner, &CLiveTaskRunner::received, this, &CLiveView::OnReceived);
    connect(&m_runner, &CLiveTaskRunner::errorMessage, this,
            [](const QString& caption, const QString& text) {
                MessageBoxOk(nullptr, caption, text, MessageIcon::Error);
            });
}

CLiveView::~CLiveView() {
    disconnect(&m_runner, nullptr, this, nullptr);
    m_runner.Stop();
}

void CLiveView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    // Date and Time are always the first two columns, so the table never
    // lacks them, whatever the outputs were when the form was first updated.
    if (m_pTable)
        m_pTable->setShowGrid(true);
}

void CLiveView::OnUpdate() {
    RebuildColumns(LiveDataColumns(Config()));
    if (ActivityFlags.load() == kActivityLive) {
        // The task goes on, and may fill the new table, until the box is closed.
        MessageBoxOk(this, QStringLiteral("Notification"), QStringLiteral("LiveView Stopped"),
                     MessageIcon::None);
        m_runner.Stop();
    }
}

void CLiveView::RebuildColumns(const QStringList& captions) {
    m_rowTimer.stop();
    m_waitingRows.clear();
    m_pModel->SetDataColumns(captions);
    if (!m_pTable)
        return;
    QHeaderView* header = m_pTable->horizontalHeader();
    header->resizeSection(CLiveTableModel::kDateColumn, kDateWidth);
    header->resizeSection(CLiveTableModel::kTimeColumn, kTimeWidth);
    for (int c = CLiveTableModel::kFirstDataColumn; c < m_pModel->columnCount(); ++c)
        header->resizeSection(c, kDataWidth);
}

void CLiveView::OnStart() {
    if (ActivityFlags.load() != 0)
        return;
    // The task works on what the configuration holds now.
    const LiveTaskSetup setup = LiveTaskSetupFrom(Config());
    if (!m_runner.Start(setup))
        return;
    RebuildColumns(setup.Columns);
    m_strLiveText.clear();
}

void CLiveView::OnStop() {
    m_runner.Stop();
}

void CLiveView::OnReceived(const LiveBatch& batch) {
    if (!batch.LastLine.isEmpty() && m_pText)
        m_pText->setText(batch.LastLine);
    m_strLiveText = batch.Pending;
    if (batch.Rows.isEmpty())
        return;
    m_waitingRows += batch.Rows;
    if (!m_rowTimer.isActive())
        m_rowTimer.start();
}

void CLiveView::FlushRows() {
    m_rowTimer.stop();
    if (m_waitingRows.isEmpty())
        return;
    m_pModel->InsertRowsOnTop(m_waitingRows);
    m_waitingRows.clear();
}

} // namespace corvina
