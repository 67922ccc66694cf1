#include "sensorcatalogue.h"

#include "cnumbers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace corvina {

namespace {

const char* const kRangeTexts[] = {"2500mV", "1250mV", "635mV", "312mV",
                                   "156mV",  "78mV",   "39mV",  "19mV"};
// The catalogue writes 635 where the logger's range is 625.
const char* const kRangeValues[] = {"2500", "1250", "625", "312", "156", "78", "39", "19"};

constexpr int kMaxFields = 12;

QStringList SplitFields(const QString& line) {
    QStringList fields = line.split(QLatin1Char(';'));
    if (fields.size() > kMaxFields)
        fields.erase(fields.begin() + kMaxFields, fields.end());
    while (fields.size() < kMaxFields)
        fields.append(QString());
    return fields;
}

void SetChannels(SensorDef& sensor, const QString& list) {
    sensor.Channels.fill(0);
    for (const QString& item : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int64_t channel = LeadingInteger(item);
        if (channel >= 1 && channel <= int64_t(sensor.Channels.size()))
            sensor.Channels[size_t(channel - 1)] = 1;
    }
}

void SetCoefficients(SensorDef& sensor, const QStringList& fields, int first) {
    sensor.A0 = LeadingFloat(fields[first]);
    sensor.A1 = LeadingFloat(fields[first + 1]);
    sensor.A2 = LeadingFloat(fields[first + 2]);
    sensor.A3 = LeadingFloat(fields[first + 3]);
}

void FillEntry(SensorDef& sensor, const QString& line) {
    const QStringList f = SplitFields(line);
    sensor.Name = f[0];
    sensor.Kind = f[1];
    if (sensor.Kind == QLatin1String("analog")) {
        sensor.Polarity = f[2];
        sensor.Range = f[3];
        sensor.Ratio = f[4] == QLatin1String("yes") ? 1 : 0;
        sensor.Vect = f[5] == QLatin1String("yes") ? 1 : 0;
        SetCoefficients(sensor, f, 6);
        SetChannels(sensor, f[10]);
    } else if (sensor.Kind == QLatin1String("digital")) {
        if (f[2] == QLatin1String("freq"))
            sensor.Type = QStringLiteral("FREQ");
        else if (f[2] == QLatin1String("count"))
            sensor.Type = QStringLiteral("COUNT");
        else if (f[2] == QLatin1String("time"))
            sensor.Type = QStringLiteral("TIME");
        SetCoefficients(sensor, f, 3);
        SetChannels(sensor, f[7]);
    }
}

} // namespace

void ClearSensorCatalogue(LoggerConfig& cfg) {
    for (SensorDef& s : cfg.Sensors) {
        s.Kind.clear();
        s.Name.clear();
        s.Polarity = QStringLiteral("BIP");
        s.Range = QStringLiteral("2500");
        s.Ratio = 0;
        s.A0 = s.A1 = s.A2 = s.A3 = 0.0f;
        s.Channels.fill(0);
    }
}

QString FindSensorCatalogueFile() {
    const QString name = QStringLiteral("sensor.ini");
    QStringList candidates{QDir::current().filePath(name)};
    if (QCoreApplication::instance()) {
        const QDir appDir(QCoreApplication::applicationDirPath());
        candidates << appDir.filePath(name)
                   << appDir.filePath(QStringLiteral("../share/corvinasetup/") + name);
    }
    for (const QString& path : candidates) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return candidates.front();
}

void BuildSensorCatalogue(LoggerConfig& cfg) {
    BuildSensorCatalogue(cfg, FindSensorCatalogueFile());
}

void BuildSensorCatalogue(LoggerConfig& cfg, const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        BuildSensorCatalogue(cfg, file);
}

void BuildSensorCatalogue(LoggerConfig& cfg, QIODevice& in) {
    size_t next = 0;
    while (next < cfg.Sensors.size() && !in.atEnd()) {
        QByteArray bytes = in.readLine();
        while (bytes.endsWith('\n') || bytes.endsWith('\r'))
            bytes.chop(1);
        const QString line = QString::fromLatin1(bytes);
        if (line.size() < 5 || line.contains(QLatin1Char('#')))
            continue;
        FillEntry(cfg.Sensors[next++], line);
    }
}

const SensorDef* FindSensor(const LoggerConfig& cfg, const QString& name) {
    if (name.isEmpty())
        return nullptr;
    for (const SensorDef& s : cfg.Sensors) {
        if (s.Name == name)
            return &s;
    }
    return nullptr;
}

std::optional<int> SensorRangeIndex(const SensorDef& sensor) {
    for (int i = 0; i < int(std::size(kRangeTexts)); ++i) {
        if (sensor.Range == QLatin1String(kRangeTexts[i]))
            return i;
    }
    return std::nullopt;
}

std::optional<QString> SensorRangeValue(const SensorDef& sensor) {
    const std::optional<int> index = SensorRangeIndex(sensor);
    if (!index)
        return std::nullopt;
    return QString::fromLatin1(kRangeValues[*index]);
}

bool SensorIsUnipolar(const SensorDef& sensor) {
    return sensor.Polarity == QLatin1String("unipolar");
}

} // namespace corvina
