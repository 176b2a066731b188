// The skin-file parser: what it takes, what it skips line by line, and what
// makes it refuse a file as a whole.
#include "skin/skin_file.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using skin::Colour;
using skin::Diagnostic;
using skin::Problem;
using skin::Skin;

using Member = std::optional<Colour> Skin::*;

std::vector<Diagnostic> linesOf(const skin::ParseResult& r) {
    return {r.lines.begin(), r.lines.end()};
}

std::string readFile(const char* path) {
    std::string text;
    if (std::FILE* f = std::fopen(path, "rb")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

struct KeyCase {
    const char* section;
    const char* key;
    Member member;
};

const KeyCase kEveryKey[] = {
    {"window", "background", &Skin::windowBackground},
    {"window", "text", &Skin::windowText},
    {"group", "background", &Skin::groupBackground},
    {"group", "text", &Skin::groupText},
    {"list", "background", &Skin::listBackground},
    {"list", "text", &Skin::listText},
    {"edit", "background", &Skin::editBackground},
    {"edit", "text", &Skin::editText},
    {"status", "background", &Skin::statusBackground},
    {"status", "text", &Skin::statusText},
    {"button", "face", &Skin::buttonFace},
    {"button", "text", &Skin::buttonText},
    {"button", "border", &Skin::buttonBorder},
    {"button", "hot", &Skin::buttonHot},
    {"button", "pressed", &Skin::buttonPressed},
    {"button", "disabled", &Skin::buttonDisabled},
    {"button", "focus", &Skin::buttonFocus},
};

TEST(SkinFile, ShippedDefaultSkinIsCleanAndSetsEveryColour) {
    const std::string text = readFile(SKIN_DEFAULT_FILE);
    ASSERT_FALSE(text.empty()) << SKIN_DEFAULT_FILE;
    const skin::ParseResult r = skin::parse(text);
    EXPECT_TRUE(r.accepted());
    EXPECT_EQ(linesOf(r), std::vector<Diagnostic>{});
    for (const KeyCase& k : kEveryKey) EXPECT_TRUE(r.skin.*k.member) << k.section << "." << k.key;
    // Screenshot checks of the running program look for this exact colour.
    EXPECT_EQ(r.skin.windowBackground, (Colour{0xDD, 0xE8, 0xF3}));
}

TEST(SkinFile, EachKeySetsItsOwnColourOnly) {
    for (const KeyCase& k : kEveryKey) {
        SCOPED_TRACE(std::string(k.section) + "." + k.key);
        const skin::ParseResult r =
            skin::parse(std::string("[") + k.section + "]\n" + k.key + " = #12AB3c\n");
        ASSERT_TRUE(r.accepted());
        EXPECT_TRUE(r.lines.empty());
        Skin expected;
        expected.*k.member = Colour{0x12, 0xAB, 0x3C};
        EXPECT_EQ(r.skin, expected);
    }
}

TEST(SkinFile, NamesIgnoreCaseAndSpacesAroundThemCount) {
    const skin::ParseResult r =
        skin::parse("  [ WiNdOw ]  \n\tBACKGROUND\t=\t#010203   \n   Text=#040506");
    ASSERT_TRUE(r.accepted());
    EXPECT_TRUE(r.lines.empty());
    EXPECT_EQ(r.skin.windowBackground, (Colour{1, 2, 3}));
    EXPECT_EQ(r.skin.windowText, (Colour{4, 5, 6}));
}

TEST(SkinFile, ColourSyntax) {
    struct Case {
        const char* value;
        std::optional<Colour> expected;
    };
    const Case cases[] = {
        {"#000000", Colour{0, 0, 0}},
        {"#FFFFFF", Colour{255, 255, 255}},
        {"#abcdef", Colour{0xAB, 0xCD, 0xEF}},
        {"#A0b1C2", Colour{0xA0, 0xB1, 0xC2}},
        {"#09fA90", Colour{0x09, 0xFA, 0x90}},
        {"", std::nullopt},
        {"#", std::nullopt},
        {"#12345", std::nullopt},
        {"#1234567", std::nullopt},
        {"123456", std::nullopt},
        {"0x123456", std::nullopt},
        {"#12345G", std::nullopt},
        {"#G12345", std::nullopt},
        {"#-12345", std::nullopt},
        {"# 123456", std::nullopt},
        {"#12 456", std::nullopt},
        {"#fff", std::nullopt},
        {"##123456", std::nullopt},
        {"#123456 # black", std::nullopt},  // no comments after a value
        {"#123456;", std::nullopt},
        {"red", std::nullopt},
        {"rgb(1,2,3)", std::nullopt},
        {"\xEF\xBC\x83"
         "123456",
         std::nullopt},  // a full-width number sign
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const skin::ParseResult r = skin::parse(std::string("[edit]\ntext = ") + c.value + "\n");
        EXPECT_EQ(r.skin.editText, c.expected);
        if (c.expected) {
            EXPECT_TRUE(r.accepted());
            EXPECT_TRUE(r.lines.empty());
        } else {
            EXPECT_EQ(r.refused, Problem::NoColours);
            EXPECT_EQ(linesOf(r), (std::vector<Diagnostic>{{2, Problem::BadColour}}));
        }
    }
}

// Each file has one problem on a known line, next to a good key that must
// survive it.
TEST(SkinFile, LineProblemsSkipOnlyTheirLine) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<Diagnostic> expected;
    };
    const Case cases[] = {
        {"key before any section",
         "text = #111111\n[window]\nbackground = #222222\n",
         {{1, Problem::KeyOutsideSection}}},
        {"header without ]",
         "[window\ntext = #111111\n[window]\nbackground = #222222\n",
         {{1, Problem::BadSectionHeader}}},
        {"empty header", "[]\n[window]\nbackground = #222222\n", {{1, Problem::BadSectionHeader}}},
        {"blank header",
         "[  ]\n[window]\nbackground = #222222\n",
         {{1, Problem::BadSectionHeader}}},
        {"space in a section name",
         "[win dow]\n[window]\nbackground = #222222\n",
         {{1, Problem::BadSectionHeader}}},
        {"lone bracket", "[\n[window]\nbackground = #222222\n", {{1, Problem::BadSectionHeader}}},
        {"unknown section, its keys skipped quietly",
         "[colours]\nbackground = #111111\nanything = at all\n[window]\nbackground = #222222\n",
         {{1, Problem::UnknownSection}}},
        {"unknown key",
         "[window]\nforeground = #111111\nbackground = #222222\n",
         {{2, Problem::UnknownKey}}},
        {"key of another section",
         "[window]\nname = Mist\nbackground = #222222\n",
         {{2, Problem::UnknownKey}}},
        {"empty key", "[window]\n= #111111\nbackground = #222222\n", {{2, Problem::UnknownKey}}},
        {"no equals sign",
         "[window]\nbackground #111111\nbackground = #222222\n",
         {{2, Problem::MissingEquals}}},
        {"bad colour",
         "[window]\nbackground = #22222\nbackground = #222222\n",
         {{2, Problem::BadColour}}},
        {"given twice, later wins",
         "[window]\nbackground = #111111\nbackground = #222222\n",
         {{3, Problem::DuplicateKey}}},
        {"invalid UTF-8 in a key line",
         "[skin]\nname = \xC3\x28\n[window]\nbackground = #222222\n",
         {{2, Problem::NotUtf8}}},
        {"overlong UTF-8",
         "[skin]\nname = \xC0\xAF\n[window]\nbackground = #222222\n",
         {{2, Problem::NotUtf8}}},
        {"UTF-8 surrogate",
         "[skin]\nname = \xED\xA0\x80\n[window]\nbackground = #222222\n",
         {{2, Problem::NotUtf8}}},
        {"past U+10FFFF",
         "[skin]\nname = \xF4\x90\x80\x80\n[window]\nbackground = #222222\n",
         {{2, Problem::NotUtf8}}},
        {"valid UTF-8 name",
         "[skin]\nname = \xE9\x9B\xBE \xF0\x9F\x8C\xAB\n[window]\nbackground = #222222\n",
         {}},
        {"GBK in a comment is not read",
         "# \xC4\xAC\xC8\xCF\xC6\xA4\xB7\xF4\n[window]\nbackground = #222222\n",
         {}},
        {"comments of both kinds, indented",
         "  # one\n\t; two\n[window]\nbackground = #222222\n",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const skin::ParseResult r = skin::parse(c.text);
        EXPECT_TRUE(r.accepted());
        EXPECT_EQ(linesOf(r), c.expected);
        EXPECT_EQ(r.skin.windowBackground, (Colour{0x22, 0x22, 0x22}));
        EXPECT_FALSE(r.skin.windowText) << "a skipped line must not set a colour";
    }
}

TEST(SkinFile, LineNumbersFollowEveryKindOfLineEnd) {
    struct Case {
        const char* name;
        const char* text;
    };
    const Case cases[] = {
        {"LF", "# a\n\n[window]\nbad\nbackground = #010203"},
        {"CR LF", "# a\r\n\r\n[window]\r\nbad\r\nbackground = #010203\r\n"},
        {"CR", "# a\r\r[window]\rbad\rbackground = #010203\r"},
        {"mixed", "# a\r\n\r[window]\nbad\r\nbackground = #010203\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const skin::ParseResult r = skin::parse(c.text);
        EXPECT_TRUE(r.accepted());
        EXPECT_EQ(linesOf(r), (std::vector<Diagnostic>{{4, Problem::MissingEquals}}));
        EXPECT_EQ(r.skin.windowBackground, (Colour{1, 2, 3}));
    }
}

TEST(SkinFile, ByteOrderMarkIsOptional) {
    const skin::ParseResult with = skin::parse("\xEF\xBB\xBF[window]\nbackground = #010203\n");
    const skin::ParseResult without = skin::parse("[window]\nbackground = #010203\n");
    EXPECT_TRUE(with.accepted());
    EXPECT_TRUE(with.lines.empty()) << "the mark must not spoil the first line";
    EXPECT_EQ(with.skin, without.skin);
    // Only at the very start is it a mark.
    const skin::ParseResult late = skin::parse(
        "[window]\n\xEF\xBB\xBF"
        "background = #010203\n");
    EXPECT_EQ(linesOf(late), (std::vector<Diagnostic>{{2, Problem::UnknownKey}}));
}

TEST(SkinFile, RefusedFilesChangeNothing) {
    struct Case {
        const char* name;
        std::string text;
        Problem expected;
    };
    const std::string good = "[window]\nbackground = #010203\n";
    const Case cases[] = {
        {"no bytes", "", Problem::Empty},
        {"white space", " \t\r\n\n  \r", Problem::Empty},
        {"byte order mark only", "\xEF\xBB\xBF", Problem::Empty},
        {"byte order mark and line ends", "\xEF\xBB\xBF\r\n\r\n", Problem::Empty},
        {"UTF-16 LE", std::string("\xFF\xFE[\0w\0]\0", 8), Problem::Utf16},
        {"UTF-16 BE", std::string("\xFE\xFF\0[\0w\0]", 8), Problem::Utf16},
        {"NUL after good keys", good + std::string(1, '\0'), Problem::Binary},
        {"NUL in a comment", std::string("# a\0b\n", 6) + good, Problem::Binary},
        {"bell", good + "\a", Problem::Binary},
        {"escape", "\x1B[1m" + good, Problem::Binary},
        {"DEL", good + "\x7F", Problem::Binary},
        {"DOS end-of-file mark", good + "\x1A", Problem::Binary},
        {"form feed", good + "\f", Problem::Binary},
        {"PNG header", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), Problem::Binary},
        {"Windows executable", std::string("MZ\x90\0\x03\0\0\0", 8), Problem::Binary},
        {"comments only", "# nothing\n; here\n", Problem::NoColours},
        {"sections only", "[window]\n[edit]\n", Problem::NoColours},
        {"name only", "[skin]\nname = Mist\n", Problem::NoColours},
        {"every colour bad", "[window]\nbackground = #GGGGGG\ntext = blue\n", Problem::NoColours},
        {"prose", "This is not a skin.\nNor is this.", Problem::NoColours},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const skin::ParseResult r = skin::parse(c.text);
        EXPECT_FALSE(r.accepted());
        EXPECT_EQ(r.refused, c.expected);
        EXPECT_TRUE(skin::isFatal(c.expected));
        EXPECT_EQ(r.skin, Skin{});
    }
}

TEST(SkinFile, NoColoursKeepsTheLineProblemsThatExplainIt) {
    const skin::ParseResult r = skin::parse("[window]\nbackground = #GGGGGG\ntext = blue\n");
    EXPECT_EQ(linesOf(r),
              (std::vector<Diagnostic>{{2, Problem::BadColour}, {3, Problem::BadColour}}));
}

std::string paddedTo(std::size_t size) {
    std::string text = "[window]\nbackground = #010203\n# ";
    text.append(size - text.size() - 1, 'x');
    text += '\n';
    return text;
}

TEST(SkinFile, SizeCapIsSixtyFourKibibytes) {
    EXPECT_EQ(skin::kMaxFileBytes, 65536u);
    const std::string atCap = paddedTo(skin::kMaxFileBytes);
    ASSERT_EQ(atCap.size(), skin::kMaxFileBytes);
    EXPECT_TRUE(skin::parse(atCap).accepted());

    const std::string overCap = paddedTo(skin::kMaxFileBytes + 1);
    const skin::ParseResult r = skin::parse(overCap);
    EXPECT_EQ(r.refused, Problem::TooLarge);
    EXPECT_EQ(r.skin, Skin{});
    // The library hands over at most one byte past the cap; a huge file is
    // refused the same way.
    EXPECT_EQ(skin::parse(paddedTo(10 * skin::kMaxFileBytes)).refused, Problem::TooLarge);
}

TEST(SkinFile, ManyBadLinesAreCountedNotAllKept) {
    std::string text = "[window]\n";
    for (int i = 0; i < 100; ++i) text += "oops\n";
    text += "background = #010203\n";
    const skin::ParseResult r = skin::parse(text);
    EXPECT_TRUE(r.accepted());
    EXPECT_EQ(r.lines.size(), skin::DiagnosticList::kCapacity);
    EXPECT_EQ(r.lines.dropped(), 100 - skin::DiagnosticList::kCapacity);
    EXPECT_EQ(r.lines[0], (Diagnostic{2, Problem::MissingEquals}));
    EXPECT_EQ(r.lines[r.lines.size() - 1],
              (Diagnostic{skin::DiagnosticList::kCapacity + 1, Problem::MissingEquals}));
    EXPECT_EQ(r.skin.windowBackground, (Colour{1, 2, 3}));
}

// A file cut anywhere (a copy interrupted, a disk full) never yields a
// colour that the whole file does not have, and keeps every line that was
// complete before the cut.
TEST(SkinFile, TruncatedFileKeepsOnlyWhatWasComplete) {
    const std::string shipped = readFile(SKIN_DEFAULT_FILE);
    ASSERT_FALSE(shipped.empty());
    // The file ships with CR LF line ends; an editor may save it with LF.
    std::string lf = shipped;
    std::erase(lf, '\r');
    ASSERT_NE(lf, shipped) << "the shipped skin has CR LF line ends";
    for (const std::string& full : {shipped, lf}) {
        SCOPED_TRACE(full.size() == shipped.size() ? "CR LF" : "LF");
        const skin::ParseResult whole = skin::parse(full);
        ASSERT_TRUE(whole.accepted());
        for (std::size_t cut = 0; cut < full.size(); ++cut) {
            SCOPED_TRACE("cut at " + std::to_string(cut));
            const std::string prefix = full.substr(0, cut);
            const skin::ParseResult r = skin::parse(prefix);
            for (const KeyCase& k : kEveryKey) {
                if (r.skin.*k.member) {
                    EXPECT_EQ(r.skin.*k.member, whole.skin.*k.member) << k.key;
                }
            }
            // The window's colour counts once its whole value is there,
            // whatever follows it: the line end, or the end of the cut.
            EXPECT_EQ(r.skin.windowBackground.has_value(),
                      prefix.find("background = #DDE8F3") != std::string::npos);
            EXPECT_EQ(r.accepted(), r.skin.hasAnyColour());
        }
    }
}

TEST(SkinFile, CutInsideACharacterSkipsThatLineOnly) {
    const std::string text = "[window]\nbackground = #010203\n[skin]\nname = \xE9\x9B\xBE";
    const skin::ParseResult r = skin::parse(text.substr(0, text.size() - 1));
    EXPECT_TRUE(r.accepted());
    EXPECT_EQ(linesOf(r), (std::vector<Diagnostic>{{4, Problem::NotUtf8}}));
    EXPECT_EQ(r.skin.windowBackground, (Colour{1, 2, 3}));
}

TEST(SkinFile, EveryProblemHasItsOwnDescription) {
    const Problem all[] = {Problem::Empty,
                           Problem::TooLarge,
                           Problem::Utf16,
                           Problem::Binary,
                           Problem::NoColours,
                           Problem::NotUtf8,
                           Problem::BadSectionHeader,
                           Problem::UnknownSection,
                           Problem::KeyOutsideSection,
                           Problem::MissingEquals,
                           Problem::UnknownKey,
                           Problem::BadColour,
                           Problem::DuplicateKey};
    std::vector<std::string_view> seen;
    for (Problem p : all) {
        const std::string_view text = skin::describe(p);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(std::find(seen.begin(), seen.end(), text), seen.end()) << text;
        seen.push_back(text);
    }
    EXPECT_FALSE(skin::isFatal(Problem::BadColour));
    EXPECT_FALSE(skin::isFatal(Problem::DuplicateKey));
}

}  // namespace
