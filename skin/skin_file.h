// The skin file: INI-style sections of `key = #RRGGBB` colours in UTF-8 text
// (the format is described in skinh.she and README.md). Portable, without
// windows.h, so that the library and the native tests parse it the same way.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace skin {

// A skin is a few hundred bytes; anything bigger is not one of ours and is
// refused without being read to its end.
inline constexpr std::size_t kMaxFileBytes = 64 * 1024;

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Colour&) const = default;
};

// Every colour a skin can set. An absent one keeps the system's look (group
// boxes fall back to the window's colours first, see skin_paint.h).
struct Skin {
    std::optional<Colour> windowBackground;
    std::optional<Colour> windowText;
    std::optional<Colour> groupBackground;
    std::optional<Colour> groupText;
    std::optional<Colour> listBackground;
    std::optional<Colour> listText;
    std::optional<Colour> editBackground;
    std::optional<Colour> editText;
    std::optional<Colour> statusBackground;
    std::optional<Colour> statusText;
    // Push buttons: drawn by the skin only when at least one of these is set.
    std::optional<Colour> buttonFace;
    std::optional<Colour> buttonText;
    std::optional<Colour> buttonBorder;
    std::optional<Colour> buttonHot;       // the face under the mouse
    std::optional<Colour> buttonPressed;   // the face while pushed
    std::optional<Colour> buttonDisabled;  // the text of a disabled button
    std::optional<Colour> buttonFocus;     // the keyboard cue

    bool operator==(const Skin&) const = default;
    bool hasAnyColour() const;
};

enum class Problem : std::uint8_t {
    // The whole file is refused.
    Empty,      // nothing but white space
    TooLarge,   // over kMaxFileBytes
    Utf16,      // a UTF-16 byte order mark: saved in the wrong encoding
    Binary,     // NUL or other control bytes: not a text file
    NoColours,  // readable, but not one valid colour in it
    // Only the line is skipped; the rest of the file still counts.
    NotUtf8,            // invalid UTF-8 outside a comment
    BadSectionHeader,   // `[` without `]`, or an empty or odd name
    UnknownSection,     // its keys are skipped too
    KeyOutsideSection,  // a key before the first section header
    MissingEquals,      // neither a header, a comment nor `key = value`
    UnknownKey,
    BadColour,     // not exactly #RRGGBB
    DuplicateKey,  // the later value is the one that counts
};

bool isFatal(Problem problem);
// A short English sentence for the debug log.
std::string_view describe(Problem problem);

struct Diagnostic {
    std::size_t line = 0;  // 1-based
    Problem problem = Problem::NotUtf8;
    bool operator==(const Diagnostic&) const = default;
};

// The first problems found, in file order. Fixed in size so that parsing
// never allocates: a file full of errors needs no more than a few to fix it.
class DiagnosticList {
  public:
    static constexpr std::size_t kCapacity = 32;

    void add(Diagnostic d) {
        if (count_ < kCapacity) {
            items_[count_++] = d;
        } else {
            ++dropped_;
        }
    }
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // Problems found after the list was full.
    std::size_t dropped() const { return dropped_; }
    const Diagnostic& operator[](std::size_t i) const { return items_[i]; }
    const Diagnostic* begin() const { return items_.data(); }
    const Diagnostic* end() const { return items_.data() + count_; }

  private:
    std::array<Diagnostic, kCapacity> items_{};
    std::size_t count_ = 0;
    std::size_t dropped_ = 0;
};

struct ParseResult {
    Skin skin;                       // empty when the file is refused
    std::optional<Problem> refused;  // why the file as a whole was refused
    DiagnosticList lines;            // skipped lines, kept even when refused
    bool accepted() const { return !refused; }
};

ParseResult parse(std::string_view bytes);

}  // namespace skin
