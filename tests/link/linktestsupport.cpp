#include "linktestsupport.h"

#include "portmap.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

namespace corvina::test {

PtyPeer::PtyPeer() {
    m_nMaster = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (m_nMaster < 0 || grantpt(m_nMaster) != 0 || unlockpt(m_nMaster) != 0 ||
        ptsname_r(m_nMaster, name, sizeof name) != 0) {
        HangUp();
        return;
    }
    m_SlavePath = QString::fromLocal8Bit(name);
}

PtyPeer::~PtyPeer() {
    Wait();
    HangUp();
}

void PtyPeer::Play(std::vector<Step> steps) {
    Wait();
    const int master = m_nMaster;
    m_Player = std::thread([master, steps = std::move(steps)] {
        for (const Step& step : steps) {
            std::this_thread::sleep_for(std::chrono::milliseconds(step.DelayMs));
            qsizetype done = 0;
            while (done < step.Data.size()) {
                const ssize_t rc = write(master, step.Data.constData() + done,
                                         static_cast<size_t>(step.Data.size() - done));
                if (rc <= 0) {
                    return;
                }
                done += rc;
            }
        }
    });
}

void PtyPeer::Wait() {
    if (m_Player.joinable()) {
        m_Player.join();
    }
}

QByteArray PtyPeer::Receive(int count, int waitMs) {
    QByteArray received;
    while (received.size() < count) {
        pollfd pfd{m_nMaster, POLLIN, 0};
        if (poll(&pfd, 1, waitMs) <= 0) {
            break;
        }
        char chunk[4096];
        const ssize_t rc = read(m_nMaster, chunk, sizeof chunk);
        if (rc <= 0) {
            break;
        }
        received.append(chunk, rc);
    }
    return received;
}

void PtyPeer::HangUp() {
    if (m_nMaster >= 0) {
        close(m_nMaster);
        m_nMaster = -1;
    }
}

PortsDirectoryFixture::PortsDirectoryFixture()
    : m_OldValue(qgetenv("CORVINASETUP_PORTS")),
      m_bHadValue(qEnvironmentVariableIsSet("CORVINASETUP_PORTS")) {
    qputenv("CORVINASETUP_PORTS", m_Dir.path().toLocal8Bit());
}

PortsDirectoryFixture::~PortsDirectoryFixture() {
    if (m_bHadValue) {
        qputenv("CORVINASETUP_PORTS", m_OldValue);
    } else {
        qunsetenv("CORVINASETUP_PORTS");
    }
}

bool PortsDirectoryFixture::Link(int port, const QString& target) const {
    return QFile::link(target, PortLinkPath(port));
}

void PortsDirectoryFixture::HideDefaultDevices() const {
    for (int port = 1; port <= 255; ++port) {
        const QString device = PortDevicePath(port);
        if (!device.isEmpty() && !device.startsWith(m_Dir.path()) && QFileInfo::exists(device)) {
            Link(port, m_Dir.path() + QStringLiteral("/nothing-here"));
        }
    }
}

namespace {

std::mutex gTraceMutex;
QStringList gTraces;
QtMessageHandler gPreviousHandler = nullptr;

void CatchTrace(QtMsgType, const QMessageLogContext&, const QString& text) {
    std::lock_guard lock(gTraceMutex);
    gTraces.append(text);
}

} // namespace

TraceCatcher::TraceCatcher() {
    std::lock_guard lock(gTraceMutex);
    gTraces.clear();
    gPreviousHandler = qInstallMessageHandler(CatchTrace);
}

TraceCatcher::~TraceCatcher() {
    qInstallMessageHandler(gPreviousHandler);
}

QStringList TraceCatcher::Lines() {
    std::lock_guard lock(gTraceMutex);
    return gTraces;
}

} // namespace corvina::test
