// A simulated data logger on a pseudo-terminal, offered to the program as a
// COM port: the test peer of the serial port and the logger tasks, and a
// logger to try the program with when there is no hardware.
//
// Start() opens a pseudo-terminal and links its slave side at
// PortLinkPath(port); a worker thread then plays the logger's side of the
// command protocol until Stop(). Every getter and setter is thread-safe and may
// be called while the simulator runs; the configuration it holds survives
// Stop() and Start() like a logger's memory survives a power cycle.
//
// Wire behaviour (bytes as the PC sees them, each command ended by CR):
//   - Every command is echoed (its bytes up to the CR) before the answer.
//   - "\r": answers LF, so the PC sees CR LF. Stays in the current mode.
//   - "Exit\r": leaves service mode; answers CR LF.
//   - "Service\r": enters service mode; answers "\r\nService mode started\r\n".
//   - Outside service mode every other command gets only its echo and CR LF.
//   - In service mode:
//       queries "?", "SerialDriver?", "Config1?" ... "Config5?",
//       "EarlyWarning?", "Modem?", "System?": "\r\n", the answer lines (see
//       simanswers.h), each ended by CR LF, then "OK\r\n";
//       "SaveConfig", "SetDefaultConfig" (restores the factory configuration)
//       and every configuration line: "\r\nOK\r\n";
//       "Serial2 <bps>": stored, becomes the line speed; nothing is sent back,
//       not even the echo, as the answer would go out at the new speed;
//       anything else: "\r\nUnknown command\r\n".
//   An LF right after a command's CR belongs to that command's terminator.
#pragma once

#include "loggerconfig.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace corvina {

// Misbehaviour for tests. The default is a well-behaved logger.
struct SimFaults {
    bool silent = false;     // read and log commands, send nothing at all
    int stopAfter = -1;      // answer this many commands, then fall silent; -1: never
    int delayMs = 0;         // wait this long before each answer
    int pieceBytes = 0;      // > 0: send answers in pieces of this many bytes ...
    int piecePauseMs = 0;    // ... with this pause between pieces
    int garbageEvery = 0;    // > 0: after every this many answer bytes, one byte the
                             // PC must drop (control or non-ASCII, never CR or LF)
    int oversizeBytes = 0;   // > 0: this many filler bytes (lines of dots) between
                             // the echo and the rest of every answer
    bool checkSpeed = false; // ignore input while the PC's line speed differs
                             // from the simulator's, as a real line would garble it
};

class LoggerSim {
public:
    LoggerSim();
    ~LoggerSim();
    LoggerSim(const LoggerSim&) = delete;
    LoggerSim& operator=(const LoggerSim&) = delete;

    // Opens the pseudo-terminal and offers it as COM<portNumber>. False, with a
    // message in *error, when it is already running, the pseudo-terminal cannot
    // be made or the link cannot be placed (another logger already offers that
    // port). Starts outside service mode with an empty command log.
    bool Start(int portNumber, QString* error = nullptr);
    // Ends the worker, removes the link and closes the pseudo-terminal.
    void Stop();
    bool IsRunning() const;

    QString LinkPath() const;  // the link the program opens as COM<n>
    QString SlavePath() const; // the pseudo-terminal's own device path
    // Like a real line, the simulator drops what nobody reads for about a
    // second, so a program that opens the port late gets no stale rows.

    // Every command received since Start(), its exact bytes with terminator.
    QList<QByteArray> ReceivedCommands() const;
    void ClearReceivedCommands();
    // Waits until at least count commands are logged; false on time-out.
    bool WaitForCommands(qsizetype count, int timeoutMs) const;
    // Called on the worker thread with each command once its terminator is
    // complete. Set it before Start().
    void SetCommandObserver(std::function<void(const QByteArray&)> observer);

    LoggerConfig Config() const;
    // Replaces the whole configuration, serial driver list included. A valid
    // date or time in it also sets the clock.
    void SetConfig(const LoggerConfig& cfg);

    void SetFaults(const SimFaults& faults); // also restarts the stopAfter count
    SimFaults Faults() const;

    // Writes a value row every intervalMs while not in service mode.
    void StartLive(int intervalMs);
    void StopLive();
    bool IsLive() const;

    // The speed of the logger's PC link as last set by "Serial2"; nominal on a
    // pseudo-terminal unless checkSpeed is set.
    int LineSpeed() const;
    bool InServiceMode() const;
    int SaveCount() const; // "SaveConfig" commands taken since Start()

    QDateTime Clock() const;
    void SetClock(const QDateTime& now);

private:
    void Run();
    void Feed(const char* data, qsizetype size);
    void CompleteCommand();
    void HandleLine(const QByteArray& line);
    void Send(QByteArray bytes);
    bool WriteAll(const QByteArray& bytes, bool dropWhenFull);
    bool Pause(int ms);
    bool PcSpeedMatches() const;
    void SetClockFromConfigLocked();

    mutable std::mutex mutex_;
    mutable std::condition_variable commandsChanged_;
    LoggerConfig cfg_;
    SimFaults faults_;
    QList<QByteArray> commands_;
    qint64 clockOffsetMs_ = 0;
    int lineSpeed_ = 115200;
    bool service_ = false;
    int saveCount_ = 0;
    int liveIntervalMs_ = 0;
    int commandsSinceFaults_ = 0;
    std::function<void(const QByteArray&)> observer_;

    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    std::thread thread_;
    int masterFd_ = -1;
    int slaveFd_ = -1;
    QString slavePath_;
    QString linkPath_;

    // Worker thread only.
    QByteArray pending_;     // bytes of the command being received
    QByteArray lastCommand_; // complete but an LF may still follow its CR
    bool lfMayFollow_ = false;
    qint64 lastCrAtMs_ = 0;
    qint64 startedAtMs_ = 0;
    qint64 lastDrainedMs_ = 0;
    qint64 liveSample_ = 0;
    qint64 nextLiveAtMs_ = 0;
    std::function<void(const QByteArray&)> runObserver_;
};

} // namespace corvina
