#include "commandexchange.h"

#include "cnumbers.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace corvina {

namespace {

// Wait after writing a command before its answer is read; the second and
// third attempt add kRetryExtraMs to give a slow logger more time.
constexpr int kCommandWaitMs = 50;
constexpr int kRetryExtraMs = 100;
constexpr int kReadGapMs = 1;
constexpr int kAttempts = 3;

bool IsAnswerByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x20 && byte <= 0x7E) || byte == '\r' || byte == '\n';
}

} // namespace

void CReceiveBuffer::Clear(int bytes) {
    const int n = std::clamp(bytes, 0, kReceiveBufferSize);
    std::memset(m_Bytes.data(), 0, size_t(n));
    if (n > 0) {
        // With its first byte zero the buffer holds the empty text.
        m_nLength = 0;
        m_bOverflowed = false;
    }
}

void CReceiveBuffer::AppendAnswerBytes(const char* data, int size) {
    for (int i = 0; i < size; ++i) {
        if (!IsAnswerByte(data[i]))
            continue;
        // The last byte stays zero: the text is always terminated.
        if (m_nLength >= kReceiveBufferSize - 1) {
            m_bOverflowed = true;
            return;
        }
        m_Bytes[size_t(m_nLength++)] = data[i];
    }
}

bool CReceiveBuffer::Contains(QByteArrayView text) const {
    return Text().indexOf(text) >= 0;
}

CCommandExchange::CCommandExchange(CSerialPort& port, TaskPacing pacing)
    : m_Port(port), m_Pacing(pacing) {}

void CCommandExchange::CheckAbandoned() const {
    if (m_pAbandon && m_pAbandon->load())
        throw CTaskAbandoned{};
}

void CCommandExchange::Sleep(int ms) {
    CheckAbandoned();
    const auto scaled = std::chrono::microseconds(int64_t(ms) * 1000 * m_Pacing.SleepPercent / 100);
    m_Stats.sleptMicroseconds += scaled.count();
    if (scaled.count() > 0)
        std::this_thread::sleep_for(scaled);
}

void CCommandExchange::OpenTaskPort(const QString& portName, const QString& portSpeed) {
    OpenTaskPort(TaskPortNumber(portName), TaskBaudRate(portSpeed));
}

void CCommandExchange::OpenTaskPort(int port, uint32_t baud) {
    m_Port.Open(port, baud, NoParity, 8, OneStopBit, NoFlowControl, false);
    m_Port.SetTimeouts(m_Pacing.Timeouts);
}

int CCommandExchange::SendAndWait(QByteArrayView command, QByteArrayView expected, int readLimit) {
    int extraMs = 0;
    bool answered = false;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        int reads = 0;
        m_Port.PurgeReceiveBuffer();
        m_Port.WriteEx(command.data(), uint32_t(command.size()));
        m_Buffer.Clear();
        Sleep(kCommandWaitMs + extraMs);
        while (!m_Buffer.Contains(expected)) {
            Sleep(kReadGapMs);
            char chunk[kReadChunkBytes] = {};
            const uint32_t got = m_Port.ReadEx(chunk, sizeof chunk);
            if (got > 0)
                answered = true;
            if (got >= sizeof chunk)
                ++m_Stats.fullReads;
            else if (got > 0)
                ++m_Stats.partReads;
            else
                ++m_Stats.emptyReads;
            m_Buffer.AppendAnswerBytes(chunk, int(std::min<uint32_t>(got, sizeof chunk)));
            if (++reads > readLimit) {
                extraMs = kRetryExtraMs;
                break;
            }
        }
        m_Port.PurgeReceiveBuffer();
        if (m_Buffer.Contains(expected))
            return kResultOk;
    }
    return answered ? kResultNotExpected : kResultNoResponse;
}

int TaskPortNumber(const QString& portName) {
    return LeadingInt32(QStringView(portName).mid(3));
}

uint32_t TaskBaudRate(const QString& speed) {
    // A negative text wraps round to a rate no port accepts, as it would in C.
    return uint32_t(LeadingInt32(speed));
}

std::optional<QByteArray> ToNarrowText(QStringView line, int bufferSize) {
    if (line.size() > bufferSize - 1)
        return std::nullopt;
    QByteArray bytes;
    bytes.reserve(line.size());
    for (const QChar c : line) {
        if (c.unicode() == 0 || c.unicode() > 0xFF)
            return std::nullopt;
        bytes.append(char(c.unicode()));
    }
    return bytes;
}

} // namespace corvina
