// Reads configuration lines - a file line, or a logger's answer holding many
// lines - into the model. Only fields that a line names are written.
//
// The text is cut at every CR; text after the last CR is never examined, so a
// line counts only when a CR follows it. Within a line every character below
// 0x1F or above 0x7F is removed first. Channel numbers outside their table,
// unknown keys and unknown field letters are ignored.
#pragma once

#include "loggerconfig.h"

#include <QByteArrayView>

namespace corvina {

void ParseConfigScript(LoggerConfig& cfg, QByteArrayView text);

} // namespace corvina
