// Shared pieces of the link tests: a pseudo-terminal that plays the logger's
// side of the cable, a ports directory of our own, and a catcher for the
// debug traces.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <thread>
#include <vector>

namespace corvina::test {

// The master side of a pseudo-terminal; the port under test opens the slave.
class PtyPeer {
public:
    struct Step {
        int DelayMs;     // after the previous step
        QByteArray Data; // written to the port's receive side
    };

    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool IsValid() const { return m_nMaster >= 0; }
    QString SlavePath() const { return m_SlavePath; }

    // Plays the steps on a thread of its own, starting now.
    void Play(std::vector<Step> steps);
    void Wait();

    // Reads what the port wrote, waiting up to waitMs for each chunk, until
    // `count` bytes came or a wait ran out.
    QByteArray Receive(int count, int waitMs);

    // Hangs up, as an unplugged cable does for a USB adapter.
    void HangUp();

private:
    int m_nMaster = -1;
    QString m_SlavePath;
    std::thread m_Player;
};

// A ports directory in a temporary folder, set as CORVINASETUP_PORTS while
// the object lives.
class PortsDirectoryFixture {
public:
    PortsDirectoryFixture();
    ~PortsDirectoryFixture();

    QString Path() const { return m_Dir.path(); }
    // Makes COM<port> a link to target.
    bool Link(int port, const QString& target) const;
    // Hides the machine's own serial devices behind links that lead nowhere,
    // so that results do not depend on the hardware of the test machine.
    void HideDefaultDevices() const;

private:
    QTemporaryDir m_Dir;
    QByteArray m_OldValue;
    bool m_bHadValue;
};

// Collects the debug traces while it lives.
class TraceCatcher {
public:
    TraceCatcher();
    ~TraceCatcher();
    static QStringList Lines();
};

inline int ElapsedMs(std::chrono::steady_clock::time_point start) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count());
}

} // namespace corvina::test
