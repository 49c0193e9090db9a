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

} // namespace tessaro
