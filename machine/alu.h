#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tessaro {

/// The sixteen functions of the Mic-1 ALU, by their 6-bit codes (F0 F1 ENA ENB INVA INC). Every
/// other code gives 0.
enum class AluOp : std::uint8_t {
    A = 24,
    B = 20,
    NotA = 26,
    NotB = 44,
    APlusB = 60,
    APlusBPlus1 = 61,
    APlus1 = 57,
    BPlus1 = 53,
    BMinusA = 63,
    BMinus1 = 55,
    NegA = 59,
    And = 12,
    Or = 28,
    Zero = 16,
    One = 17,
    MinusOne = 18,
};

/// What an ALU function computes, as operand masks: the form both the datapath and the fast
/// step loop evaluate. x = (A & aMask) ^ aFlip, y = (B & bMask) ^ bFlip, and the result is
/// (x + y + carry) & addMask | (x & y) & andMask | (x | y) & orMask.
struct AluMasks {
    std::uint32_t aMask;
    std::uint32_t aFlip;
    std::uint32_t bMask;
    std::uint32_t bFlip;
    std::uint32_t carry;
    std::uint32_t addMask;
    std::uint32_t andMask;
    std::uint32_t orMask;

    /// The function applied to the A and B bus values.
    constexpr std::uint32_t apply(std::uint32_t a, std::uint32_t b) const {
        const std::uint32_t x = (a & aMask) ^ aFlip;
        const std::uint32_t y = (b & bMask) ^ bFlip;
        return ((x + y + carry) & addMask) | (x & y & andMask) | ((x | y) & orMask);
    }
};

/// One ALU function: which it is, what it computes and how the datapath picture names it
/// (empty for the constants, which show only the result).
struct AluFunction {
    AluOp op;
    std::string_view display;
    AluMasks masks;
};

namespace alu_detail {
inline constexpr std::uint32_t kAll = 0xFFFFFFFFu;
} // namespace alu_detail

/// The ALU functions, one row each.
inline constexpr auto kAluFunctions = [] {
    using alu_detail::kAll;
    // clang-format off
    return std::to_array<AluFunction>({
        // operation              display       aMask aFlip bMask bFlip carry addMask andMask orMask
        {AluOp::A,             "H",         {kAll, 0,    0,    0,    0,    kAll,   0,      0}},
        {AluOp::B,             "B",         {0,    0,    kAll, 0,    0,    kAll,   0,      0}},
        {AluOp::NotA,          "NOT H",     {kAll, kAll, 0,    0,    0,    kAll,   0,      0}},
        {AluOp::NotB,          "NOT B",     {0,    0,    kAll, kAll, 0,    kAll,   0,      0}},
        {AluOp::APlusB,        "H + B",     {kAll, 0,    kAll, 0,    0,    kAll,   0,      0}},
        {AluOp::APlusBPlus1,   "H + B + 1", {kAll, 0,    kAll, 0,    1,    kAll,   0,      0}},
        {AluOp::APlus1,        "H + 1",     {kAll, 0,    0,    0,    1,    kAll,   0,      0}},
        {AluOp::BPlus1,        "B + 1",     {0,    0,    kAll, 0,    1,    kAll,   0,      0}},
        {AluOp::BMinusA,       "B - H",     {kAll, kAll, kAll, 0,    1,    kAll,   0,      0}},
        {AluOp::BMinus1,       "B - 1",     {0,    kAll, kAll, 0,    0,    kAll,   0,      0}},
        {AluOp::NegA,          "-H",        {kAll, kAll, 0,    0,    1,    kAll,   0,      0}},
        {AluOp::And,           "H AND B",   {kAll, 0,    kAll, 0,    0,    0,      kAll,   0}},
        {AluOp::Or,            "H OR B",    {kAll, 0,    kAll, 0,    0,    0,      0,      kAll}},
        {AluOp::Zero,          "",          {0,    0,    0,    0,    0,    kAll,   0,      0}},
        {AluOp::One,           "",          {0,    0,    0,    0,    1,    kAll,   0,      0}},
        {AluOp::MinusOne,      "",          {0,    kAll, 0,    0,    0,    kAll,   0,      0}},
    });
    // clang-format on
}();

/// What a code outside the table does: it gives 0.
inline constexpr AluFunction kAluNone{AluOp::Zero, "", {0, 0, 0, 0, 0, 0, 0, 0}};

/// The function of a 6-bit ALU code (kAluNone for a code outside the table).
constexpr const AluFunction& aluFunctionOf(std::uint8_t code) {
    for (const AluFunction& f : kAluFunctions) {
        if (static_cast<std::uint8_t>(f.op) == code) {
            return f;
        }
    }
    return kAluNone;
}

/// The 6-bit code of an operation.
constexpr std::uint8_t aluCode(AluOp op) {
    return static_cast<std::uint8_t>(op);
}

/// Shifter codes (ALU byte bits 6-7).
inline constexpr std::uint8_t kShiftSra1 = 1; ///< arithmetic shift right by 1
inline constexpr std::uint8_t kShiftSll8 = 2; ///< shift left by 8

/// The shifter applied to the ALU result.
constexpr std::uint32_t shift(std::uint32_t value, std::uint8_t shiftCode) {
    if (shiftCode == kShiftSra1) {
        return (value >> 1) | (value & 0x80000000u); // the sign bit is copied in
    }
    if (shiftCode == kShiftSll8) {
        return value << 8;
    }
    return value;
}

} // namespace tessaro
