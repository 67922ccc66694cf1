#include "loggersim.h"

#include "configparser.h"
#include "portmap.h"
#include "simanswers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace corvina {

namespace {

// A command longer than this without a CR is not a command any logger takes;
// it is logged and dropped so a stream of garbage cannot grow without bound.
constexpr qsizetype kMaxCommandBytes = 4096;
// How long an LF may lag behind its CR and still count as its terminator.
constexpr int kLfGraceMs = 20;
// A reader that takes nothing for this long is gone; the rest of the answer is
// dropped so the worker stays responsive.
constexpr int kStalledWriteMs = 2000;
// Bytes nobody has read for this long went to a closed port: a real line
// loses them, so they must not greet the next program that opens it.
constexpr int kUnreadMs = 1000;

const QByteArray kOk = QByteArrayLiteral("\r\nOK\r\n");

qint64 NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

QString ErrnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

struct SpeedCode {
    int bps;
    speed_t code;
};
constexpr SpeedCode kSpeeds[] = {
    {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},   {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600}, {115200, B115200},
    {230400, B230400}, {460800, B460800}, {921600, B921600},
};

speed_t SpeedToCode(int bps) {
    for (const SpeedCode& s : kSpeeds) {
        if (s.bps == bps)
            return s.code;
    }
    return B115200;
}

int CodeToSpeed(speed_t code) {
    for (const SpeedCode& s : kSpeeds) {
        if (s.code == code)
            return s.bps;
    }
    return 0;
}

// The leading decimal digits of a text, 0 when there are none.
int LeadingNumber(const QString& text) {
    int value = 0;
    for (QChar c : text.trimmed()) {
        if (!c.isDigit() || value > 100000000)
            break;
        value = value * 10 + c.digitValue();
    }
    return value;
}

// Words that begin a configuration line the logger takes. Logger-only keys
// (SN, Version, SystemOnTime) are reported, never set.
bool IsConfigLine(const QByteArray& text) {
    static const char* const kKeys[] = {
        "UserName",
        "Name",
        "MeasInterval",
        "MeasDelay",
        "LogInterval",
        "RepInterval",
        "Vref",
        "Serial1",
        "Serial2",
        "DataFormat",
        "RS485Address",
        "RS485",
        "DisplaySize",
        "ModemInterval",
        "ModemOnTime",
        "ModemOnDuration",
        "ModemPIN",
        "ModemNumber",
        "APN",
        "IP",
        "Password",
        "EmailFrom",
        "EmailTo",
        "TimeServer",
        "TimeZone",
        "Ftp",
        "Time",
        "Date",
        "EWS",
        "SmsCenter",
        "SmsNumber",
        "IPConnect",
        "IPConfig",
        "UserNameConfig",
        "PasswordConfig",
        "UserNameApn",
        "PasswordApn",
    };
    const qsizetype blank = text.indexOf(' ');
    if (blank <= 0)
        return false;
    const QByteArrayView word(text.constData(), blank);
    if (word.size() == 1)
        return QByteArrayView("adisoep").contains(word.front());
    for (const char* key : kKeys) {
        if (word == QByteArrayView(key))
            return true;
    }
    return false;
}

QByteArray Filler(int bytes) {
    const QByteArray line = QByteArray(78, '.') + "\r\n";
    QByteArray out;
    while (out.size() < bytes)
        out += line;
    return out;
}

// Bytes a PC drops from an answer: control characters other than CR and LF,
// DEL and everything above ASCII.
QByteArray WithGarbage(const QByteArray& bytes, int every) {
    static const char kGarbage[] = {'\x00', '\x07', '\x1b', '\x7f', '\x80', '\xc3', '\xff', '\x01'};
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / every + 1);
    int n = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if ((i + 1) % every == 0)
            out += kGarbage[n++ % sizeof kGarbage];
    }
    return out;
}

} // namespace

LoggerSim::LoggerSim() : cfg_(SimFactoryConfig()) {
    lineSpeed_ = LeadingNumber(cfg_.System.Serial2);
}

LoggerSim::~LoggerSim() {
    Stop();
}

bool LoggerSim::Start(int portNumber, QString* error) {
    const auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        if (slaveFd_ >= 0)
            ::close(slaveFd_);
        if (masterFd_ >= 0)
            ::close(masterFd_);
        slaveFd_ = masterFd_ = -1;
        return false;
    };
    if (running_)
        return fail(QStringLiteral("The logger simulator already runs on %1.").arg(LinkPath()));
    const QString link = PortLinkPath(portNumber);
    if (link.isEmpty())
        return fail(
            QStringLiteral("COM%1 is not a port number the program knows.").arg(portNumber));

    masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (masterFd_ < 0)
        return fail(QStringLiteral("No pseudo-terminal could be opened: %1").arg(ErrnoText()));
    char name[128] = {};
    if (::grantpt(masterFd_) != 0 || ::unlockpt(masterFd_) != 0 ||
        ::ptsname_r(masterFd_, name, sizeof name) != 0)
        return fail(
            QStringLiteral("The pseudo-terminal could not be unlocked: %1").arg(ErrnoText()));
    // Holding the slave side open keeps the pseudo-terminal alive between the
    // program's opens and closes; without it the master reads EIO meanwhile.
    slaveFd_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slaveFd_ < 0)
        return fail(
            QStringLiteral("%1 could not be opened: %2").arg(QLatin1String(name), ErrnoText()));
    // Raw: no echo, no CR/LF translation, so both ends see exact bytes.
    termios tio{};
    if (::tcgetattr(masterFd_, &tio) != 0)
        return fail(
            QStringLiteral("The pseudo-terminal has no line settings: %1").arg(ErrnoText()));
    ::cfmakeraw(&tio);
    {
        std::lock_guard lock(mutex_);
        ::cfsetspeed(&tio, SpeedToCode(lineSpeed_));
    }
    if (::tcsetattr(masterFd_, TCSANOW, &tio) != 0 ||
        ::fcntl(masterFd_, F_SETFL, ::fcntl(masterFd_, F_GETFL) | O_NONBLOCK) != 0)
        return fail(QStringLiteral("The pseudo-terminal could not be set up: %1").arg(ErrnoText()));

    const QString dir = PortsDirectory();
    if (!QDir().mkpath(dir))
        return fail(QStringLiteral("The ports folder %1 could not be created.").arg(dir));
    const QFileInfo existing(link);
    if (existing.isSymLink()) {
        // A link whose device is gone is what a simulator that was killed
        // leaves behind; a live one belongs to someone else.
        if (QFileInfo::exists(existing.symLinkTarget()))
            return fail(QStringLiteral("COM%1 is already offered by %2. Remove %3 if no logger "
                                       "simulator is running on it.")
                            .arg(portNumber)
                            .arg(existing.symLinkTarget(), link));
        QFile::remove(link);
    } else if (existing.exists()) {
        return fail(QStringLiteral("%1 exists and is not a link; COM%2 cannot be offered there.")
                        .arg(link)
                        .arg(portNumber));
    }
    if (::symlink(name, QFile::encodeName(link).constData()) != 0)
        return fail(QStringLiteral("%1 could not be created: %2").arg(link, ErrnoText()));

    {
        std::lock_guard lock(mutex_);
        slavePath_ = QString::fromLocal8Bit(name);
        linkPath_ = link;
        commands_.clear();
        service_ = false;
        saveCount_ = 0;
        commandsSinceFaults_ = 0;
    }
    pending_.clear();
    lastCommand_.clear();
    lfMayFollow_ = false;
    startedAtMs_ = NowMs();
    lastDrainedMs_ = startedAtMs_;
    liveSample_ = 0;
    stop_ = false;
    running_ = true;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void LoggerSim::Stop() {
    if (!running_)
        return;
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    // Only our own link goes; a newer simulator may have taken the name.
    const QFileInfo link(linkPath_);
    if (link.isSymLink() && link.symLinkTarget() == slavePath_)
        QFile::remove(linkPath_);
    ::close(slaveFd_);
    ::close(masterFd_);
    slaveFd_ = masterFd_ = -1;
    running_ = false;
}

bool LoggerSim::IsRunning() const {
    return running_;
}
QString LoggerSim::LinkPath() const {
    return linkPath_;
}
QString LoggerSim::SlavePath() const {
    return slavePath_;
}

QList<QByteArray> LoggerSim::ReceivedCommands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

void LoggerSim::ClearReceivedCommands() {
    std::lock_guard lock(mutex_);
    commands_.clear();
}

bool LoggerSim::WaitForCommands(qsizetype count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return commandsChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                     [&] { return commands_.size() >= count; });
}

void LoggerSim::SetCommandObserver(std::function<void(const QByteArray&)> observer) {
    std::lock_guard lock(mutex_);
    observer_ = std::move(observer);
}

LoggerConfig LoggerSim::Config() const {
    std::lock_guard lock(mutex_);
    return cfg_;
}

void LoggerSim::SetConfig(const LoggerConfig& cfg) {
    std::lock_guard lock(mutex_);
    cfg_ = cfg;
    SetClockFromConfigLocked();
}

void LoggerSim::SetFaults(const SimFaults& faults) {
    std::lock_guard lock(mutex_);
    faults_ = faults;
    commandsSinceFaults_ = 0;
}

SimFaults LoggerSim::Faults() const {
    std::lock_guard lock(mutex_);
    return faults_;
}

void LoggerSim::StartLive(int intervalMs) {
    std::lock_guard lock(mutex_);
    liveIntervalMs_ = qMax(1, intervalMs);
}

void LoggerSim::StopLive() {
    std::lock_guard lock(mutex_);
    liveIntervalMs_ = 0;
}

bool LoggerSim::IsLive() const {
    std::lock_guard lock(mutex_);
    return liveIntervalMs_ > 0;
}

int LoggerSim::LineSpeed() const {
    std::lock_guard lock(mutex_);
    return lineSpeed_;
}

bool LoggerSim::InServiceMode() const {
    std::lock_guard lock(mutex_);
    return service_;
}

int LoggerSim::SaveCount() const {
    std::lock_guard lock(mutex_);
    return saveCount_;
}

QDateTime LoggerSim::Clock() const {
    std::lock_guard lock(mutex_);
    return QDateTime::currentDateTime().addMSecs(clockOffsetMs_);
}

void LoggerSim::SetClock(const QDateTime& now) {
    std::lock_guard lock(mutex_);
    clockOffsetMs_ = QDateTime::currentDateTime().msecsTo(now);
}

void LoggerSim::SetClockFromConfigLocked() {
    const SystemSettings& sys = cfg_.System;
    const QDateTime now = QDateTime::currentDateTime();
    QDateTime clock = now.addMSecs(clockOffsetMs_);
    int year = LeadingNumber(sys.DateYear);
    if (year > 0 && year < 100)
        year += 2000;
    const QDate date(year, LeadingNumber(sys.DateMonth), LeadingNumber(sys.DateDay));
    if (date.isValid())
        clock.setDate(date);
    const QTime time(LeadingNumber(sys.TimeHour), LeadingNumber(sys.TimeMinute),
                     LeadingNumber(sys.TimeSecond));
    if (!sys.TimeHour.isEmpty() && time.isValid())
        clock.setTime(time);
    clockOffsetMs_ = now.msecsTo(clock);
}

void LoggerSim::Run() {
    {
        std::lock_guard lock(mutex_);
        runObserver_ = observer_;
    }
    char buffer[4096];
    int liveInterval = 0;
    while (!stop_) {
        pollfd pfd{masterFd_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, 10);
        if (ready > 0 && (pfd.revents & POLLIN)) {
            const ssize_t n = ::read(masterFd_, buffer, sizeof buffer);
            if (n > 0)
                Feed(buffer, n);
        } else if (ready > 0) {
            // Hang-up or error without data; wait rather than spin.
            ::usleep(10000);
        }
        const qint64 now = NowMs();
        int unread = 0;
        if (::ioctl(slaveFd_, FIONREAD, &unread) != 0 || unread == 0) {
            lastDrainedMs_ = now;
        } else if (now - lastDrainedMs_ > kUnreadMs) {
            ::tcflush(slaveFd_, TCIFLUSH);
            lastDrainedMs_ = now;
        }
        if (lfMayFollow_ && now - lastCrAtMs_ > kLfGraceMs)
            CompleteCommand();

        QByteArray row;
        {
            std::lock_guard lock(mutex_);
            const bool mute = faults_.silent ||
                              (faults_.stopAfter >= 0 && commandsSinceFaults_ > faults_.stopAfter);
            if (liveIntervalMs_ != liveInterval) {
                liveInterval = liveIntervalMs_;
                nextLiveAtMs_ = now + liveInterval;
            }
            if (liveInterval > 0 && now >= nextLiveAtMs_) {
                nextLiveAtMs_ = now + liveInterval;
                // A logger in service mode is busy with commands, not values.
                if (!service_ && !mute)
                    row = SimLiveRow(cfg_, QDateTime::currentDateTime().addMSecs(clockOffsetMs_),
                                     liveSample_++);
            }
        }
        if (!row.isEmpty())
            WriteAll(row, true);
    }
    if (lfMayFollow_)
        CompleteCommand();
    runObserver_ = nullptr;
}

// The observer learns of a command once nothing more can join it.
void LoggerSim::CompleteCommand() {
    lfMayFollow_ = false;
    if (runObserver_)
        runObserver_(lastCommand_);
    lastCommand_.clear();
}

void LoggerSim::Feed(const char* data, qsizetype size) {
    {
        std::lock_guard lock(mutex_);
        if (faults_.checkSpeed && !PcSpeedMatches())
            return;
    }
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (lfMayFollow_) {
            if (c == '\n') {
                {
                    std::lock_guard lock(mutex_);
                    if (!commands_.isEmpty() && commands_.last() == lastCommand_)
                        commands_.last() += '\n';
                }
                lastCommand_ += '\n';
                CompleteCommand();
                continue;
            }
            CompleteCommand();
        }
        if (c == '\r') {
            const QByteArray line = pending_;
            pending_.clear();
            lastCommand_ = line + '\r';
            lfMayFollow_ = true;
            lastCrAtMs_ = NowMs();
            {
                std::lock_guard lock(mutex_);
                commands_.append(lastCommand_);
            }
            commandsChanged_.notify_all();
            HandleLine(line);
            continue;
        }
        pending_ += c;
        if (pending_.size() > kMaxCommandBytes) {
            {
                std::lock_guard lock(mutex_);
                commands_.append(pending_);
            }
            commandsChanged_.notify_all();
            pending_.clear();
        }
    }
}

bool LoggerSim::PcSpeedMatches() const {
    termios tio{};
    if (::tcgetattr(slaveFd_, &tio) != 0)
        return true;
    const int pc = CodeToSpeed(::cfgetospeed(&tio));
    return pc == 0 || pc == lineSpeed_;
}

void LoggerSim::HandleLine(const QByteArray& line) {
    // A stray LF that came too late to join the previous CR is no part of the
    // command word.
    QByteArray text = line;
    while (text.startsWith('\n'))
        text.remove(0, 1);

    QByteArray body;
    {
        std::lock_guard lock(mutex_);
        ++commandsSinceFaults_;
        if (faults_.silent || (faults_.stopAfter >= 0 && commandsSinceFaults_ > faults_.stopAfter))
            return;
        if (text.isEmpty()) {
            body = "\n";
        } else if (text == "Exit") {
            service_ = false;
            body = "\r\n";
        } else if (text == "Service") {
            service_ = true;
            body = "\r\nService mode started\r\n";
        } else if (!service_) {
            body = "\r\n";
        } else if (const std::optional<SimQuery> query = SimQueryFromLine(text)) {
            const QDateTime clock = QDateTime::currentDateTime().addMSecs(clockOffsetMs_);
            const qint64 up = (NowMs() - startedAtMs_) / 1000;
            body = "\r\n" + SimAnswerLines(cfg_, *query, clock, up) + "OK\r\n";
        } else if (text == "SaveConfig") {
            ++saveCount_;
            body = kOk;
        } else if (text == "SetDefaultConfig") {
            cfg_ = SimFactoryConfig();
            body = kOk;
        } else if (IsConfigLine(text)) {
            ParseConfigScript(cfg_, text + '\r');
            if (text.startsWith("Date ") || text.startsWith("Time "))
                SetClockFromConfigLocked();
            if (text.startsWith("Serial2 ")) {
                // The answer would leave at the new speed; the PC reopens its
                // port instead of waiting for one.
                if (const int speed = LeadingNumber(cfg_.System.Serial2); speed > 0)
                    lineSpeed_ = speed;
                return;
            }
            body = kOk;
        } else {
            body = "\r\nUnknown command\r\n";
        }
    }
    Send(line + '\r' + body);
}

void LoggerSim::Send(QByteArray bytes) {
    SimFaults faults;
    {
        std::lock_guard lock(mutex_);
        faults = faults_;
    }
    if (faults.oversizeBytes > 0) {
        const qsizetype echoEnd = bytes.indexOf('\r') + 1;
        bytes.insert(echoEnd, Filler(faults.oversizeBytes));
    }
    if (faults.garbageEvery > 0)
        bytes = WithGarbage(bytes, faults.garbageEvery);
    if (faults.delayMs > 0 && !Pause(faults.delayMs))
        return;
    if (faults.pieceBytes <= 0) {
        WriteAll(bytes, false);
        return;
    }
    for (qsizetype at = 0; at < bytes.size(); at += faults.pieceBytes) {
        if (at > 0 && !Pause(faults.piecePauseMs))
            return;
        if (!WriteAll(bytes.mid(at, faults.pieceBytes), false))
            return;
    }
}

bool LoggerSim::WriteAll(const QByteArray& bytes, bool dropWhenFull) {
    qsizetype done = 0;
    qint64 lastProgress = NowMs();
    while (done < bytes.size()) {
        if (stop_)
            return false;
        const ssize_t n = ::write(masterFd_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            lastProgress = NowMs();
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return false;
        // Nobody drains the line: live rows are not worth keeping, answers
        // wait a while for a reader.
        if (dropWhenFull || NowMs() - lastProgress > kStalledWriteMs)
            return false;
        pollfd pfd{masterFd_, POLLOUT, 0};
        ::poll(&pfd, 1, 10);
    }
    return true;
}

bool LoggerSim::Pause(int ms) {
    const qint64 until = NowMs() + ms;
    while (!stop_) {
        const qint64 left = until - NowMs();
        if (left <= 0)
            return true;
        ::usleep(useconds_t(qMin<qint64>(left, 5) * 1000));
    }
    return false;
}

} // namespace corvina
