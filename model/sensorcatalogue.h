// The sensor catalogue: up to 50 known sensor types read from "sensor.ini".
//
// File format: 8-bit text, one sensor per line, fields separated by ';', no
// trimming. Lines shorter than 5 characters or holding '#' are skipped.
//   analog:  name;analog;polarity;range;ratio;vect;A0;A1;A2;A3;channels
//   digital: name;digital;type;A0;A1;A2;A3;channels
// channels is a comma-separated list of input channel numbers (1-20).
#pragma once

#include "loggerconfig.h"

#include <QIODevice>
#include <QString>

#include <optional>

namespace corvina {

// Empties every catalogue entry (Type and Vect keep their values).
void ClearSensorCatalogue(LoggerConfig& cfg);

// Where "sensor.ini" is looked for: the working directory first, then the
// folder of the running program, then the installed data folder.
QString FindSensorCatalogueFile();

// Reads the catalogue file into cfg.Sensors, filling entries from the first.
// A file that cannot be read leaves the catalogue as it is (cleared after a
// new document). The default path is FindSensorCatalogueFile().
void BuildSensorCatalogue(LoggerConfig& cfg);
void BuildSensorCatalogue(LoggerConfig& cfg, const QString& path);
void BuildSensorCatalogue(LoggerConfig& cfg, QIODevice& in);

// The first entry whose Name equals name exactly, or nullptr.
const SensorDef* FindSensor(const LoggerConfig& cfg, const QString& name);

// Position 0-7 of the entry's range text in "2500mV", "1250mV", "635mV",
// "312mV", "156mV", "78mV", "39mV", "19mV"; nothing for any other text.
std::optional<int> SensorRangeIndex(const SensorDef& sensor);

// The analog range value ("2500" ... "19") that the entry's range text selects.
std::optional<QString> SensorRangeValue(const SensorDef& sensor);

bool SensorIsUnipolar(const SensorDef& sensor);

} // namespace corvina
