// Every easy-mode operation on arbitrary lines and values.
#include "fuzzinput.h"
#include "transform/easymode.h"

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QStringList in = fuzz::fields(data, size, 6);
    transform::EasyValues values;
    values.valueA = in[1];
    values.valueB = in[2];
    values.crc16Template = in[3];
    values.crc32Template = in[4];
    values.codecTemplate = in[5];
    for (int index = -1; index <= transform::easy::kCount; ++index) {
        const QString result = transform::ApplyEasyOperation(index, in[0], values);
        // The empty-result rule: no operation empties a line.
        fuzz::require(!result.isEmpty() || in[0].isEmpty());
    }
    const std::optional<QString> run = transform::RunEasyMode(0, {in[0], in[1]}, values);
    fuzz::require(run.has_value() && run->startsWith(QStringLiteral("[DVD] ")));
    return 0;
}
