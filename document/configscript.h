// The configuration script: the configuration as logger command lines.
//
// A script is 8-bit text (ISO 8859-1: each character U+0000-U+00FF is the
// byte of the same value), one command per line, every line ended by CR LF.
// The same line texts go to the logger, one per exchange, by the send task.
//
// Line kinds are numbered 1 to 46 in the order a file holds them; kinds 35 to
// 43 repeat once per channel (see ConfigScriptLayout).
#pragma once

#include "loggerconfig.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <optional>
#include <vector>

namespace corvina {

inline constexpr int kFirstLineKind = 1;
inline constexpr int kLastLineKind = 46;
// A file line holds at most this many bytes, CR LF included.
inline constexpr int kMaxScriptLineBytes = 127;

struct ScriptLineRef {
    int kind = 0;
    int channel = 0; // 1-based for kinds 35-43, 0 otherwise
};

// Every line of a file, in file order (172 lines).
const std::vector<ScriptLineRef>& ConfigScriptLayout();

// The text of one line, without terminator. channel is 1-based and used by
// the channel kinds 35-43 only.
QString BuildScriptLine(const LoggerConfig& cfg, int kind, int channel = 0);

// What a line carries, for messages: "Name", "EmailTo", "output channel 5", ...
QString ScriptLineSubject(int kind, int channel = 0);

// 8-bit form of a text; nothing when a character lies above U+00FF.
std::optional<QByteArray> EncodeScriptText(QStringView text);

struct EncodedScript {
    QByteArray bytes; // the whole file; empty when error is set
    QString error;    // names the field whose line cannot be written
    bool ok() const { return error.isEmpty(); }
};

// Builds the whole file. A line that has a character without an 8-bit form,
// or that would not fit in kMaxScriptLineBytes, is never cut or dropped: the
// result then carries an error naming the field and no bytes.
EncodedScript EncodeConfigScript(const LoggerConfig& cfg);

// Writes EncodeConfigScript's bytes to out. Returns false, with a message in
// *error, when the script cannot be built or the device refuses the bytes;
// nothing is written in the first case.
bool WriteConfigScript(const LoggerConfig& cfg, QIODevice& out, QString* error = nullptr);

} // namespace corvina
