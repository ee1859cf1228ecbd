// SPDX-License-Identifier: MIT
// Text metrics of a device context's font. The displays draw all text in their one font, so
// every font reports that font's metrics and widths: what a program measures is what is shown,
// and what the edit control lays out (window_system.h) agrees with both.
#include <windows.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "src/device_contexts.h"
#include "src/display_manager.h"
#include "src/window_system.h"

namespace {

struct CodePageFont {
    UINT codePage;
    BYTE charset;
    DWORD signature;  // FONTSIGNATURE's fsCsb[0] bit of the code page
};

constexpr std::array<CodePageFont, 14> kCodePageFonts = {{
    {1252, ANSI_CHARSET, 0x00000001},
    {1250, EASTEUROPE_CHARSET, 0x00000002},
    {1251, RUSSIAN_CHARSET, 0x00000004},
    {1253, GREEK_CHARSET, 0x00000008},
    {1254, TURKISH_CHARSET, 0x00000010},
    {1255, HEBREW_CHARSET, 0x00000020},
    {1256, ARABIC_CHARSET, 0x00000040},
    {1257, BALTIC_CHARSET, 0x00000080},
    {1258, VIETNAMESE_CHARSET, 0x00000100},
    {874, THAI_CHARSET, 0x00010000},
    {932, SHIFTJIS_CHARSET, 0x00020000},
    {936, GB2312_CHARSET, 0x00040000},
    {949, HANGUL_CHARSET, 0x00080000},
    {950, CHINESEBIG5_CHARSET, 0x00100000},
}};

// The display's font covers the ANSI code page, whatever character set a font asked for.
const CodePageFont& FontOfCodePage() {
    const UINT codePage = GetACP();
    for (const CodePageFont& font : kCodePageFonts) {
        if (font.codePage == codePage) return font;
    }
    return kCodePageFonts[0];
}

bool Known(HDC hdc) {
    if (win32::FindDeviceContext(hdc) != nullptr) return true;
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
}

}  // namespace

BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm) {
    if (!Known(hdc) || lptm == nullptr) return FALSE;
    const win32::FontMetrics font = win32::CurrentFont();
    *lptm = TEXTMETRICW{};
    // A display tells the height of a line only: all of it counts as ascent.
    lptm->tmHeight = font.height;
    lptm->tmAscent = font.height;
    lptm->tmAveCharWidth = (font.alphabetWidth + 26) / 52;
    lptm->tmMaxCharWidth = std::max<LONG>(lptm->tmAveCharWidth, win32::MeasureText(u"W"));
    lptm->tmWeight = FW_NORMAL;
    lptm->tmDigitizedAspectX = 96;
    lptm->tmDigitizedAspectY = 96;
    lptm->tmFirstChar = u' ';
    lptm->tmLastChar = 0xFFFC;
    lptm->tmDefaultChar = u'?';
    lptm->tmBreakChar = u' ';
    // A scalable font of varying pitch (the bit's name says the opposite, as on Windows).
    lptm->tmPitchAndFamily = TMPF_FIXED_PITCH | TMPF_VECTOR | TMPF_TRUETYPE;
    lptm->tmCharSet = FontOfCodePage().charset;
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl) {
    if (!Known(hdc) || psizl == nullptr || c < 0 || (lpString == nullptr && c > 0)) return FALSE;
    psizl->cx = c > 0 ? win32::MeasureText(std::u16string_view(lpString, c)) : 0;
    psizl->cy = win32::CurrentFont().height;
    return TRUE;
}

// Each character fills its advance: no overhang on either side.
BOOL WINAPI GetCharABCWidthsW(HDC hdc, UINT wFirst, UINT wLast, ABC* lpABC) {
    if (!Known(hdc) || lpABC == nullptr || wLast < wFirst || wLast > 0xFFFF) return FALSE;
    for (UINT c = wFirst; c <= wLast; ++c) {
        const char16_t unit = static_cast<char16_t>(c);
        lpABC[c - wFirst] =
            ABC{0, static_cast<UINT>(win32::MeasureText(std::u16string_view(&unit, 1))), 0};
    }
    return TRUE;
}

int WINAPI GetTextCharsetInfo(HDC hdc, FONTSIGNATURE* lpSig, DWORD) {
    if (!Known(hdc)) return DEFAULT_CHARSET;
    const CodePageFont& font = FontOfCodePage();
    if (lpSig != nullptr) *lpSig = FONTSIGNATURE{{0, 0, 0, 0}, {font.signature, 0}};
    return font.charset;
}

DWORD WINAPI GdiGetCodePage(HDC hdc) { return Known(hdc) ? FontOfCodePage().codePage : CP_ACP; }

// The average width as dialog base units take it: of the 52 letters, rounded.
LONG WINAPI GdiGetCharDimensions(HDC hdc, LPTEXTMETRICW lptm, LONG* height) {
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(hdc, &metrics)) return 0;
    if (lptm != nullptr) *lptm = metrics;
    if (height != nullptr) *height = metrics.tmHeight;
    return (win32::CurrentFont().alphabetWidth + 26) / 52;
}
