// The profile reader on arbitrary files and look-ups.
#include "fuzzinput.h"
#include "transform/profilefile.h"

using namespace quillet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QStringList in = fuzz::fields(data, size, 3);
    const QString value = transform::ProfileFile::parse(in[0]).value(in[1], in[2]);
    fuzz::require(value.size() <= transform::ProfileFile::kMaxValueLength);
    return 0;
}
