#include "skin/skin_file.h"

#include <algorithm>
#include <array>

namespace skin {
namespace {

enum class Section : std::uint8_t {
    None,
    Ignored,
    Skin,
    Window,
    Group,
    List,
    Edit,
    Status,
    Button,
};

struct SectionName {
    std::string_view name;
    Section section;
};

constexpr std::array kSections{
    SectionName{"skin", Section::Skin},     SectionName{"window", Section::Window},
    SectionName{"group", Section::Group},   SectionName{"list", Section::List},
    SectionName{"edit", Section::Edit},     SectionName{"status", Section::Status},
    SectionName{"button", Section::Button},
};

// A null member is a key that is accepted and not used (the skin's name).
struct Key {
    Section section;
    std::string_view name;
    std::optional<Colour> Skin::*member;
};

constexpr std::array kKeys{
    Key{Section::Skin, "name", nullptr},
    Key{Section::Window, "background", &Skin::windowBackground},
    Key{Section::Window, "text", &Skin::windowText},
    Key{Section::Group, "background", &Skin::groupBackground},
    Key{Section::Group, "text", &Skin::groupText},
    Key{Section::List, "background", &Skin::listBackground},
    Key{Section::List, "text", &Skin::listText},
    Key{Section::Edit, "background", &Skin::editBackground},
    Key{Section::Edit, "text", &Skin::editText},
    Key{Section::Status, "background", &Skin::statusBackground},
    Key{Section::Status, "text", &Skin::statusText},
    Key{Section::Button, "face", &Skin::buttonFace},
    Key{Section::Button, "text", &Skin::buttonText},
    Key{Section::Button, "border", &Skin::buttonBorder},
    Key{Section::Button, "hot", &Skin::buttonHot},
    Key{Section::Button, "pressed", &Skin::buttonPressed},
    Key{Section::Button, "disabled", &Skin::buttonDisabled},
    Key{Section::Button, "focus", &Skin::buttonFocus},
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), s.begin());
}

// The text before and after a position; written out because substr would
// bring in the exception machinery that the library is built without.
std::string_view before(std::string_view s, std::size_t end) {
    return std::string_view(s.data(), end);
}
std::string_view after(std::string_view s, std::size_t start) {
    return std::string_view(s.data() + start, s.size() - start);
}

// Tab, CR and LF are the only control bytes a text file has; the others
// (and DEL) mean a binary file, whatever else it holds.
bool isBinaryByte(unsigned char c) {
    return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;
            if (c == 0xED) high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (s.size() - i < length) return false;
        const auto second = static_cast<unsigned char>(s[i + 1]);
        if (second < low || second > high) return false;
        for (std::size_t k = 2; k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if (next < 0x80 || next > 0xBF) return false;
        }
        i += length;
    }
    return true;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const char l = lower(c);
    if (l >= 'a' && l <= 'f') return l - 'a' + 10;
    return -1;
}

std::optional<Colour> parseColour(std::string_view text) {
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    std::array<std::uint8_t, 3> channels{};
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const int high = hexValue(text[1 + 2 * i]);
        const int low = hexValue(text[2 + 2 * i]);
        if (high < 0 || low < 0) return std::nullopt;
        channels[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return Colour{channels[0], channels[1], channels[2]};
}

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

// Splits the text at LF, CR LF or a lone CR, the three line ends editors write.
class Lines {
  public:
    explicit Lines(std::string_view text) : rest_(text) {}

    bool next(std::string_view& line) {
        if (done_) return false;
        const std::size_t end = rest_.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            line = rest_;
            done_ = true;
            return true;
        }
        line = before(rest_, end);
        std::size_t skip = 1;
        if (rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n') skip = 2;
        rest_.remove_prefix(end + skip);
        return true;
    }

  private:
    std::string_view rest_;
    bool done_ = false;
};

class Parser {
  public:
    ParseResult run(std::string_view bytes) {
        if (bytes.size() > kMaxFileBytes) return refuse(Problem::TooLarge);
        if (startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF"))
            return refuse(Problem::Utf16);
        if (startsWith(bytes, "\xEF\xBB\xBF")) bytes.remove_prefix(3);
        if (std::any_of(bytes.begin(), bytes.end(),
                        [](char c) { return isBinaryByte(static_cast<unsigned char>(c)); })) {
            return refuse(Problem::Binary);
        }
        if (std::all_of(bytes.begin(), bytes.end(),
                        [](char c) { return isBlank(c) || c == '\r' || c == '\n'; })) {
            return refuse(Problem::Empty);
        }

        Lines lines(bytes);
        std::string_view line;
        while (lines.next(line)) {
            ++lineNumber_;
            parseLine(trim(line));
        }
        // Line problems stay listed: they tell why nothing was usable.
        if (!result_.skin.hasAnyColour()) result_.refused = Problem::NoColours;
        return result_;
    }

  private:
    ParseResult refuse(Problem problem) {
        ParseResult refused;
        refused.refused = problem;
        return refused;
    }

    void report(Problem problem) { result_.lines.add({lineNumber_, problem}); }

    void parseLine(std::string_view line) {
        // Comments are skipped unread, so they may be in any encoding.
        if (line.empty() || line.front() == '#' || line.front() == ';') return;
        if (!isValidUtf8(line)) return report(Problem::NotUtf8);
        if (line.front() == '[') return parseHeader(line);

        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) return report(Problem::MissingEquals);
        const std::string_view name = trim(before(line, equals));
        const std::string_view value = trim(after(line, equals + 1));
        if (section_ == Section::None) return report(Problem::KeyOutsideSection);
        if (section_ == Section::Ignored) return;  // reported once, at its header

        const auto key = std::find_if(kKeys.begin(), kKeys.end(), [&](const Key& k) {
            return k.section == section_ && equalsIgnoringCase(k.name, name);
        });
        if (key == kKeys.end()) return report(Problem::UnknownKey);
        if (!key->member) return;
        const std::optional<Colour> colour = parseColour(value);
        if (!colour) return report(Problem::BadColour);
        std::optional<Colour>& slot = result_.skin.*(key->member);
        if (slot) report(Problem::DuplicateKey);
        slot = colour;
    }

    void parseHeader(std::string_view line) {
        // Until a good header comes, keys belong nowhere and are skipped.
        section_ = Section::Ignored;
        if (line.back() != ']') return report(Problem::BadSectionHeader);
        const std::string_view name = trim(std::string_view(line.data() + 1, line.size() - 2));
        if (name.empty() || !std::all_of(name.begin(), name.end(), isNameChar)) {
            return report(Problem::BadSectionHeader);
        }
        const auto known =
            std::find_if(kSections.begin(), kSections.end(),
                         [&](const SectionName& s) { return equalsIgnoringCase(s.name, name); });
        if (known == kSections.end()) return report(Problem::UnknownSection);
        section_ = known->section;
    }

    ParseResult result_;
    std::size_t lineNumber_ = 0;
    Section section_ = Section::None;
};

}  // namespace

bool Skin::hasAnyColour() const {
    return std::any_of(kKeys.begin(), kKeys.end(),
                       [this](const Key& k) { return k.member && (this->*k.member); });
}

bool isFatal(Problem problem) {
    switch (problem) {
        case Problem::Empty:
        case Problem::TooLarge:
        case Problem::Utf16:
        case Problem::Binary:
        case Problem::NoColours:
            return true;
        default:
            return false;
    }
}

std::string_view describe(Problem problem) {
    switch (problem) {
        case Problem::Empty:
            return "the file is empty";
        case Problem::TooLarge:
            return "the file is larger than 64 KiB";
        case Problem::Utf16:
            return "the file is UTF-16; save it as UTF-8";
        case Problem::Binary:
            return "the file holds control bytes; it is not a text file";
        case Problem::NoColours:
            return "the file sets no valid colour";
        case Problem::NotUtf8:
            return "the line is not valid UTF-8";
        case Problem::BadSectionHeader:
            return "bad section header; expected [name]";
        case Problem::UnknownSection:
            return "unknown section; its keys are skipped";
        case Problem::KeyOutsideSection:
            return "key before the first section header";
        case Problem::MissingEquals:
            return "expected key = value";
        case Problem::UnknownKey:
            return "unknown key in this section";
        case Problem::BadColour:
            return "bad colour; expected #RRGGBB";
        case Problem::DuplicateKey:
            return "key given again; the later value counts";
    }
    return "unknown problem";
}

ParseResult parse(std::string_view bytes) { return Parser().run(bytes); }

}  // namespace skin
