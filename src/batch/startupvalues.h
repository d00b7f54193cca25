#pragma once

#include <QString>

namespace quillet::batch {

// Values read once at start-up from the data files in the data folder and only read
// afterwards. A missing or unreadable file leaves its value empty.
struct StartupValues {
    QString crc16Template; // first line of CRC16STR.txt
    QString crc32Template; // first line of CRC32STR.txt
    QString codecTemplate; // first line of CodecInfo.txt
    int checksumBlockFactor = 1;
};

// dataFolder ends with the platform's separator.
[[nodiscard]] StartupValues loadStartupValues(const QString& dataFolder);

} // namespace quillet::batch
