#pragma once

#include "core/reader/string_tokenizer.h"

#include <cstdint>
#include <string>

namespace tessaro {

/// Compiles the instruction text of one MAL line (label names already replaced by addresses)
/// into the 27-bit control word and the next address of one micro-instruction. Text that no
/// rule recognises contributes no bits; bits are only ever added.
class MicroInstructionEncoder : public StringTokenizer {
public:
    static constexpr const char* kDelimiters = "=+-~|&;<>()";

    std::uint32_t word = 0;    ///< control bits 0-26
    std::int32_t nextAddr = 0; ///< next-address field

    explicit MicroInstructionEncoder(const std::string& instruction);

    /// Fills word and nextAddr; called once.
    void compile();

private:
    // The token at cursor + offset, moving the cursor like getToken; an empty token (changing
    // nothing) when that position lies outside the list.
    const std::string& take(int offset, int advance);
    // The same without moving the cursor.
    const std::string& peek(int offset);
    void orBSource(const std::string& name);
    void orAlu(std::uint32_t function);

    bool ruleJump(const std::string& token);
    void ruleShiftWord(const std::string& token);
    void ruleShiftOperator(const std::string& token);
    void ruleMemory(const std::string& token);
    void ruleLogic(const std::string& token);
    void ruleAssign(const std::string& token);
    void ruleMinus(const std::string& token);
    void rulePlus(const std::string& token);
    void ruleLoneSource(const std::string& token, int type);
    void ruleLoneConstant(const std::string& token, int type);
};

} // namespace tessaro
