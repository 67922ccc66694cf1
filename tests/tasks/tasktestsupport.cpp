#include "tasktestsupport.h"

#include "configscript.h"
#include "portmap.h"
#include "serialport.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

void PrintTo(const QByteArray& bytes, std::ostream* os) {
    QByteArray shown = bytes;
    shown.replace("\r", "\\r").replace("\n", "\\n");
    *os << '"' << shown.toStdString() << '"';
}

namespace corvina::test {

namespace {

// Test processes run side by side; each offers its ports in a folder of its own.
class PortsFolder : public testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(m_Dir.isValid());
        qputenv("CORVINASETUP_PORTS", m_Dir.path().toLocal8Bit());
    }

private:
    QTemporaryDir m_Dir;
};
[[maybe_unused]] const auto* const kPortsFolder =
    testing::AddGlobalTestEnvironment(new PortsFolder);

} // namespace

void RecordingHost::SetProgress(int percent) {
    std::lock_guard lock(m_Mutex);
    m_Progress.push_back(percent);
}

void RecordingHost::ShowError(const QString& caption, const QString& text) {
    std::lock_guard lock(m_Mutex);
    m_Messages.push_back({caption, text});
}

QDateTime RecordingHost::LocalTime() {
    std::lock_guard lock(m_Mutex);
    return m_Now;
}

std::vector<int> RecordingHost::Progress() const {
    std::lock_guard lock(m_Mutex);
    return m_Progress;
}

std::vector<ShownMessage> RecordingHost::Messages() const {
    std::lock_guard lock(m_Mutex);
    return m_Messages;
}

void SimulatedLogger::SetUp() {
    QString error;
    ASSERT_TRUE(m_Sim.Start(kSimPort, &error)) << error.toStdString();
}

void SimulatedLogger::TearDown() {
    theSerialPort.Close();
    m_Sim.Stop();
}

LoggerConfig SimulatedLogger::LinkedConfig(const QString& speed) const {
    LoggerConfig cfg;
    ResetToDefaults(cfg);
    cfg.Link.PortName = QStringLiteral("COM%1").arg(kSimPort);
    cfg.Link.PortSpeed = speed;
    return cfg;
}

TaskOutcome SimulatedLogger::Run(LoggerTaskKind task, const LoggerConfig& cfg,
                                 const TaskPacing& pacing) {
    CCommandExchange exchange(theSerialPort, pacing);
    return RunLoggerTask(task, cfg, m_Host, exchange);
}

namespace {
QByteArray WireLine(const LoggerConfig& cfg, int kind, int channel = 0) {
    return BuildScriptLine(cfg, kind, channel).toLatin1() + '\r';
}
} // namespace

QList<QByteArray> ConfigurationLinesOnWire(const LoggerConfig& cfg) {
    QList<QByteArray> lines = {"EWS 0\r"};
    for (int kind :
         {3, 4, 5, 7, 6, 9, 11, 12, 13, 14, 15, 16, 17, 19, 20, 21, 22, 23, 24, 25, 26, 27})
        lines << WireLine(cfg, kind);
    const struct {
        int kind, first, last;
    } kLoops[] = {{35, 1, 8}, {36, 9, 20}, {37, 1, 8}, {38, 1, 19},
                  {39, 1, 8}, {40, 1, 32}, {41, 1, 16}};
    for (const auto& loop : kLoops)
        for (int ch = loop.first; ch <= loop.last; ++ch)
            lines << WireLine(cfg, loop.kind, ch);
    for (int p = 16; p >= 1; --p)
        lines << WireLine(cfg, 42, p);
    for (int kind : {29, 30, 31, 32, 33, 34, 28})
        lines << WireLine(cfg, kind);
    return lines;
}

QList<QByteArray> SmsLinesOnWire(const LoggerConfig& cfg) {
    QList<QByteArray> lines;
    for (int n = 1; n <= 16; ++n)
        lines << WireLine(cfg, 43, n);
    return lines;
}

PortHolder::PortHolder(int port) {
    // The child may only make system calls: other threads of this process
    // (the simulator's) may hold locks that a fork does not release.
    const QByteArray device = QFile::encodeName(PortDevicePath(port));
    int ready[2];
    int release[2];
    if (pipe(ready) != 0)
        return;
    if (pipe(release) != 0) {
        close(ready[0]);
        close(ready[1]);
        return;
    }
    const pid_t child = fork();
    if (child == 0) {
        char status = 'n';
        const int fd = open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0)
            status = 'y';
        (void)!write(ready[1], &status, 1);
        (void)!read(release[0], &status, 1);
        _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    m_nChild = child;
    m_nRelease = release[1];
    char status = 0;
    m_bHolding = child > 0 && read(ready[0], &status, 1) == 1 && status == 'y';
    close(ready[0]);
}

PortHolder::~PortHolder() {
    if (m_nRelease >= 0) {
        const char go = 'g';
        (void)!write(m_nRelease, &go, 1);
        close(m_nRelease);
    }
    if (m_nChild > 0)
        waitpid(m_nChild, nullptr, 0);
}

} // namespace corvina::test
