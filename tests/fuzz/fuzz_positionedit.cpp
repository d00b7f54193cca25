// Advanced-mode edits with arbitrary settings.
#include "fuzzinput.h"
#include "transform/advancededit.h"

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    transform::AdvancedEditRequest request;
    request.operation = data[0] % 5;
    request.modeA = data[1] % 6;
    request.modeB = data[2] % 6;
    const QStringList in = fuzz::fields(data + 3, size - 3, 6);
    request.valueA1 = in[1];
    request.plusA = in[2];
    request.valueB1 = in[3];
    request.plusB = in[4];
    request.valueC = in[5];
    const std::optional<QString> edited = transform::EditLineAtPositions(in[0], request);
    if (edited && !edited->isEmpty() && request.operation == 2)
        fuzz::require(edited->size() <= in[0].size()); // deleting never adds
    const QString all = transform::ApplyAdvancedEdit(3, in[0], request);
    // Three entries always give three lines.
    fuzz::require(all.count(QStringLiteral("\r\n")) >= 2);
    return 0;
}
