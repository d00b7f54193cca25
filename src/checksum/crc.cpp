#include "checksum/crc.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__x86_64__) || defined(_M_X64)
#define QUILLET_CRC_X86 1
#include <immintrin.h>
#if defined(_MSC_VER)
#include <intrin.h>
#endif
#endif

namespace quillet::checksum {
namespace {

// A reflected CRC of width w <= 32 is the reflected 32-bit CRC of the polynomial
// P(x) * x^(32 - w): its register simply stays within the low w bits. So one engine with
// 32-bit tables and folding constants serves both kinds.
struct Engine {
    std::uint32_t reflectedPoly = 0; // the table polynomial, e.g. 0xEDB88320
    std::uint64_t normalPoly = 0;    // x^32 + ..., not reflected, for the constants
    std::array<std::array<std::uint32_t, 256>, 16> tables{};
    // Folding constants: for a distance of T bits, the low quadword is multiplied by
    // x^(T+32) mod P and the high one by x^(T-32) mod P (reflected, shifted left by one).
    std::uint64_t fold2048Low = 0, fold2048High = 0;
    std::uint64_t fold1024Low = 0, fold1024High = 0;
    std::uint64_t fold512Low = 0, fold512High = 0;
    std::uint64_t fold128Low = 0, fold128High = 0;
    // x^(2^k) mod P, reflected (x^0 is the top bit), for appending k-bit runs of zeros.
    std::array<std::uint32_t, 67> powerOfTwoShifts{};
};

std::uint32_t reflect32(std::uint32_t v)
{
    std::uint32_t r = 0;
    for (int i = 0; i < 32; ++i)
        r |= ((v >> i) & 1u) << (31 - i);
    return r;
}

std::uint64_t foldConstant(std::uint64_t normalPoly, int exponent)
{
    std::uint64_t r = 1; // x^0
    for (int i = 0; i < exponent; ++i) {
        r <<= 1;
        if (r & (std::uint64_t(1) << 32))
            r ^= normalPoly;
    }
    return std::uint64_t(reflect32(std::uint32_t(r))) << 1;
}

// a(x) * b(x) mod P for reflected operands: bit 31 holds x^0, bit 0 holds x^31. For CRC-16 the
// modulus is x^16 * P16(x), whose ring keeps x^16 * r(x) in the form x^16 * (r(x) mod P16):
// the product of a 16-bit register stays a 16-bit register.
std::uint32_t multiplyModulo(std::uint32_t reflectedPoly, std::uint32_t a, std::uint32_t b)
{
    std::uint32_t product = 0;
    for (std::uint32_t bit = 0x80000000u; bit != 0 && a != 0; bit >>= 1) {
        if (a & bit) {
            product ^= b;
            a ^= bit;
        }
        b = (b & 1) ? (b >> 1) ^ reflectedPoly : b >> 1; // b *= x
    }
    return product;
}

Engine makeEngine(std::uint32_t reflectedPoly)
{
    Engine e;
    e.reflectedPoly = reflectedPoly;
    e.normalPoly = (std::uint64_t(1) << 32) | reflect32(reflectedPoly);
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ reflectedPoly : c >> 1;
        e.tables[0][n] = c;
    }
    for (std::uint32_t n = 0; n < 256; ++n) {
        for (int t = 1; t < 16; ++t) {
            const std::uint32_t prev = e.tables[t - 1][n];
            e.tables[t][n] = (prev >> 8) ^ e.tables[0][prev & 0xFF];
        }
    }
    e.fold2048Low = foldConstant(e.normalPoly, 2048 + 32);
    e.fold2048High = foldConstant(e.normalPoly, 2048 - 32);
    e.fold1024Low = foldConstant(e.normalPoly, 1024 + 32);
    e.fold1024High = foldConstant(e.normalPoly, 1024 - 32);
    e.fold512Low = foldConstant(e.normalPoly, 512 + 32);
    e.fold512High = foldConstant(e.normalPoly, 512 - 32);
    e.fold128Low = foldConstant(e.normalPoly, 128 + 32);
    e.fold128High = foldConstant(e.normalPoly, 128 - 32);
    e.powerOfTwoShifts[0] = 0x40000000u; // x^1
    for (std::size_t k = 1; k < e.powerOfTwoShifts.size(); ++k)
        e.powerOfTwoShifts[k] =
            multiplyModulo(reflectedPoly, e.powerOfTwoShifts[k - 1], e.powerOfTwoShifts[k - 1]);
    return e;
}

const Engine& engine(ChecksumKind kind)
{
    // Filled on first use and kept for the life of the program.
    static const Engine crc16 = makeEngine(0x8408);
    static const Engine crc32 = makeEngine(0xEDB88320);
    return kind == ChecksumKind::Crc16 ? crc16 : crc32;
}

std::uint32_t load32(const unsigned char* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v; // little-endian: byte 0 in the low bits, as a reflected CRC wants
}

std::uint32_t updateBytewise(const Engine& e, std::uint32_t crc, const unsigned char* p,
                             std::size_t n)
{
    while (n--)
        crc = (crc >> 8) ^ e.tables[0][(crc ^ *p++) & 0xFF];
    return crc;
}

std::uint32_t updateSlicing16(const Engine& e, std::uint32_t crc, const unsigned char* p,
                              std::size_t n)
{
    const auto& t = e.tables;
    while (n >= 16) {
        const std::uint32_t a = load32(p) ^ crc;
        const std::uint32_t b = load32(p + 4);
        const std::uint32_t c = load32(p + 8);
        const std::uint32_t d = load32(p + 12);
        crc = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24]
              ^ t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24]
              ^ t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24]
              ^ t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
        p += 16;
        n -= 16;
    }
    return updateBytewise(e, crc, p, n);
}

#if QUILLET_CRC_X86

bool cpuHasCarrylessMultiply()
{
#if defined(_MSC_VER)
    int info[4];
    __cpuid(info, 1);
    return (info[2] & (1 << 1)) && (info[2] & (1 << 19)); // PCLMULQDQ, SSE4.1
#else
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
#endif
}

// 256-bit carry-less multiplication (VPCLMULQDQ) folds two 128-bit lanes per instruction.
bool cpuHasWideCarrylessMultiply()
{
#if defined(_MSC_VER)
    int info[4];
    __cpuid(info, 1);
    const bool osSavesYmm = (info[2] & (1 << 27)) && (_xgetbv(0) & 0x6) == 0x6;
    __cpuidex(info, 7, 0);
    return osSavesYmm && (info[1] & (1 << 5)) && (info[2] & (1 << 10)); // AVX2, VPCLMULQDQ
#else
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("vpclmulqdq");
#endif
}

// 512-bit carry-less multiplication folds four lanes per instruction.
bool cpuHasWidestCarrylessMultiply()
{
#if defined(_MSC_VER)
    int info[4];
    __cpuid(info, 1);
    // The system must save the AVX-512 registers (opmask, upper ZMM halves, ZMM16-31) too.
    const bool osSavesZmm = (info[2] & (1 << 27)) && (_xgetbv(0) & 0xE6) == 0xE6;
    __cpuidex(info, 7, 0);
    return osSavesZmm && (info[1] & (1 << 16)) && (info[1] & (1 << 31))
           && (info[2] & (1 << 10)); // AVX512F, AVX512VL, VPCLMULQDQ
#else
    // GCC reports the AVX-512 features only when the system saves their registers.
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl")
           && __builtin_cpu_supports("vpclmulqdq");
#endif
}

#if defined(__GNUC__)
#define QUILLET_TARGET_CLMUL __attribute__((target("pclmul,sse4.1")))
#define QUILLET_TARGET_WIDE __attribute__((target("vpclmulqdq,avx2,pclmul,sse4.1")))
#define QUILLET_TARGET_WIDEST                                                                      \
    __attribute__((target("vpclmulqdq,avx512f,avx512vl,avx2,pclmul,sse4.1")))
#else
#define QUILLET_TARGET_CLMUL
#define QUILLET_TARGET_WIDE
#define QUILLET_TARGET_WIDEST
#endif

QUILLET_TARGET_CLMUL inline __m128i fold(__m128i x, __m128i k)
{
    return _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11));
}

QUILLET_TARGET_CLMUL inline __m128i load128(const unsigned char* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The rest after the wide folds: 16-byte blocks folded into x, then the tables. The folded
// 128-bit value is congruent to the message so far, so its CRC from a zero register is the
// register for the bytes it stands for.
QUILLET_TARGET_CLMUL std::uint32_t finishFolded(const Engine& e, __m128i x, const unsigned char* p,
                                                std::size_t n)
{
    const __m128i k128 =
        _mm_set_epi64x(static_cast<long long>(e.fold128High), static_cast<long long>(e.fold128Low));
    while (n >= 16) {
        x = _mm_xor_si128(fold(x, k128), load128(p));
        p += 16;
        n -= 16;
    }
    alignas(16) unsigned char folded[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(folded), x);
    const std::uint32_t crc = updateSlicing16(e, 0, folded, sizeof folded);
    return updateSlicing16(e, crc, p, n);
}

// Four 128-bit lanes (64 bytes) folded at once; at least 64 bytes.
QUILLET_TARGET_CLMUL std::uint32_t updateCarryless(const Engine& e, std::uint32_t crc,
                                                   const unsigned char* p, std::size_t n)
{
    const __m128i k512 =
        _mm_set_epi64x(static_cast<long long>(e.fold512High), static_cast<long long>(e.fold512Low));
    const __m128i k128 =
        _mm_set_epi64x(static_cast<long long>(e.fold128High), static_cast<long long>(e.fold128Low));
    __m128i x0 = _mm_xor_si128(load128(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x1 = load128(p + 16);
    __m128i x2 = load128(p + 32);
    __m128i x3 = load128(p + 48);
    p += 64;
    n -= 64;
    while (n >= 64) {
        x0 = _mm_xor_si128(fold(x0, k512), load128(p));
        x1 = _mm_xor_si128(fold(x1, k512), load128(p + 16));
        x2 = _mm_xor_si128(fold(x2, k512), load128(p + 32));
        x3 = _mm_xor_si128(fold(x3, k512), load128(p + 48));
        p += 64;
        n -= 64;
    }
    __m128i x = _mm_xor_si128(fold(x0, k128), x1);
    x = _mm_xor_si128(fold(x, k128), x2);
    x = _mm_xor_si128(fold(x, k128), x3);
    return finishFolded(e, x, p, n);
}

QUILLET_TARGET_WIDE inline __m256i fold256(__m256i y, __m256i k)
{
    return _mm256_xor_si256(_mm256_clmulepi64_epi128(y, k, 0x00),
                            _mm256_clmulepi64_epi128(y, k, 0x11));
}

QUILLET_TARGET_WIDE inline __m256i load256(const unsigned char* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Eight 128-bit lanes (128 bytes) folded at once, two per instruction; at least 128 bytes.
QUILLET_TARGET_WIDE std::uint32_t updateWideCarryless(const Engine& e, std::uint32_t crc,
                                                      const unsigned char* p, std::size_t n)
{
    const auto lo = static_cast<long long>(e.fold1024Low);
    const auto hi = static_cast<long long>(e.fold1024High);
    const __m256i k1024 = _mm256_set_epi64x(hi, lo, hi, lo);
    const __m128i k128 =
        _mm_set_epi64x(static_cast<long long>(e.fold128High), static_cast<long long>(e.fold128Low));
    __m256i y0 =
        _mm256_xor_si256(load256(p), _mm256_setr_epi32(static_cast<int>(crc), 0, 0, 0, 0, 0, 0, 0));
    __m256i y1 = load256(p + 32);
    __m256i y2 = load256(p + 64);
    __m256i y3 = load256(p + 96);
    p += 128;
    n -= 128;
    while (n >= 128) {
        y0 = _mm256_xor_si256(fold256(y0, k1024), load256(p));
        y1 = _mm256_xor_si256(fold256(y1, k1024), load256(p + 32));
        y2 = _mm256_xor_si256(fold256(y2, k1024), load256(p + 64));
        y3 = _mm256_xor_si256(fold256(y3, k1024), load256(p + 96));
        p += 128;
        n -= 128;
    }
    // The eight lanes in message order, folded into one.
    __m128i x = _mm256_castsi256_si128(y0);
    x = _mm_xor_si128(fold(x, k128), _mm256_extracti128_si256(y0, 1));
    for (const __m256i y : {y1, y2, y3}) {
        x = _mm_xor_si128(fold(x, k128), _mm256_castsi256_si128(y));
        x = _mm_xor_si128(fold(x, k128), _mm256_extracti128_si256(y, 1));
    }
    return finishFolded(e, x, p, n);
}

QUILLET_TARGET_WIDEST inline __m512i load512(const unsigned char* p)
{
    return _mm512_loadu_si512(p);
}

// Folds the four lanes of z over `k`'s distance and adds the data in, in one three-way XOR.
QUILLET_TARGET_WIDEST inline __m512i fold512(__m512i z, __m512i k, __m512i data)
{
    return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(z, k, 0x00),
                                     _mm512_clmulepi64_epi128(z, k, 0x11), data, 0x96);
}

QUILLET_TARGET_WIDEST __m512i broadcastConstants(std::uint64_t low, std::uint64_t high)
{
    const auto lo = static_cast<long long>(low);
    const auto hi = static_cast<long long>(high);
    return _mm512_set_epi64(hi, lo, hi, lo, hi, lo, hi, lo);
}

// One 128-bit lane of z (the masked form: the plain one trips GCC's uninitialized warning).
template <int index> QUILLET_TARGET_WIDEST inline __m128i lane(__m512i z)
{
    return _mm512_maskz_extracti32x4_epi32(0xF, z, index);
}

// Sixteen 128-bit lanes (256 bytes) folded at once, four per instruction; at least 256 bytes.
QUILLET_TARGET_WIDEST std::uint32_t updateWidestCarryless(const Engine& e, std::uint32_t crc,
                                                          const unsigned char* p, std::size_t n)
{
    const __m512i k2048 = broadcastConstants(e.fold2048Low, e.fold2048High);
    const __m512i k512 = broadcastConstants(e.fold512Low, e.fold512High);
    const __m128i k128 =
        _mm_set_epi64x(static_cast<long long>(e.fold128High), static_cast<long long>(e.fold128Low));
    __m512i z0 = _mm512_xor_si512(load512(p),
                                  _mm512_castsi128_si512(_mm_cvtsi32_si128(static_cast<int>(crc))));
    __m512i z1 = load512(p + 64);
    __m512i z2 = load512(p + 128);
    __m512i z3 = load512(p + 192);
    p += 256;
    n -= 256;
    while (n >= 256) {
        z0 = fold512(z0, k2048, load512(p));
        z1 = fold512(z1, k2048, load512(p + 64));
        z2 = fold512(z2, k2048, load512(p + 128));
        z3 = fold512(z3, k2048, load512(p + 192));
        p += 256;
        n -= 256;
    }
    // The four registers in message order, folded into one, whose four lanes are then folded
    // into one in message order.
    z1 = fold512(z0, k512, z1);
    z2 = fold512(z1, k512, z2);
    z3 = fold512(z2, k512, z3);
    __m128i x = lane<0>(z3);
    x = _mm_xor_si128(fold(x, k128), lane<1>(z3));
    x = _mm_xor_si128(fold(x, k128), lane<2>(z3));
    x = _mm_xor_si128(fold(x, k128), lane<3>(z3));
    return finishFolded(e, x, p, n);
}

#endif

// The widest kernel this processor offers, found once.
CrcKernel bestKernel()
{
#if QUILLET_CRC_X86
    static const CrcKernel best = !cpuHasCarrylessMultiply()        ? CrcKernel::Tables
                                  : cpuHasWidestCarrylessMultiply() ? CrcKernel::WidestCarryless
                                  : cpuHasWideCarrylessMultiply()   ? CrcKernel::WideCarryless
                                                                    : CrcKernel::Carryless;
    return best;
#else
    return CrcKernel::Tables;
#endif
}

std::uint32_t updateWith(CrcKernel kernel, const Engine& e, std::uint32_t crc,
                         const unsigned char* p, std::size_t n)
{
#if QUILLET_CRC_X86
    // A kernel the processor lacks falls back to the next narrower one.
    const CrcKernel usable = std::min(kernel, bestKernel());
    if (usable == CrcKernel::WidestCarryless && n >= 256)
        return updateWidestCarryless(e, crc, p, n);
    if (usable >= CrcKernel::WideCarryless && n >= 128)
        return updateWideCarryless(e, crc, p, n);
    if (usable >= CrcKernel::Carryless && n >= 64)
        return updateCarryless(e, crc, p, n);
#else
    Q_UNUSED(kernel);
#endif
    return updateSlicing16(e, crc, p, n);
}

constexpr std::uint32_t initialRegister(ChecksumKind kind)
{
    return kind == ChecksumKind::Crc16 ? 0xFFFFu : 0xFFFFFFFFu;
}

constexpr std::uint32_t finalXor(ChecksumKind kind)
{
    return kind == ChecksumKind::Crc16 ? 0u : 0xFFFFFFFFu;
}

} // namespace

Crc::Crc(ChecksumKind kind)
    : m_kind(kind)
    , m_register(initialRegister(kind))
{
}

void Crc::update(const void* data, std::size_t size)
{
    m_register = updateWith(bestKernel(), engine(m_kind), m_register,
                            static_cast<const unsigned char*>(data), size);
}

std::uint32_t Crc::value() const
{
    return m_register ^ finalXor(m_kind);
}

QString Crc::text() const
{
    return checksumText(m_kind, value());
}

QString checksumText(ChecksumKind kind, std::uint32_t value)
{
    const int digits = kind == ChecksumKind::Crc16 ? 4 : 8;
    return QStringLiteral("%1").arg(value, digits, 16, QChar(u'0')).toUpper();
}

std::uint32_t crcWithKernel(ChecksumKind kind, CrcKernel kernel, const void* data, std::size_t size)
{
    const std::uint32_t crc = updateWith(kernel, engine(kind), initialRegister(kind),
                                         static_cast<const unsigned char*>(data), size);
    return crc ^ finalXor(kind);
}

std::uint32_t combineCrc(ChecksumKind kind, std::uint32_t crcA, std::uint32_t crcB,
                         std::uint64_t lengthB)
{
    // The register is linear in what it started from: running B from register r gives
    // r * x^(8 * lengthB) mod P XOR (B run from register 0). B's own checksum started from the
    // initial register instead, and both carry the final XOR; taking those out leaves
    // (crcA XOR final XOR XOR initial) * x^(8 * lengthB) XOR crcB.
    const Engine& e = engine(kind);
    std::uint32_t shift = 0x80000000u; // x^0
    // x^(8 * lengthB) from the bits of lengthB, starting at x^(2^3) = x^8.
    for (std::size_t k = 3; lengthB != 0; ++k, lengthB >>= 1) {
        if (lengthB & 1)
            shift = multiplyModulo(e.reflectedPoly, e.powerOfTwoShifts[k], shift);
    }
    const std::uint32_t registerA = crcA ^ finalXor(kind) ^ initialRegister(kind);
    return multiplyModulo(e.reflectedPoly, shift, registerA) ^ crcB;
}

std::uint32_t referenceCrc(ChecksumKind kind, const void* data, std::size_t size)
{
    const std::uint32_t crc = updateBytewise(engine(kind), initialRegister(kind),
                                             static_cast<const unsigned char*>(data), size);
    return crc ^ finalXor(kind);
}

} // namespace quillet::checksum
