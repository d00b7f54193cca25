#pragma once

// Slow checksums that share nothing with the fast ones but the parameters: one bit at a time
// over the bytes, and long runs of zero bytes as a power of the register's transition matrix.
// Together they give the checksum of a sparse file of any length in microseconds.
#include "checksum/crc.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <map>

namespace quillet::test {

struct CrcModel {
    std::uint32_t reflectedPoly;
    std::uint32_t initial;
    std::uint32_t finalXor;
};

inline CrcModel crcModel(checksum::ChecksumKind kind)
{
    return kind == checksum::ChecksumKind::Crc16 ? CrcModel{0x8408, 0xFFFF, 0}
                                                 : CrcModel{0xEDB88320, 0xFFFFFFFF, 0xFFFFFFFF};
}

inline std::uint32_t bitwiseUpdate(const CrcModel& model, std::uint32_t reg, const char* p,
                                   std::size_t n)
{
    while (n--) {
        reg ^= static_cast<unsigned char>(*p++);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 1) ? (reg >> 1) ^ model.reflectedPoly : reg >> 1;
    }
    return reg;
}

// Column i is the register that bit i alone becomes.
using CrcMatrix = std::array<std::uint32_t, 32>;

inline std::uint32_t applyMatrix(const CrcMatrix& m, std::uint32_t v)
{
    std::uint32_t r = 0;
    for (int i = 0; v != 0; ++i, v >>= 1)
        if (v & 1)
            r ^= m[i];
    return r;
}

// The register after `zeros` more zero bytes.
inline std::uint32_t appendZeros(const CrcModel& model, std::uint32_t reg, std::uint64_t zeros)
{
    CrcMatrix power{}; // the transition of 2^k zero bytes
    const char zero = 0;
    for (int i = 0; i < 32; ++i)
        power[i] = bitwiseUpdate(model, std::uint32_t(1) << i, &zero, 1);
    for (; zeros != 0; zeros >>= 1) {
        if (zeros & 1)
            reg = applyMatrix(power, reg);
        CrcMatrix squared{};
        for (int i = 0; i < 32; ++i)
            squared[i] = applyMatrix(power, power[i]);
        power = squared;
    }
    return reg;
}

// The checksum of `length` bytes that are zero except for `pieces` (by offset, not overlapping).
inline std::uint32_t sparseCrc(checksum::ChecksumKind kind, std::uint64_t length,
                               const std::map<std::uint64_t, QByteArray>& pieces)
{
    const CrcModel model = crcModel(kind);
    std::uint32_t reg = model.initial;
    std::uint64_t at = 0;
    for (const auto& [offset, bytes] : pieces) {
        reg = appendZeros(model, reg, offset - at);
        reg = bitwiseUpdate(model, reg, bytes.constData(), std::size_t(bytes.size()));
        at = offset + std::uint64_t(bytes.size());
    }
    return appendZeros(model, reg, length - at) ^ model.finalXor;
}

} // namespace quillet::test
