#include "memory/rememberedvalues.h"

#include "datafile/datafile.h"

namespace quillet::memory {

QStringList LoadRememberedValues(const QString& dataFolder)
{
    QStringList values =
        datafile::readDataFileLines(QString(dataFolder).append(kRememberedValuesFile))
            .value_or(QStringList());
    values.removeAll(QString());
    return values;
}

std::optional<datafile::WriteError> SaveRememberedValues(const QString& dataFolder,
                                                         const QStringList& values)
{
    QString text = values.join(u"\r\n");
    text.append(u"\r\n");
    return datafile::writeFileAtomically(QString(dataFolder).append(kRememberedValuesFile),
                                         datafile::encodeDataFile(text));
}

} // namespace quillet::memory
