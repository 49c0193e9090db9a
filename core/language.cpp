#include "core/language.h"

#include "core/message_catalogue.h"

#include <atomic>
#include <cctype>
#include <cstddef>

namespace tessaro {

namespace {

std::atomic<Language> g_language{Language::Italian};

char lowerAscii(char ch) {
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

template <typename Arguments>
std::string substituted(std::string_view pattern, const Arguments& arguments) {
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' &&
            pattern[i + 1] <= '9') {
            const auto index = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (index < arguments.size()) {
                text += *(arguments.begin() + static_cast<std::ptrdiff_t>(index));
                ++i;
                continue;
            }
        }
        text += pattern[i];
    }
    return text;
}

} // namespace

void setLanguage(Language language) {
    g_language.store(language);
}

Language language() {
    return g_language.load();
}

std::optional<Language> languageNamed(std::string_view name) {
    // A locale name: the language is what stands before the territory and the encoding.
    const std::size_t end = name.find_first_of("_.@-");
    const std::string_view code = name.substr(0, end);
    if (code.size() != 2) {
        return std::nullopt;
    }
    const std::string lower{lowerAscii(code[0]), lowerAscii(code[1])};
    if (lower == "it") {
        return Language::Italian;
    }
    if (lower == "en") {
        return Language::English;
    }
    return std::nullopt;
}

std::string_view messagePattern(MessageId id, Language language) {
    const MessageTexts& texts = messageTexts(id);
    return language == Language::English ? texts.english : texts.italian;
}

std::string localized(MessageId id) {
    return std::string(messagePattern(id, language()));
}

std::string localized(MessageId id, std::initializer_list<std::string_view> arguments) {
    return substituted(messagePattern(id, language()), arguments);
}

std::string messageText(const Message& message, Language language) {
    return substituted(messagePattern(message.id, language), message.arguments);
}

} // namespace tessaro
