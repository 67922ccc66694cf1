// Speed of the configuration script: writing a whole configuration, parsing it
// line by line as a file open does, and parsing it as one logger answer.
// items_per_second is lines per second.
#include "configparser.h"
#include "configscript.h"
#include "tessarsetupdoc.h"

#include <QBuffer>

#include <benchmark/benchmark.h>

namespace {

using namespace corvina;

LoggerConfig BusyConfig() {
    LoggerConfig cfg;
    ResetToDefaults(cfg);
    cfg.System.Name = "Station Nord";
    for (int i = 0; i < kOutputChannelsUsed; ++i)
        cfg.Outputs[size_t(i)].Alias = QStringLiteral("Output %1").arg(i);
    for (int i = 0; i < kPolynomials; ++i)
        cfg.Polys[size_t(i)] = {0.25f * float(i), 1.5f, -3e-7f, 1e10f};
    for (int i = 0; i < kSmsNumbers; ++i)
        cfg.SmsNumber[size_t(i)] = QStringLiteral("+4917012345%1").arg(i);
    return cfg;
}

const int kLines = int(ConfigScriptLayout().size());

void BM_WriteConfigScript(benchmark::State& state) {
    const LoggerConfig cfg = BusyConfig();
    for (auto _ : state) {
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        WriteConfigScript(cfg, out);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_WriteConfigScript);

void BM_LoadConfigScript(benchmark::State& state) {
    QByteArray file = EncodeConfigScript(BusyConfig()).bytes;
    LoggerConfig cfg;
    ResetToDefaults(cfg);
    for (auto _ : state) {
        QBuffer in(&file);
        in.open(QIODevice::ReadOnly);
        const LoadReport report = LoadConfigScript(cfg, in);
        benchmark::DoNotOptimize(report.linesRead);
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_LoadConfigScript);

void BM_ParseAnswer(benchmark::State& state) {
    const QByteArray answer = EncodeConfigScript(BusyConfig()).bytes;
    LoggerConfig cfg;
    ResetToDefaults(cfg);
    for (auto _ : state) {
        ParseConfigScript(cfg, answer);
        benchmark::DoNotOptimize(cfg.System.Name.data());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ParseAnswer);

// A hostile answer: one 10000-byte line of commas must not be quadratic.
void BM_ParseCommaFlood(benchmark::State& state) {
    const QByteArray answer = "o 1" + QByteArray(int(state.range(0)), ',') + "\r";
    LoggerConfig cfg;
    ResetToDefaults(cfg);
    for (auto _ : state)
        ParseConfigScript(cfg, answer);
    state.SetBytesProcessed(state.iterations() * answer.size());
}
BENCHMARK(BM_ParseCommaFlood)->Arg(1000)->Arg(10000)->Arg(100000);

} // namespace

BENCHMARK_MAIN();
