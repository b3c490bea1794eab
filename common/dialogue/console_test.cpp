#include "console.h"
#include "console_double.h"
#include "key_decoder.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace morv {
namespace {

void start(bool terminal, int columns = 80) {
    double_reset(terminal, columns);
    start_console(0, nullptr);
}

bool near(double a, double b) {
    return std::fabs(a - b) < 1e-6;
}

TEST(PauseMs, RunsItsFullTimeWithATestEvery50Ms) {
    start(true);
    pause_ms(3000);
    EXPECT_TRUE(near(double_clock_seconds(), 3.0));
    EXPECT_EQ(double_key_polls(), 59);
}

TEST(PauseMs, AKeyBeforeThePauseEndsItAtOnceAndOnlyThatPause) {
    start(true);
    double_type("x", 0.0);
    pause_ms(3000);
    EXPECT_TRUE(near(double_clock_seconds(), 0.0));
    pause_ms(3000);
    EXPECT_TRUE(near(double_clock_seconds(), 3.0));
}

TEST(PauseMs, AKeyDuringThePauseEndsItAtTheNextTest) {
    start(true);
    double_type("x", 1.234);
    pause_ms(3000);
    EXPECT_TRUE(near(double_clock_seconds(), 1.25));
}

TEST(PauseMs, ShortAndNegativeValues) {
    start(true);
    double_type("x", 0.0);
    pause_ms(99); // no key test below 100 ms
    EXPECT_TRUE(near(double_clock_seconds(), 0.099));
    pause_ms(-5);
    EXPECT_TRUE(near(double_clock_seconds(), 0.099));
    pause_ms(-1); // a wait for a key: the x is still unseen by any test
    EXPECT_TRUE(near(double_clock_seconds(), 0.099));
}

TEST(PauseMs, PipedInputIsNeverAKey) {
    start(false);
    double_type("x\n", 0.0);
    pause_ms(3000);
    EXPECT_TRUE(near(double_clock_seconds(), 3.0));
    EXPECT_EQ(double_key_polls(), 0);
    EXPECT_EQ(prompt_line(""), "x");
}

// A key that ended one pause stays pending; bytes that come later and make
// no new key (the LF of its CR LF, a NUL, the rest of a sequence it started)
// must not end the next pause, and a new key still must, also after a lone
// Esc, which is a key of its own there.
TEST(PauseMs, OnlyANewKeyEndsTheNextPause) {
    struct Case {
        const char* name;
        std::string first;
        std::string later;
        double next_pause_ends;
    };
    const std::vector<Case> cases = {
        {"lf of its cr lf", "x\r", "\n", 3.0},
        {"nul", "x", std::string("\0", 1), 3.0},
        {"rest of an escape sequence", "\x1b[", "A", 3.0},
        {"a new key", "x", "y", 1.0},
        {"a key after a lone esc", "\x1b", "x", 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start(true);
        double_type(c.first, 0.0);
        pause_ms(3000);
        EXPECT_TRUE(near(double_clock_seconds(), 0.0));
        double_type(c.later, 1.0);
        pause_ms(3000);
        EXPECT_TRUE(near(double_clock_seconds(), c.next_pause_ends)) << double_clock_seconds();
    }
}

TEST(WaitForKey, ReturnsAtTheFirstTestAfterAKey) {
    start(true);
    double_type("k", 0.5);
    wait_for_key();
    EXPECT_TRUE(near(double_clock_seconds(), 0.5));
}

TEST(Prompts, PipedLinesEndAtLfCrLfOrALoneCr) {
    start(false);
    double_type("one\r\ntwo\nthree\rfour\r", 0.0);
    double_type("\nfive", 0.0);
    EXPECT_EQ(prompt_line("A: "), "one");
    EXPECT_EQ(prompt_line(""), "two");
    EXPECT_EQ(prompt_line(""), "three");
    EXPECT_EQ(prompt_line(""), "four");
    EXPECT_EQ(prompt_line(""), "five");
    EXPECT_FALSE(console_input_ended());
    EXPECT_EQ(prompt_line("B: "), "");
    EXPECT_TRUE(console_input_ended());
    EXPECT_EQ(double_output(), "A: \r\n\r\n\r\n\r\n\r\nB: \r\n");
}

TEST(Prompts, ApplyTheFieldRulesToAWholeLine) {
    start(false);
    double_type("  Joe Smith  , x\n 7 8\n\"a, b\" c\n", 0.0);
    EXPECT_EQ(prompt_field(""), "Joe Smith  ");
    EXPECT_EQ(prompt_integer(""), 7);
    EXPECT_EQ(prompt_line(""), "\"a, b\" c");
}

TEST(Prompts, APipedIntegerFieldGoesOnAfterItsQuotedStretch) {
    start(false);
    const struct {
        std::string line;
        std::int32_t value;
    } cases[] = {
        {"\"\"4", 4},
        {"\"1\".5", 2},
        {"\"3\"9", 39},
        {"\"2\".5", 2},
        {"\"3\" 9", 3},
        {"\"3\",9", 3},
        {"\"1 2\"", 1},
        {"\"7", 7},
        {"\"&H\"10", 16},
        {" \"-\"3 4", -3},
        {"\"1\"e1", 10},
        {"\"\"", 0},
        {"\"" + std::string(66, '0') + "\"12", 1},
        {"\"" + std::string(67, '0') + "\"12", 0},
        {"\"" + std::string(65, '0') + "1\"2", 12},
    };
    std::string input;
    for (const auto& c : cases) {
        input += c.line + "\r\n";
    }
    double_type(input, 0.0);
    for (const auto& c : cases) {
        EXPECT_EQ(prompt_integer(""), c.value) << c.line;
    }
}

TEST(Prompts, CrLfTypedAtATerminalIsOneEnter) {
    const struct {
        const char* what;
        std::vector<std::string> reads;
    } cases[] = {
        {"in one read", {"Hawk\r\n3\r\nViper\r\n"}},
        {"CR at the end of a read, LF at the start of the next",
         {"Hawk\r", "\n3\r", "\nViper\r", "\n"}},
        {"the LF alone", {"Hawk\r", "\n", "3\r", "\n", "Viper\r"}},
    };
    for (const auto& c : cases) {
        start(true);
        double at = 0.0;
        for (const std::string& read : c.reads) {
            double_type(read, at);
            at += 0.5;
        }
        EXPECT_EQ(prompt_line(""), "Hawk") << c.what;
        EXPECT_EQ(prompt_line(""), "3") << c.what;
        EXPECT_EQ(prompt_line(""), "Viper") << c.what;
    }
}

TEST(Prompts, TheLfOfATypedCrLfEndsNoWait) {
    start(true);
    double_type("9\r", 0.0);
    double_type("\n", 0.5);
    EXPECT_EQ(prompt_line(""), "9");
    pause_ms(3000);
    EXPECT_TRUE(near(double_clock_seconds(), 3.0));
    double_type("\n", 4.0);
    pause_ms(3000);
    EXPECT_TRUE(near(double_clock_seconds(), 4.0));
}

TEST(Prompts, AltKeysChangeNothingAndALoneEscStillEmptiesTheLine) {
    start(true);
    double_type("Hawk\x1b"
                "b\x1b\x7f\x1b\r\x1b\x1b[A\x1b[[A!",
                0.0);
    double_type("\r", 0.5);
    EXPECT_EQ(prompt_line(""), "Hawk!");
    double_type("junk\x1b", 1.0);
    double_type("Viper\r", 2.0);
    EXPECT_EQ(prompt_line(""), "Viper");
}

TEST(Prompts, ANulByteTypedAmongKeysIsPassedOver) {
    start(true);
    double_type(std::string("a\0b\r", 4), 0.0);
    EXPECT_EQ(prompt_line(""), "ab");
    double_type(std::string("\0", 1), 1.0);
    pause_ms(3000);
    EXPECT_TRUE(near(double_clock_seconds(), 3.0));
}

TEST(Prompts, TypedLinesAreEditedAndEchoed) {
    start(true);
    double_type("ac\x1b[Db\r", 0.0);
    EXPECT_EQ(prompt_line("Name: "), "abc");
    EXPECT_EQ(double_output().substr(0, 6), "Name: ");
    EXPECT_EQ(double_output().substr(double_output().size() - 2), "\r\n");
}

TEST(Prompts, ALoneEscapeEmptiesTheLine) {
    start(true);
    double_type("abc\x1b", 0.0);
    double_type("d\r", 1.0);
    EXPECT_EQ(prompt_line(""), "d");
}

TEST(Prompts, KeysTypedAheadOfThePromptAreKept) {
    start(true);
    double_type("ab\r", 0.0);
    pause_ms(3000); // takes the keys in and ends at once
    EXPECT_TRUE(near(double_clock_seconds(), 0.0));
    EXPECT_EQ(prompt_line(""), "ab");
}

TEST(Prompts, AKeyTypedTogetherWithEnterEndsTheNextWait) {
    start(true);
    double_type("9\rk", 0.0);
    EXPECT_EQ(prompt_line(""), "9");
    double_type("late", 5.0);
    wait_for_key();
    EXPECT_TRUE(near(double_clock_seconds(), 0.0));
}

TEST(Prompts, APipedLineKeepsOnlyItsFirst16MiB) {
    start(false);
    double_type(std::string((16u << 20) + 10, 'x') + "\nnext\n", 0.0);
    EXPECT_EQ(prompt_line("").size(), 16u << 20);
    EXPECT_EQ(prompt_line(""), "next");
}

TEST(Prompts, AClosedTerminalEndsTheRunWithoutTakingTheTypedText) {
    start(true);
    double_type("ab", 0.0);
    EXPECT_EXIT(prompt_line(""), ::testing::ExitedWithCode(0), "");
}

TEST(Prompts, AResizeDrawsThePromptAndLineAgainForTheNewWidth) {
    start(true, 20);
    const std::string x30(30, 'x');
    double_type(x30, 0.0);
    double_change(CONSOLE_RESIZED, 10, 1.0);
    double_type("y\r", 2.0);
    EXPECT_EQ(prompt_line("Name: "), x30 + "y");
    // 36 cells at 10 columns: the cursor's row is the fourth of the prompt.
    EXPECT_EQ(double_output(), "Name: " + x30 + "\x1b[3A\rName: " + x30 + "\x1b[Jy\r\n");
}

TEST(Prompts, AContinuationAndCtrlLDrawTheTextPrintedSinceTheLastLineEnd) {
    start(true);
    double_type("7\x1b[D", 0.0);
    double_change(CONSOLE_CONTINUED, 80, 1.0);
    double_type("1\x0c", 2.0); // the 1 is drawn by the redraw
    double_type("\r", 3.0);
    print_text("Kills for ", false);
    print_text("Bob: ", false);
    EXPECT_EQ(prompt_integer(""), 17);
    EXPECT_EQ(double_output(), "Kills for Bob: 7\r\x1b[15C"
                               "\rKills for Bob: 7\x1b[J\r\x1b[15C"
                               "\x1b[HKills for Bob: 17\x1b[J\r\x1b[16C"
                               "\r\x1b[17C\r\n");
}

TEST(Prompts, AChangeBeforeThePromptIsNoRedraw) {
    start(true, 20);
    double_change(CONSOLE_RESIZED, 30, 0.0);
    pause_ms(200);
    double_type("ok\r", 1.0);
    EXPECT_EQ(prompt_line("Name: "), "ok");
    EXPECT_EQ(double_output(), "Name: ok\r\n");
}

TEST(Prompts, AnAnswerThatFillsItsRowLeavesNoEmptyRow) {
    start(true, 20);
    double_type("abcdefghijklmn\r", 0.0);
    double_type("ok\r", 1.0);
    EXPECT_EQ(prompt_line("Name: "), "abcdefghijklmn");
    EXPECT_EQ(prompt_line("Next: "), "ok");
    // The row wraps by a blank, then the last character is written again to
    // leave the cursor at the edge, from where CR LF starts the next row.
    EXPECT_EQ(double_output(), "Name: abcdefghijklmn \r\x1b[1A\r\x1b[19C\x1b[Jn\r\nNext: ok\r\n");
}

// Beside a file, the terminal shows the line as it is edited, its prompt
// drawn afresh first, and at Enter takes it back for the answer to follow.
TEST(Prompts, ADumbTerminalOrAFileGetsNoControlSequence) {
    const struct {
        bool moves_cursor;
        bool output_to_file;
        const char* output;
        const char* echo;
    } cases[] = {
        {false, false, "Name: abcd\b\b  \b\be\r\nName: abe\r\n", ""},
        {true, true, "Name: eabc\r\n",
         "\rName: abc\x1b[J\r\x1b[8C\r\x1b[6Cdabc\r\x1b[7C\r\x1b[6Cabc\x1b[J\r\x1b[6C"
         "eabc\r\x1b[7C\x1b[HName: eabc\x1b[J\r\x1b[7C\rName: eabc\x1b[J\r\x1b[7C"
         "\r\x1b[6C\x1b[J"},
        {false, true, "Name: abe\r\n", "abcd\b\b  \b\be\r\nName: abe\b\b\b   \b\b\b"},
    };
    for (const auto& c : cases) {
        double_reset(true, 80);
        double_set_moves_cursor(c.moves_cursor);
        double_set_output_to_file(c.output_to_file);
        start_console(0, nullptr);
        double_type("abc", 0.0);
        double_type("\x1b[D", 1.0);
        double_type("\x1b[H", 2.0);
        double_type("d", 3.0);
        double_type("\x7f\x7f", 4.0);
        double_type("e", 5.0);
        double_type("\x0c", 6.0);
        double_change(CONSOLE_RESIZED, 40, 6.5);
        double_type("\r", 7.0);
        EXPECT_EQ(prompt_line("Name: "), c.moves_cursor ? "eabc" : "abe");
        EXPECT_EQ(double_output(), c.output);
        EXPECT_EQ(double_echo(), c.echo);
    }
}

TEST(Printing, IntegersAndColours) {
    start(false);
    print_integer(2);
    print_integer(0);
    print_integer(-1);
    print_text("x", false);
    print_text("", false);
    print_text("", true);
    EXPECT_EQ(double_output(), " 2\r\n 0\r\n-1\r\nx\r\n");
    set_colour(RED);
    EXPECT_EQ(double_attribute(), 4);
    set_colour(BRIGHT_WHITE);
    EXPECT_EQ(double_attribute(), 15);
}

} // namespace
} // namespace morv
