// What the live task and the live table spend per row: splitting a received
// stream into lines, reading a line into cells, and adding batches of rows on
// top of a table that already holds many. A logger gives at most about 5 kB
// a second to the task, so each of these has a wide margin; the benchmarks
// show how wide, and that adding on top does not grow with the table.
#include "liverows.h"
#ifdef CORVINA_HAVE_LIVE_TABLE
#include "livetablemodel.h"
#endif

#include <benchmark/benchmark.h>

using namespace corvina;

namespace {

// A row as a logger with `values` output columns writes it.
QString RowLine(int sample, int values) {
    QString line = QStringLiteral("12.03.2019 10:%1:%2")
                       .arg(sample / 60 % 60, 2, 10, QLatin1Char('0'))
                       .arg(sample % 60, 2, 10, QLatin1Char('0'));
    for (int k = 0; k < values; ++k)
        line += QStringLiteral(" %1").arg(10.0 * (k + 1) + (sample % 100) * 0.01, 0, 'f', 2);
    return line;
}

QByteArray Stream(int rows, int values) {
    QByteArray bytes;
    for (int r = 0; r < rows; ++r)
        bytes += RowLine(r, values).toLatin1() + "\r\n";
    return bytes;
}

// 10,000 rows in reads of 512 bytes, split and parsed as the task does.
void BM_SplitAndParse(benchmark::State& state) {
    const int values = static_cast<int>(state.range(0));
    const QByteArray stream = Stream(10000, values);
    for (auto _ : state) {
        CLiveLineSplitter splitter;
        int rows = 0;
        for (qsizetype at = 0; at < stream.size(); at += 512) {
            const QString text = LiveTextFromBytes(
                QByteArrayView(stream).sliced(at, qMin<qsizetype>(512, stream.size() - at)));
            for (const LiveLine& line : splitter.Append(text))
                rows += ParseLiveRow(line.Text, ' ', values).has_value();
        }
        benchmark::DoNotOptimize(rows);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
    state.SetBytesProcessed(state.iterations() * stream.size());
}
BENCHMARK(BM_SplitAndParse)->Arg(3)->Arg(128)->Unit(benchmark::kMillisecond);

#ifdef CORVINA_HAVE_LIVE_TABLE
// Batches of 10 rows (what 150 ms bring at most) added on top of a table that
// already holds `held` rows.
void BM_InsertBatchOnTop(benchmark::State& state) {
    const int held = static_cast<int>(state.range(0));
    constexpr int kValues = 16;
    QStringList columns;
    for (int k = 0; k < kValues; ++k)
        columns << QStringLiteral("O%1").arg(k + 1);
    QList<LiveRow> batch;
    for (int r = 0; r < 10; ++r)
        batch << *ParseLiveRow(RowLine(r, kValues), ' ', kValues);
    CLiveTableModel model;
    model.SetDataColumns(columns);
    for (int n = 0; n < held; n += 10)
        model.InsertRowsOnTop(batch);
    for (auto _ : state)
        model.InsertRowsOnTop(batch);
    state.SetItemsProcessed(state.iterations() * batch.size());
    benchmark::DoNotOptimize(model.Cell(0, 2));
}
BENCHMARK(BM_InsertBatchOnTop)->Arg(0)->Arg(10000)->Arg(100000);

// 10,000 rows added in batches of 10, then every cell read once.
void BM_FillAndReadTenThousandRows(benchmark::State& state) {
    constexpr int kValues = 16;
    QStringList columns;
    for (int k = 0; k < kValues; ++k)
        columns << QStringLiteral("O%1").arg(k + 1);
    QList<LiveRow> batch;
    for (int r = 0; r < 10; ++r)
        batch << *ParseLiveRow(RowLine(r, kValues), ' ', kValues);
    for (auto _ : state) {
        CLiveTableModel model;
        model.SetDataColumns(columns);
        for (int n = 0; n < 10000; n += 10)
            model.InsertRowsOnTop(batch);
        qsizetype chars = 0;
        for (int r = 0; r < model.rowCount(); ++r)
            for (int c = 0; c < model.columnCount(); ++c)
                chars += model.Cell(r, c).size();
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_FillAndReadTenThousandRows)->Unit(benchmark::kMillisecond);
#endif

} // namespace
