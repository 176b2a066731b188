#include "skin/look.h"

namespace skin {

Look::Look(const Skin& skin) : skin_(skin) {
    for (std::size_t e = 0; e < kElementCount; ++e) {
        const auto background = paintFor(skin_, static_cast<Element>(e)).background;
        if (!background) continue;
        for (std::size_t earlier = 0; earlier < e && !byElement_[e]; ++earlier) {
            if (paintFor(skin_, static_cast<Element>(earlier)).background == background) {
                byElement_[e] = byElement_[earlier];
            }
        }
        if (!byElement_[e]) {
            owned_[e] = counted<CountedBrush>(::CreateSolidBrush(toColorRef(*background)));
            byElement_[e] = owned_[e].get();
        }
    }
    if (const auto colours = buttonColours(skin_, systemButtonColours()))
        buttons_.emplace(*colours);
}

Answer Look::answer(Element element) const {
    Answer a;
    const Paint paint = paintFor(skin_, element);
    a.brush = byElement_[static_cast<std::size_t>(element)];
    if (paint.background) a.background = toColorRef(*paint.background);
    if (paint.text) a.text = toColorRef(*paint.text);
    return a;
}

std::optional<COLORREF> Look::statusBackground() const {
    if (!skin_.statusBackground) return std::nullopt;
    return toColorRef(*skin_.statusBackground);
}

}  // namespace skin
