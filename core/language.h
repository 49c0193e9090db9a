#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace tessaro {

/// The languages the texts come in. Italian is the source: every text is written in it, and
/// English is looked up from it.
enum class Language { Italian, English };

/// The language of every text the core produces from now on, for the whole process. Italian
/// until set, so that output meant for scripts stays as it has always been.
void setLanguage(Language language);
Language language();

/// "it" or "en" (any case, a locale name such as "en_GB.UTF-8" too); nothing for anything else.
std::optional<Language> languageNamed(std::string_view name);

/// The Italian text in the chosen language. A text the catalogue lacks stays Italian rather
/// than vanish.
std::string localized(std::string_view italian);

/// localized(pattern) with %1 ... %9 replaced by the arguments. One pass: an argument that
/// itself holds "%2" is copied as it is.
std::string localized(std::string_view italianPattern,
                      std::initializer_list<std::string_view> arguments);

/// The English version of an Italian text, or nothing: what localized() consults.
std::optional<std::string_view> englishOf(std::string_view italian);

} // namespace tessaro
