// Names between the console's code page and UTF-16, in the two code pages
// of a US machine, which place the same letters on other bytes.
#include "platform_win32_path.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

constexpr unsigned OEM_US = 437;
constexpr unsigned ANSI_WESTERN = 1252;
constexpr unsigned UTF8 = 65001;

TEST(CodePageNames, ReachTheSameCharactersBothWaysAndNeverAnotherName) {
    const struct {
        const char* what;
        unsigned code_page;
        std::string text;
        std::wstring wide;
    } cases[] = {
        {"accents in the console's page", OEM_US, "D\x82j\x85.dmo", L"D\u00e9j\u00e0.dmo"},
        {"the same accents in the ANSI page", ANSI_WESTERN, "D\xe9j\xe0.dmo",
         L"D\u00e9j\u00e0.dmo"},
        {"box drawing exists only in the console's page", OEM_US, "\xc9", L"\u2554"},
        {"UTF-8", UTF8, "Jos\xc3\xa9", L"Jos\u00e9"},
        {"UTF-7, which takes no flags", 65000, "Jos+AOk-", L"Jos\u00e9"},
        {"ASCII is the same in every page", OEM_US, "champion.MORV", L"champion.MORV"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wide_text(c.text, c.code_page), c.wide) << c.what;
        EXPECT_EQ(code_page_text(c.wide, c.code_page), c.text) << c.what;
    }
}

TEST(CodePageNames, NameNoFileWhereThePageHasNoCharacter) {
    // A look-alike (A for A with macron, as a best fit would give) would be
    // another file; "?" is in no file's name.
    EXPECT_EQ(code_page_text(L"\u0100bc.dmo", OEM_US), "?bc.dmo");
    EXPECT_EQ(code_page_text(L"\u00e9", 1251), "?");
    EXPECT_EQ(wide_text(std::string("a\0b", 3), OEM_US), L"");
    EXPECT_EQ(wide_text("\xc3", UTF8), L"");
}

// A typed key's character in the console's output page, whatever its input
// page is (1252 with 437 on a US machine's wine); one the page lacks is no
// bytes at all.
TEST(CodePageNames, TypeAKeyInTheOutputPageOrNotAtAll) {
    const struct {
        char32_t character;
        unsigned code_page;
        std::string bytes;
    } cases[] = {
        {U'\u00e9', UTF8, "\xc3\xa9"},     {U'\u00e9', OEM_US, "\x82"},
        {U'\u00e9', ANSI_WESTERN, "\xe9"}, {U'\U0001F600', UTF8, "\xf0\x9f\x98\x80"},
        {U'\U0001F600', OEM_US, ""},       {U'\u0100', OEM_US, ""},
        {U'\u20ac', OEM_US, ""},           {0xD800, UTF8, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(code_page_character(c.character, c.code_page), c.bytes)
            << static_cast<unsigned long>(c.character) << " in " << c.code_page;
    }
}

} // namespace
} // namespace morv
