// Shared pieces of the task tests: a private ports folder per test process,
// a host that records what a task shows, and a simulated logger offered as a
// COM port.
#pragma once

#include "loggersim.h"
#include "loggertasks.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <mutex>
#include <ostream>
#include <vector>

void PrintTo(const QString& text, std::ostream* os);
void PrintTo(const QByteArray& bytes, std::ostream* os);

namespace corvina::test {

inline constexpr int kSimPort = 7;
// A port number that names no device in the private ports folder.
inline constexpr int kMissingPort = 200;

// The logger protocol's own pacing, and a compressed one for tests that must
// walk the long failure paths (every line tried three times). The compressed
// one still gives an answering logger 200 ms per attempt.
inline constexpr TaskPacing kProtocolPacing{};
inline constexpr TaskPacing kQuickPacing{{2, 0, 20, 0, 0}, 2};
inline constexpr TaskPacing kQuickSilentPacing{{1, 0, 1, 0, 0}, 2};

struct ShownMessage {
    QString caption;
    QString text;
};

// Records progress and messages; the clock reads a fixed time.
class RecordingHost : public CTaskHost {
public:
    void SetProgress(int percent) override;
    void ShowError(const QString& caption, const QString& text) override;
    QDateTime LocalTime() override;

    void SetClock(const QDateTime& now) { m_Now = now; }
    std::vector<int> Progress() const;
    std::vector<ShownMessage> Messages() const;

private:
    mutable std::mutex m_Mutex;
    std::vector<int> m_Progress;
    std::vector<ShownMessage> m_Messages;
    QDateTime m_Now = QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7));
};

// A simulated logger on COM<kSimPort>, and a configuration whose link
// settings lead to it.
class SimulatedLogger : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The configuration the forms would hold, pointing at the simulator.
    LoggerConfig LinkedConfig(const QString& speed = QStringLiteral("115200")) const;

    // Runs a task as the worker thread would, on this thread.
    TaskOutcome Run(LoggerTaskKind task, const LoggerConfig& cfg,
                    const TaskPacing& pacing = kProtocolPacing);

    // The commands the simulator received, as text.
    QList<QByteArray> Wire() const { return m_Sim.ReceivedCommands(); }

    LoggerSim m_Sim;
    RecordingHost m_Host;
};

// The lines a send writes after the handshake up to the second "EWS 0", in
// the logger's order: the key lines, the channels (polynomials from P16
// down), the modem addresses and the SMS centre.
QList<QByteArray> ConfigurationLinesOnWire(const LoggerConfig& cfg);
// The SMS number lines 1 to 16.
QList<QByteArray> SmsLinesOnWire(const LoggerConfig& cfg);

// A child process that holds COM<port> open until it ends.
class PortHolder {
public:
    explicit PortHolder(int port);
    ~PortHolder();
    bool Holding() const { return m_bHolding; }

private:
    int m_nChild = -1;
    int m_nRelease = -1;
    bool m_bHolding = false;
};

} // namespace corvina::test
