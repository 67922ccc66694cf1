// Any bytes, as a configuration file: loading, then saving and reloading.
//
// A saved file need not reload into exactly itself: the last field of a
// channel line is also read as a key line, so an output alias such as
// "UserNameConfig x" sets that key too, after the key's own line. Once saved
// twice, though, a configuration must be a fixed point of save and reload.
#include "configscript.h"
#include "tessarsetupdoc.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

corvina::EncodedScript Reload(const QByteArray& file) {
    corvina::LoggerConfig cfg;
    corvina::ResetToDefaults(cfg);
    QByteArray bytes = file;
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    corvina::LoadConfigScript(cfg, in);
    return corvina::EncodeConfigScript(cfg);
}

void ReportDifference(const QByteArray& a, const QByteArray& b) {
    const QList<QByteArray> la = a.split('\n'), lb = b.split('\n');
    for (qsizetype i = 0; i < la.size() && i < lb.size(); ++i) {
        if (la[i] != lb[i])
            std::fprintf(stderr, "saved:  %s\nreread: %s\n", la[i].constData(), lb[i].constData());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const corvina::EncodedScript first =
        Reload(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!first.ok())
        return 0;
    const corvina::EncodedScript second = Reload(first.bytes);
    if (!second.ok())
        __builtin_trap(); // a saved file must always be savable again
    const corvina::EncodedScript third = Reload(second.bytes);
    if (third.bytes != second.bytes) {
        ReportDifference(second.bytes, third.bytes);
        __builtin_trap();
    }
    return 0;
}
