#include "window/ui_font.h"
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "app/texts.h"
#include "resources/form1_design.h"
#include "window/dpi.h"

namespace platform {
namespace {

// In order of preference: the Chinese UI faces of Windows 8, Vista and XP.
constexpr const wchar_t* kChineseFaces[] = {L"Microsoft YaHei UI", L"Microsoft YaHei", L"SimSun"};

void append(std::wstring& all, std::wstring_view text) {
    // Line breaks and other control characters have no glyph in any face.
    for (const wchar_t c : text) {
        if (c >= L' ') all += c;
    }
}

// Every text the controls and the status bar show, at start or later.
std::wstring windowTexts() {
    std::wstring all;
    for (const auto& control : design::kControls) append(all, control.caption);
    for (const auto& panel : design::kPanels) append(all, panel.text);
    for (const wchar_t* text :
         {design::kNotes, app::texts::kCaptionRestartExplorer, app::texts::kStatusClipboard,
          app::texts::kStatusProcesses, app::texts::kStatusExplorerCleared,
          app::texts::kStatusExplorerRestarted}) {
        append(all, text);
    }
    return all;
}

// Whether the face selected into `dc` has a glyph of its own for every
// character: GetGlyphIndicesW looks at that face only, never at the fonts
// GDI would link in to draw what it lacks.
bool selectedFaceHolds(HDC dc, std::wstring_view text) {
    std::vector<WORD> glyphs(text.size());
    if (::GetGlyphIndicesW(dc, text.data(), static_cast<int>(text.size()), glyphs.data(),
                           GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
        return false;
    }
    return std::find(glyphs.begin(), glyphs.end(), WORD{0xFFFF}) == glyphs.end();
}

// Whether the font, selected into `dc`, is in the named face (when a name
// is given: the font mapper takes another face when that one is missing)
// and holds every character of the text.
bool fontHolds(HDC dc, HGDIOBJ font, const wchar_t* face, std::wstring_view text) {
    const HGDIOBJ old = ::SelectObject(dc, font);
    wchar_t selected[LF_FACESIZE]{};
    ::GetTextFaceW(dc, LF_FACESIZE, selected);
    const bool holds = (!face || ::lstrcmpiW(selected, face) == 0) && selectedFaceHolds(dc, text);
    ::SelectObject(dc, old);
    return holds;
}

// The font in the named face, or null when that face is missing or lacks a character.
win32::UniqueGdiObject inFace(HDC dc, LOGFONTW font, const wchar_t* face, std::wstring_view text) {
    ::lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    win32::UniqueGdiObject made(::CreateFontIndirectW(&font));
    if (made && !fontHolds(dc, made.get(), font.lfFaceName, text)) made.reset();
    return made;
}

int CALLBACK collectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM faces) {
    // '@' marks a face turned for vertical writing.
    if (font->lfFaceName[0] != L'@') {
        reinterpret_cast<std::vector<std::wstring>*>(faces)->emplace_back(font->lfFaceName);
    }
    return 1;
}

// Every face installed for simplified Chinese.
std::vector<std::wstring> gb2312Faces(HDC dc) {
    LOGFONTW wanted{};
    wanted.lfCharSet = GB2312_CHARSET;
    std::vector<std::wstring> faces;
    ::EnumFontFamiliesExW(dc, &wanted, collectFace, reinterpret_cast<LPARAM>(&faces), 0);
    return faces;
}

// A Chinese face at the message font's size; null when none holds the texts.
win32::UniqueGdiObject chineseFont(HDC dc, LOGFONTW font, std::wstring_view text) {
    font.lfCharSet = GB2312_CHARSET;
    for (const wchar_t* face : kChineseFaces) {
        if (auto made = inFace(dc, font, face, text)) return made;
    }
    // Only when the usual faces are missing: enumerating costs start-up time.
    for (const auto& face : gb2312Faces(dc)) {
        if (auto made = inFace(dc, font, face.c_str(), text)) return made;
    }
    return {};
}

}  // namespace

win32::UniqueGdiObject createUiFont(int dpi) {
    const LOGFONTW message = dpi::messageFont(dpi);
    win32::UniqueGdiObject font(::CreateFontIndirectW(&message));
    const win32::UniqueDc dc(::CreateCompatibleDC(nullptr));
    if (!font || !dc) return font;
    const std::wstring texts = windowTexts();
    if (fontHolds(dc.get(), font.get(), nullptr, texts)) return font;
    if (auto chinese = chineseFont(dc.get(), message, texts)) return chinese;
    // No face holds them all: font linking draws what it can.
    return font;
}

}  // namespace platform
