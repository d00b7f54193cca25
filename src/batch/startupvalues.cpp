#include "batch/startupvalues.h"

#include "datafile/datafile.h"

namespace quillet::batch {

using namespace Qt::Literals::StringLiterals;

StartupValues loadStartupValues(const QString& dataFolder)
{
    using datafile::readFirstLine;
    StartupValues values;
    values.crc16Template = readFirstLine(dataFolder + u"CRC16STR.txt"_s);
    values.crc32Template = readFirstLine(dataFolder + u"CRC32STR.txt"_s);
    values.codecTemplate = readFirstLine(dataFolder + u"CodecInfo.txt"_s);
    return values;
}

} // namespace quillet::batch
