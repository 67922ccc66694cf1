// Any bytes, as a logger answer: must never crash, hang or read out of bounds,
// and whatever it stores must still make a script that can be built.
#include "configparser.h"
#include "configscript.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static corvina::LoggerConfig defaults = [] {
        corvina::LoggerConfig cfg;
        corvina::ResetToDefaults(cfg);
        return cfg;
    }();
    corvina::LoggerConfig cfg = defaults;
    corvina::ParseConfigScript(
        cfg, QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    (void)corvina::EncodeConfigScript(cfg);
    for (int kind = 35; kind <= 43; ++kind)
        (void)corvina::BuildScriptLine(cfg, kind, 1);
    return 0;
}
