#pragma once

#include <string>

namespace tessaro {

/// Where the span of an assembler error comes from.
enum class ErrorSpan {
    Given,        ///< the position and length the caller passes
    CurrentToken, ///< the reader's current token
    LastToken,    ///< the last token of the file (a fault of the file as a whole)
};

/// The message of an assembler error code, its pattern filled with the method's name M (for
/// code 1 the constant's), the name concerned N and the number n. An unknown code gives
/// "Errore" and the code.
std::string errorMessage(int code, const std::string& methodName, const std::string& name,
                         int number);

/// Where the span of the error of code comes from.
ErrorSpan errorSpan(int code);

/// A parameter holding a character that is neither letter, digit nor blank: names the
/// method, the parameter text and the character.
std::string foreignCharacterMessage(const std::string& methodName, const std::string& piece,
                                    const std::string& character);

/// A BIPUSH operand, IINC constant or constant value that is no number.
std::string invalidNumberMessage(const std::string& text);

} // namespace tessaro
