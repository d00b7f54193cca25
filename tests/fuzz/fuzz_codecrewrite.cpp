// The codec-information rewrite on arbitrary names, templates and codec tables.
#include "fuzzinput.h"
#include "transform/codecrewrite.h"

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QStringList in = fuzz::fields(data, size, 3);
    const transform::ProfileFile table = transform::ProfileFile::parse(in[2]);
    const std::optional<QString> result = transform::RewriteCodecInfo(in[0], in[1], table);
    // A line without "[" holds no group and is never rewritten.
    if (!in[0].contains(QChar(u'[')))
        fuzz::require(result.has_value() && result->isEmpty());
    return 0;
}
