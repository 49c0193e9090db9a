#pragma once

#include "core/message_id.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaro {

/// The languages the texts come in. Italian is the source: every text is written in it first.
enum class Language { Italian, English };

/// The language of every text the core produces from now on, for the whole process. Italian
/// until set, so that output meant for scripts stays as it has always been.
void setLanguage(Language language);
Language language();

/// "it" or "en" (any case, a locale name such as "en_GB.UTF-8" too); nothing for anything else.
std::optional<Language> languageNamed(std::string_view name);

/// A message's pattern in a language, placeholders untouched.
std::string_view messagePattern(MessageId id, Language language);

/// A message's text in the chosen language, placeholders untouched (a printf format stays one).
std::string localized(MessageId id);

/// localized(id) with %1 ... %9 replaced by the arguments. One pass: an argument that itself
/// holds "%2" is copied as it is, and a placeholder without its argument stays visible.
std::string localized(MessageId id, std::initializer_list<std::string_view> arguments);

/// A message with its arguments, to be put into words by whoever shows it.
struct Message {
    MessageId id;
    std::vector<std::string> arguments;

    friend bool operator==(const Message&, const Message&) = default;
};

/// The message's text in a language.
std::string messageText(const Message& message, Language language);

} // namespace tessaro
