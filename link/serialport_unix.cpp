// CSerialPort's operating-system calls on POSIX terminals (termios).
#include "serialport_platform.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace corvina::detail {

namespace {

struct BaudEntry {
    uint32_t Baud;
    speed_t Speed;
};

constexpr BaudEntry kBauds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedOf(uint32_t baud, speed_t& speed) {
    for (const BaudEntry& entry : kBauds) {
        if (entry.Baud == baud) {
            speed = entry.Speed;
            return true;
        }
    }
    return false;
}

timespec ToTimespec(int64_t microseconds) {
    timespec ts;
    ts.tv_sec = static_cast<time_t>(microseconds / 1000000);
    ts.tv_nsec = static_cast<long>((microseconds % 1000000) * 1000);
    return ts;
}

// Waits for `events` on the handle. Returns 0 with revents 0 on time-out.
uint32_t WaitFor(PortHandle handle, short events, int64_t waitMicroseconds, short& revents) {
    pollfd pfd{handle, events, 0};
    timespec ts = ToTimespec(waitMicroseconds < 0 ? 0 : waitMicroseconds);
    const int rc = ppoll(&pfd, 1, waitMicroseconds < 0 ? nullptr : &ts, nullptr);
    if (rc < 0) {
        revents = 0;
        return errno == EINTR ? 0 : static_cast<uint32_t>(errno);
    }
    revents = rc == 0 ? 0 : pfd.revents;
    return 0;
}

uint32_t SetNonBlocking(PortHandle handle, bool on) {
    const int flags = fcntl(handle, F_GETFL);
    if (flags < 0) {
        return static_cast<uint32_t>(errno);
    }
    const int wanted = on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    if (wanted != flags && fcntl(handle, F_SETFL, wanted) < 0) {
        return static_cast<uint32_t>(errno);
    }
    return 0;
}

} // namespace

uint32_t PlatformOpen(const QByteArray& path, PortHandle& handle) {
    handle = kInvalidPortHandle;
    // Non-blocking so that opening does not wait for carrier detect on a
    // modem line; the transfers block again once CLOCAL is set.
    const int fd = open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return static_cast<uint32_t>(errno);
    }
    // The lock keeps out every program that locks serial devices the same
    // way, and other processes even when they run as root (TIOCEXCL does not
    // stop root). It comes before TIOCEXCL so that a busy port is left
    // exactly as its holder set it.
    if (flock(fd, LOCK_EX | LOCK_NB) < 0) {
        const int error = errno;
        close(fd);
        return error == EWOULDBLOCK ? EBUSY : static_cast<uint32_t>(error);
    }
    // TIOCEXCL makes further opens of the device fail with EBUSY; it also
    // rejects what is not a terminal (ENOTTY) before any line setting.
    if (ioctl(fd, TIOCEXCL) < 0) {
        const int error = errno;
        close(fd);
        return static_cast<uint32_t>(error);
    }
    if (const uint32_t error = SetNonBlocking(fd, false)) {
        ioctl(fd, TIOCNXCL);
        close(fd);
        return error;
    }
    handle = fd;
    return 0;
}

uint32_t PlatformClose(PortHandle handle) {
    // The exclusive flag belongs to the terminal, not to this descriptor: a
    // pseudo-terminal keeps it while its other side stays open.
    ioctl(handle, TIOCNXCL);
    if (close(handle) < 0 && errno != EINTR) {
        return static_cast<uint32_t>(errno);
    }
    return 0;
}

// What termios cannot express, and is therefore refused with EINVAL rather
// than silently set otherwise:
//   - DSR output flow (flow 3 and 4) and DTR input handshake (flow 2 and 4):
//     the terminal interface only knows RTS/CTS hardware flow (CRTSCTS);
//   - one and a half stop bits with more than 5 data bits;
//   - baud rates outside the standard speed table.
// XON/XOFF uses the characters 0x11 and 0x13; the fill limits (100 bytes)
// are the driver's own and cannot be set. DSR sensitivity does not exist
// here, so there is nothing to turn off.
uint32_t PlatformMakeLineSettings(termios& tio, const LineSettings& settings) {
    speed_t speed;
    if (!SpeedOf(settings.Baud, speed)) {
        return EINVAL;
    }
    tcflag_t size;
    switch (settings.DataBits) {
    case 5:
        size = CS5;
        break;
    case 6:
        size = CS6;
        break;
    case 7:
        size = CS7;
        break;
    case 8:
        size = CS8;
        break;
    default:
        return EINVAL;
    }
    if (settings.StopBits == 1 && settings.DataBits != 5) {
        return EINVAL;
    }
    if (settings.Flow >= 2 && settings.Flow <= 4) {
        return EINVAL;
    }

    // Raw bytes both ways: no line editing, echo, signals or translation.
    tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | INPCK);
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag |= CLOCAL | CREAD;
    // A read returns at once with what is there; the time-outs are done with
    // ppoll because the terminal's own timer counts tenths of a second.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;

    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    tio.c_cflag = (tio.c_cflag & ~CSIZE) | size;

    // Parity and stop-bit codes outside their tables keep the setting read.
    switch (settings.Parity) {
    case 0:
        tio.c_cflag &= ~(PARENB | PARODD | CMSPAR);
        break;
    case 1:
        tio.c_cflag = (tio.c_cflag & ~CMSPAR) | PARENB | PARODD;
        break;
    case 2:
        tio.c_cflag = (tio.c_cflag & ~(CMSPAR | PARODD)) | PARENB;
        break;
    case 3:
        tio.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case 4:
        tio.c_cflag = (tio.c_cflag & ~PARODD) | PARENB | CMSPAR;
        break;
    default:
        break;
    }
    switch (settings.StopBits) {
    case 0:
        tio.c_cflag &= ~CSTOPB;
        break;
    case 1: // with 5 data bits the UART sends 1.5 stop bits for CSTOPB
    case 2:
        tio.c_cflag |= CSTOPB;
        break;
    default:
        break;
    }

    switch (settings.Flow) {
    case 0:
        tio.c_cflag &= ~CRTSCTS;
        tio.c_iflag &= ~(IXON | IXOFF | IXANY);
        break;
    case 1:
        tio.c_cflag |= CRTSCTS;
        tio.c_iflag &= ~(IXON | IXOFF | IXANY);
        break;
    case 5:
        tio.c_cflag &= ~CRTSCTS;
        tio.c_iflag = (tio.c_iflag & ~IXANY) | IXON | IXOFF;
        tio.c_cc[VSTART] = 0x11;
        tio.c_cc[VSTOP] = 0x13;
        break;
    default:
        break;
    }
    return 0;
}

uint32_t PlatformApplyLineSettings(PortHandle handle, const LineSettings& settings,
                                   bool& failedWriting) {
    termios tio;
    failedWriting = false;
    if (tcgetattr(handle, &tio) < 0) {
        return static_cast<uint32_t>(errno);
    }
    failedWriting = true;
    if (const uint32_t error = PlatformMakeLineSettings(tio, settings)) {
        return error;
    }
    if (tcsetattr(handle, TCSANOW, &tio) < 0) {
        return static_cast<uint32_t>(errno);
    }
    return 0;
}

uint32_t PlatformRead(PortHandle handle, void* buf, uint32_t n, int64_t waitMicroseconds,
                      uint32_t& got) {
    got = 0;
    short revents = 0;
    if (const uint32_t error = WaitFor(handle, POLLIN, waitMicroseconds, revents)) {
        return error;
    }
    if (revents == 0) {
        return 0;
    }
    const ssize_t rc = read(handle, buf, n);
    if (rc > 0) {
        got = static_cast<uint32_t>(rc);
        return 0;
    }
    if (rc < 0 && errno != EAGAIN && errno != EINTR) {
        return static_cast<uint32_t>(errno);
    }
    // Readable yet nothing to read: the device hung up. Reporting it keeps a
    // caller from spinning until its time-out on a port that is gone.
    if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
        return EIO;
    }
    return 0;
}

uint32_t PlatformWrite(PortHandle handle, const void* buf, uint32_t n, int64_t waitMicroseconds,
                       uint32_t& put) {
    put = 0;
    const auto* bytes = static_cast<const unsigned char*>(buf);
    if (waitMicroseconds < 0) {
        while (put < n) {
            const ssize_t rc = write(handle, bytes + put, n - put);
            if (rc < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return static_cast<uint32_t>(errno);
            }
            put += static_cast<uint32_t>(rc);
        }
        return 0;
    }

    // A write under a time-out must not block for room, so the descriptor
    // turns non-blocking just for this call.
    short revents = 0;
    if (const uint32_t error = WaitFor(handle, POLLOUT, waitMicroseconds, revents)) {
        return error;
    }
    if (revents == 0) {
        return 0;
    }
    if (const uint32_t error = SetNonBlocking(handle, true)) {
        return error;
    }
    const ssize_t rc = write(handle, bytes, n);
    const int writeError = errno;
    const uint32_t restoreError = SetNonBlocking(handle, false);
    if (rc < 0) {
        return writeError == EAGAIN || writeError == EINTR ? restoreError
                                                           : static_cast<uint32_t>(writeError);
    }
    put = static_cast<uint32_t>(rc);
    return restoreError;
}

uint32_t PlatformPurgeReceive(PortHandle handle) {
    return tcflush(handle, TCIFLUSH) < 0 ? static_cast<uint32_t>(errno) : 0;
}

uint32_t PlatformDrain(PortHandle handle) {
    int rc;
    do {
        rc = tcdrain(handle);
    } while (rc < 0 && errno == EINTR);
    return rc < 0 ? static_cast<uint32_t>(errno) : 0;
}

uint32_t PlatformLastError() {
    return static_cast<uint32_t>(errno);
}

QString PlatformErrorText(uint32_t error) {
    if (error > static_cast<uint32_t>(INT32_MAX)) {
        return {};
    }
    const int code = static_cast<int>(error);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 32))
    // glibc makes up "Unknown error N" for codes it does not know; that is
    // no text of the system's.
    if (strerrordesc_np(code) == nullptr) {
        return {};
    }
#endif
    char buffer[256] = {};
    const char* text = buffer;
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
    text = strerror_r(code, buffer, sizeof buffer);
#else
    if (strerror_r(code, buffer, sizeof buffer) != 0) {
        return {};
    }
#endif
    if (text == nullptr || std::strncmp(text, "Unknown error", 13) == 0) {
        return {};
    }
    return QString::fromLocal8Bit(text);
}

} // namespace corvina::detail
