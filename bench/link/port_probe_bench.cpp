// How long the port probe of every new document takes on this machine: with
// the machine's own devices, and with an empty ports directory that hides
// them (a machine without any serial device).
#include "portmap.h"
#include "portprobe.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtGlobal>

namespace {

void SilenceTraces(QtMsgType, const QMessageLogContext&, const QString&) {}

void BM_FillPortPresence_ThisMachine(benchmark::State& state) {
    qInstallMessageHandler(SilenceTraces);
    qunsetenv("CORVINASETUP_PORTS");
    corvina::LoggerConfig cfg;
    for (auto _ : state) {
        corvina::FillPortPresence(cfg);
        benchmark::DoNotOptimize(cfg.PortPresence.data());
    }
    int found = 0;
    for (int port = 1; port <= 255; ++port) {
        found += cfg.PortPresence[port];
    }
    state.counters["ports_found"] = found;
}
BENCHMARK(BM_FillPortPresence_ThisMachine)->Unit(benchmark::kMillisecond);

void BM_FillPortPresence_NoDevices(benchmark::State& state) {
    qInstallMessageHandler(SilenceTraces);
    QTemporaryDir ports;
    qputenv("CORVINASETUP_PORTS", ports.path().toLocal8Bit());
    for (int port = 1; port <= 96; ++port) {
        if (QFileInfo::exists(corvina::PortDevicePath(port))) {
            QFile::link(ports.path() + "/nothing-here", corvina::PortLinkPath(port));
        }
    }
    corvina::LoggerConfig cfg;
    for (auto _ : state) {
        corvina::FillPortPresence(cfg);
        benchmark::DoNotOptimize(cfg.PortPresence.data());
    }
    qunsetenv("CORVINASETUP_PORTS");
}
BENCHMARK(BM_FillPortPresence_NoDevices)->Unit(benchmark::kMillisecond);

} // namespace
