// Form 9: the live measurements. A table whose columns follow the output
// channels, one row per dated line the logger writes (newest on top), the
// last line received, and the buttons that start and stop the live task.
//
// The form has no link panel: the task listens on the port and bit rate last
// stored from another form's link panel.
#pragma once

#include "livetablemodel.h"
#include "livetask.h"
#include "view.h"

#include <QTimer>

class QLineEdit;
class QTableView;

namespace corvina {

inline constexpr int IDC_LIVE_TABLE = 1548;
inline constexpr int IDC_LIVE_TEXT = 1549;
inline constexpr int IDC_LIVE_START = 1550;
inline constexpr int IDC_LIVE_MEASURE = 1551;
inline constexpr int IDC_LIVE_STOP = 1552;

class CLiveView : public CView {
    Q_OBJECT
public:
    explicit CLiveView(CFormHost* host, QWidget* parent = nullptr);
    // Ends a running task and waits for its worker before the form goes.
    ~CLiveView() override;

    void OnInitialUpdate() override;
    // Rebuilds the data columns from the output channels and empties the
    // table; a running live task is stopped after the notification
    // "LiveView Stopped".
    void OnUpdate() override;

    // The buttons.
    void OnStart();
    void OnStop();
    void OnMeasure() {}

    CLiveTableModel* Model() const { return m_pModel; }
    QTableView* Table() const { return m_pTable; }
    CLiveTaskRunner& Runner() { return m_runner; }
    // Received text not yet split into lines; the text line shows it when the
    // form is loaded.
    const QString& LiveText() const { return m_strLiveText; }

    // Rows arrive in batches: the table takes them at most this often, so a
    // fast logger cannot keep the window from answering.
    static constexpr int kRowBatchMs = 150;
    // Puts the rows waiting for the next batch into the table now.
    void FlushRows();

private:
    void OnReceived(const LiveBatch& batch);
    void RebuildColumns(const QStringList& captions);

    CLiveTableModel* m_pModel;
    QTableView* m_pTable = nullptr;
    QLineEdit* m_pText = nullptr;
    QString m_strLiveText;
    QList<LiveRow> m_waitingRows;
    QTimer m_rowTimer;
    CLiveTaskRunner m_runner;
};

} // namespace corvina
