#include "memory/rememberedvalues.h"

#include "datafile/datafile.h"

namespace quillet::memory {

QStringList LoadRememberedValues(const QString& dataFolder) {
    QStringList values =
        datafile::readDataFileLines(QString(dataFolder).append(kRememberedValuesFile))
            .value_or(QStringList());
    values.removeAll(QString());
    return values;
}

} // namespace quillet::memory
