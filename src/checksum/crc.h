#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

namespace quillet::checksum {

// The two checksums a name can carry. Both are reflected CRCs (least significant bit first):
//   CRC-16/MCRF4XX: polynomial 0x1021, initial 0xFFFF, no final XOR, 4 hex digits;
//   CRC-32/ISO-HDLC (zip, PNG): polynomial 0x04C11DB7, initial 0xFFFFFFFF, final XOR 0xFFFFFFFF.
enum class ChecksumKind { Crc16, Crc32 };

// The ways to compute a checksum: tables, or carry-less multiplication folding 128-bit lanes
// (PCLMULQDQ), two of them per instruction (VPCLMULQDQ on AVX2) or four (VPCLMULQDQ on AVX-512).
enum class CrcKernel { Tables, Carryless, WideCarryless, WidestCarryless };

// A running checksum over bytes fed in order.
class Crc {
public:
    explicit Crc(ChecksumKind kind);

    void update(const void* data, std::size_t size);
    // The register after the final XOR.
    [[nodiscard]] std::uint32_t value() const;
    // The value as upper-case hexadecimal digits, most significant byte first: 4 or 8 of them.
    [[nodiscard]] QString text() const;

private:
    ChecksumKind m_kind;
    std::uint32_t m_register;
};

// A checksum value as upper-case hexadecimal digits, most significant byte first: 4 or 8 of them.
[[nodiscard]] QString checksumText(ChecksumKind kind, std::uint32_t value);

// The checksum with a chosen kernel, so that tests and benchmarks reach every one the
// processor has; a kernel it lacks falls back to the next narrower.
[[nodiscard]] std::uint32_t crcWithKernel(ChecksumKind kind, CrcKernel kernel, const void* data,
                                          std::size_t size);

// The checksum of a text A followed by a text B, from the checksum of A, the checksum of B
// and the length of B: what lets two threads sum the two halves of a file. Costs about
// log2(lengthB) small polynomial products, whatever the length.
[[nodiscard]] std::uint32_t combineCrc(ChecksumKind kind, std::uint32_t crcA, std::uint32_t crcB,
                                       std::uint64_t lengthB);

// The same checksum one byte at a time with a single table: the reference the fast kernels are
// tested against.
[[nodiscard]] std::uint32_t referenceCrc(ChecksumKind kind, const void* data, std::size_t size);

} // namespace quillet::checksum
