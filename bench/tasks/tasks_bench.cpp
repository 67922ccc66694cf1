// A whole send and a whole retrieve against a logger that answers at once,
// measured against the protocol's floor: the fixed sleeps plus the shortest
// time each read can take (a read with an answer ends 10 ms after its last
// byte, an empty one after 100 ms, a full one at once). The pacing is the
// protocol's, so the ratio shows what the PC adds on top; it should stay at
// or below 1.05.
#include "loggersim.h"
#include "loggertasks.h"
#include "simanswers.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

using namespace corvina;

namespace {

constexpr int kPort = 7;

class QuietHost : public CTaskHost {
public:
    void SetProgress(int) override {}
    void ShowError(const QString& caption, const QString& text) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        failed = true;
    }
    bool failed = false;
};

double FloorSeconds(const ExchangeStatistics& s, const TaskPacing& pacing) {
    const double interval = pacing.Timeouts.ReadIntervalTimeout / 1000.0;
    const double total = pacing.Timeouts.ReadTotalTimeoutConstant / 1000.0;
    return double(s.sleptMicroseconds) / 1e6 + s.partReads * interval + s.emptyReads * total;
}

void RunTask(benchmark::State& state, LoggerTaskKind task) {
    QTemporaryDir ports;
    qputenv("CORVINASETUP_PORTS", ports.path().toLocal8Bit());
    LoggerSim sim;
    QString error;
    if (!sim.Start(kPort, &error)) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    LoggerConfig cfg = SimFactoryConfig();
    cfg.Link.PortName = QStringLiteral("COM%1").arg(kPort);
    cfg.Link.PortSpeed = QStringLiteral("115200");
    cfg.Link.SetSystemTime = 1;
    double ratio = 0;
    double floor = 0;
    for (auto _ : state) {
        QuietHost host;
        CCommandExchange exchange(theSerialPort);
        const auto start = std::chrono::steady_clock::now();
        const TaskOutcome outcome = RunLoggerTask(task, cfg, host, exchange);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (outcome.result != kResultOk || host.failed || !outcome.noResponseList.isEmpty()) {
            state.SkipWithError("the task did not go through");
            break;
        }
        floor = FloorSeconds(exchange.Statistics(), exchange.Pacing());
        ratio = seconds / floor;
        state.SetIterationTime(seconds);
    }
    sim.Stop();
    state.counters["floor_s"] = floor;
    state.counters["ratio_to_floor"] = ratio;
    std::printf("%s: %.3f x the protocol's floor of %.2f s\n",
                task == LoggerTaskKind::Send ? "send" : "retrieve", ratio, floor);
}

void BM_FullSend(benchmark::State& state) {
    RunTask(state, LoggerTaskKind::Send);
}
void BM_FullRetrieve(benchmark::State& state) {
    RunTask(state, LoggerTaskKind::Retrieve);
}

BENCHMARK(BM_FullSend)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_FullRetrieve)->Iterations(3)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace
