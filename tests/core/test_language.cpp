// The language of the core's messages: Italian unless chosen, each message named once with both
// its texts.

#include "core/language.h"
#include "core/message_catalogue.h"
#include "core/number_text.h"
#include "ijvm/error_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace tessaro {
namespace {

// Restores Italian whatever a test does, so that the other tests see the default.
class LanguageTest : public ::testing::Test {
protected:
    void TearDown() override { setLanguage(Language::Italian); }
};

TEST_F(LanguageTest, ItalianUntilChosenThenEnglishFillsTheSamePlaces) {
    EXPECT_EQ(checkedAtolong("x12").message,
              "Errore: il numero x12 non è valido. Il programma sarà adesso terminato.");
    EXPECT_EQ(errorMessage(99, "", "", 0), "Errore 99");
    setLanguage(Language::English);
    EXPECT_EQ(checkedAtolong("x12").message,
              "Error: the number x12 is not valid. The program will now end.");
    EXPECT_EQ(errorMessage(4, "main", "FOO", 3),
              "Error in method main near instruction 3: FOO does not exist.");
    EXPECT_EQ(errorMessage(99, "", "", 0), "Error 99");
    EXPECT_EQ(foreignCharacterMessage("m", "a$b", "$"),
              "Error in the declaration of the variables in method m: a$b: the character '$' is "
              "not allowed");
}

TEST_F(LanguageTest, EveryAssemblerErrorHasItsEnglishWithTheSameNames) {
    for (int code = 0; code <= 15; ++code) {
        setLanguage(Language::Italian);
        const std::string italian = errorMessage(code, "METHODNAME", "THENAME", 77);
        setLanguage(Language::English);
        const std::string english = errorMessage(code, "METHODNAME", "THENAME", 77);
        EXPECT_NE(english, italian) << code;
        EXPECT_EQ(english.find("Errore"), std::string::npos) << english;
        for (const char* filled : {"METHODNAME", "THENAME", "77"}) {
            EXPECT_EQ(italian.find(filled) == std::string::npos,
                      english.find(filled) == std::string::npos)
                << code << ": " << filled << "\n"
                << italian << "\n"
                << english;
        }
    }
}

TEST_F(LanguageTest, ArgumentsAreNotExpandedAgain) {
    setLanguage(Language::English);
    EXPECT_EQ(localized(MessageId::MalUndefinedLabel, {"%1%2"}), "undefined label: %1%2");
    // A placeholder without an argument stays visible rather than vanish.
    EXPECT_EQ(localized(MessageId::MalUndefinedLabel, {}), "undefined label: %1");
    // printf's own placeholders are left for printf.
    EXPECT_EQ(localized(MessageId::CliLangBadValue, {"x"}),
              "tessaro-cli: --lang takes it or en, not '%.*s'\n");
}

// The placeholders of a pattern, sorted: %1 ... %9, %M %N %n, and printf's conversions.
std::vector<std::string> placeholdersOf(std::string_view pattern) {
    static const std::regex placeholder("%([1-9MNn%]|[-.*0-9]*(ll|z)?[sdf])");
    std::vector<std::string> found;
    const std::string text(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder);
         it != std::sregex_iterator(); ++it) {
        found.push_back(it->str());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// A translation that lost a placeholder, or gained one, prints a wrong text or reads an
// argument printf was never given.
TEST(LanguageCatalogue, EveryMessageHasBothTextsWithTheSamePlaceholders) {
    const auto catalogue = messageCatalogue();
    ASSERT_EQ(catalogue.size(), static_cast<std::size_t>(MessageId::Count));
    for (const MessageTexts& texts : catalogue) {
        const auto id = static_cast<int>(texts.id);
        EXPECT_FALSE(texts.italian.empty()) << id;
        EXPECT_FALSE(texts.english.empty()) << id;
        EXPECT_EQ(placeholdersOf(texts.italian), placeholdersOf(texts.english))
            << id << "\n"
            << texts.italian << "\n"
            << texts.english;
        EXPECT_EQ(texts.italian.ends_with('\n'), texts.english.ends_with('\n')) << id;
    }
}

TEST(LanguageNames, CodesAndLocaleNames) {
    const std::pair<const char*, std::optional<Language>> cases[] = {
        {"en", Language::English},
        {"EN", Language::English},
        {"en_GB.UTF-8", Language::English},
        {"it", Language::Italian},
        {"it_IT@euro", Language::Italian},
        {"de", std::nullopt},
        {"", std::nullopt},
        {"english", std::nullopt}};
    for (const auto& [name, language] : cases) {
        EXPECT_EQ(languageNamed(name), language) << name;
    }
}

// The string literals of a C++ file, adjacent pieces joined, comments skipped.
std::vector<std::string> literalsOf(const std::string& path) {
    std::ifstream in(std::string(TESSARO_SOURCE_DIR) + "/" + path);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    const std::string code = buffer.str();
    EXPECT_FALSE(code.empty()) << path;
    std::vector<std::string> literals;
    bool joinable = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char ch = code[i];
        if (code.compare(i, 2, "//") == 0) {
            i = code.find('\n', i);
            if (i == std::string::npos) {
                break;
            }
        } else if (ch == '\'') {
            i = code.find('\'', i + (code[i + 1] == '\\' ? 3 : 2));
            joinable = false;
        } else if (ch == '"') {
            std::string text;
            for (++i; i < code.size() && code[i] != '"'; ++i) {
                if (code[i] == '\\') {
                    ++i;
                }
                text += code[i];
            }
            if (joinable) {
                literals.back() += text;
            } else {
                literals.push_back(text);
            }
            joinable = true;
        } else if (ch != ' ' && ch != '\n') {
            joinable = false;
        }
    }
    return literals;
}

// A message written where it is used would print Italian under --lang en: these files name
// their messages, and hold no literal of two lower-case words or more.
TEST(LanguageCatalogue, TheCoreNamesItsMessagesInsteadOfWritingThem) {
    const std::regex prose("[a-zàèéìòù']{2,} [a-zàèéìòù']{2,}");
    for (const char* path :
         {"ijvm/error_texts.cpp", "mal/micro_assembler.cpp", "mal/mal_source_reader.cpp",
          "core/number_text.cpp", "core/reader/file_reader.cpp", "ijvm/instruction_set_file.cpp",
          "ijvm/stack_effect.cpp", "machine/routine_lines.cpp", "check/effect_programs.cpp",
          "mal/micro_statement_check.cpp", "check/microprogram_check.cpp",
          "presentation/outcome_message.cpp", "web/module/program_run.cpp"}) {
        for (const std::string& literal : literalsOf(path)) {
            if (std::regex_search(literal, prose)) {
                ADD_FAILURE() << path << ": " << literal;
            }
        }
    }
}

} // namespace
} // namespace tessaro
