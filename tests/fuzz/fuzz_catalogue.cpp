// Any bytes, as "sensor.ini".
#include "sensorcatalogue.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    corvina::LoggerConfig cfg;
    corvina::ResetToDefaults(cfg);
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    corvina::BuildSensorCatalogue(cfg, in);
    for (const corvina::SensorDef& s : cfg.Sensors) {
        (void)corvina::SensorRangeIndex(s);
        (void)corvina::FindSensor(cfg, s.Name);
    }
    return 0;
}
