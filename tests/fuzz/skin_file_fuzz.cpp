// libFuzzer target: the skin-file parser and the colour-request choice must
// take any bytes without a crash, a hang, a leak or undefined behaviour, and
// keep their promises about what they return.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "skin/skin_file.h"
#include "skin/skin_paint.h"

namespace {

void require(bool holds) {
    if (!holds) std::abort();
}

void checkParse(std::string_view bytes) {
    const skin::ParseResult r = skin::parse(bytes);
    // Refused and accepted are exclusive, and say whether a colour came out.
    require(r.accepted() == !r.refused.has_value());
    require(r.accepted() == r.skin.hasAnyColour());
    if (r.refused) require(skin::isFatal(*r.refused) && r.skin == skin::Skin{});
    // A refused file never turns the button painter on.
    if (r.refused) require(!skin::buttonColours(r.skin, skin::SystemButtonColours{}));
    if (bytes.size() > skin::kMaxFileBytes) require(r.refused == skin::Problem::TooLarge);

    // Line problems are never whole-file ones, point at real lines, and come in order.
    std::size_t lineCount = 1;
    for (char c : bytes) lineCount += c == '\n' || c == '\r';
    std::size_t previous = 0;
    for (const skin::Diagnostic& d : r.lines) {
        require(!skin::isFatal(d.problem));
        require(d.line >= 1 && d.line <= lineCount && d.line >= previous);
        require(!skin::describe(d.problem).empty());
        previous = d.line;
    }
    require(r.lines.size() <= skin::DiagnosticList::kCapacity);

    // The same bytes give the same answer.
    const skin::ParseResult again = skin::parse(bytes);
    require(again.skin == r.skin && again.refused == r.refused &&
            again.lines.size() == r.lines.size() && again.lines.dropped() == r.lines.dropped());
}

void checkPaint(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return;
    const unsigned message = 0x0130u + data[0] % 12u;
    const std::uint32_t style = data[1] | static_cast<std::uint32_t>(data[2]) << 8 |
                                static_cast<std::uint32_t>(data[3]) << 24;
    std::wstring_view className;
    wchar_t buffer[32] = {};
    std::size_t n = 0;
    for (std::size_t i = 4; i < size && n < 32; ++i) buffer[n++] = static_cast<wchar_t>(data[i]);
    className = std::wstring_view(buffer, n);
    const std::optional<skin::Element> element = skin::elementFor(message, className, style);
    if (element) {
        require(static_cast<std::size_t>(*element) < skin::kElementCount);
        (void)skin::paintFor(
            skin::parse(std::string_view(reinterpret_cast<const char*>(data), size)).skin,
            *element);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkParse(std::string_view(reinterpret_cast<const char*>(data), size));
    checkPaint(data, size);
    return 0;
}
