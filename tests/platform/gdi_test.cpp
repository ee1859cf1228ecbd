// SPDX-License-Identifier: MIT
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <string>

#include "controls_test_support.h"

namespace {

class GdiTest : public ControlsTest {};

LOGFONTW Font(const char16_t* face, LONG height) {
    LOGFONTW font{};
    font.lfHeight = height;
    std::u16string name(face);
    std::copy_n(name.begin(), std::min<std::size_t>(name.size(), LF_FACESIZE), font.lfFaceName);
    return font;
}

int Extent(const char16_t* text) {
    HDC dc = GetDC(nullptr);
    SIZE size{};
    GetTextExtentPoint32W(dc, text, static_cast<int>(std::u16string(text).size()), &size);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

TEST_F(GdiTest, HandlesAndMeasuresHoldTogether) {
    struct Case {
        const char* what;
        std::function<long()> run;
        long expected;
    };
    const Case cases[] = {
        {"a stock font outlives DeleteObject",
         [] {
             HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
             return DeleteObject(font) ? GetObjectW(font, 0, nullptr) : -1L;
         },
         sizeof(LOGFONTW)},
        {"a deleted font is refused",
         [] {
             const LOGFONTW logical = Font(u"Arial", -12);
             HFONT font = CreateFontIndirectW(&logical);
             DeleteObject(font);
             HDC dc = GetDC(nullptr);
             const bool selected = SelectObject(dc, font) != nullptr;
             ReleaseDC(nullptr, dc);
             return selected || GetObjectW(font, sizeof(LOGFONTW), nullptr) != 0 ? 1L : 0L;
         },
         0},
        {"a released device context measures nothing",
         [] {
             HDC dc = GetDC(nullptr);
             ReleaseDC(nullptr, dc);
             TEXTMETRICW metrics{};
             SIZE size{};
             return long{GetTextMetricsW(dc, &metrics) ||
                         GetTextExtentPoint32W(dc, u"a", 1, &size)};
         },
         0},
        {"SelectObject hands back the font it replaced",
         [] {
             HDC dc = GetDC(nullptr);
             HGDIOBJ gui = GetStockObject(DEFAULT_GUI_FONT);
             const bool first = SelectObject(dc, gui) == GetStockObject(SYSTEM_FONT);
             const bool second = SelectObject(dc, GetStockObject(SYSTEM_FONT)) == gui;
             ReleaseDC(nullptr, dc);
             return long{first && second};
         },
         1},
        {"a face that fills the array comes back cut and terminated",
         [] {
             const LOGFONTW logical = Font(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 10);
             HFONT font = CreateFontIndirectW(&logical);
             LOGFONTW back{};
             GetObjectW(font, sizeof back, &back);
             DeleteObject(font);
             return long{back.lfHeight == 10 && back.lfFaceName[LF_FACESIZE - 1] == 0 &&
                         std::u16string(back.lfFaceName).size() == LF_FACESIZE - 1};
         },
         1},
        {"GetObjectW copies no more than it is given room for",
         [] {
             char buffer[sizeof(LOGFONTW)];
             std::memset(buffer, 'x', sizeof buffer);
             const int copied = GetObjectW(GetStockObject(SYSTEM_FONT), 4, buffer);
             return copied == 4 && buffer[4] == 'x' ? 1L : 0L;
         },
         1},
        // Windows' record sizes, as Wine's sysparams.c checks them.
        {"the non-client metrics in either record size, the padding written 0",
         [] {
             NONCLIENTMETRICSW full{};
             full.cbSize = sizeof full;
             full.iPaddedBorderWidth = 0xcccc;
             NONCLIENTMETRICSW old{};
             old.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
             return long{SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 0, &full, 0) &&
                         full.iPaddedBorderWidth == 0 &&
                         SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 0, &old, 0) &&
                         std::u16string(old.lfMessageFont.lfFaceName) == u"Segoe UI"};
         },
         1},
        {"a record of another size is refused",
         [] {
             NONCLIENTMETRICSW metrics{};
             long accepted = 0;
             for (UINT size : {offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth) - 1,
                               offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth) + 1}) {
                 metrics.cbSize = size;
                 accepted += SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0);
             }
             return accepted;
         },
         0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.run(), c.expected) << c.what;
}

// What the edit lays out is what GDI measures, wide characters included.
TEST_F(GdiTest, TheEditPlacesTextAtTheWidthsGdiMeasures) {
    HWND edit = Create(u"Edit", u"ab你c", ES_AUTOHSCROLL, 100, RECT{0, 0, 200, 40});
    auto x = [edit](int index) {
        return short(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, index, 0)));
    };
    EXPECT_EQ(x(2) - x(0), Extent(u"ab"));
    EXPECT_EQ(x(3) - x(2), Extent(u"你"));
    EXPECT_EQ(LOWORD(SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(x(3) + 1, 0))), 3);
    HDC dc = GetDC(edit);
    TEXTMETRICW metrics{};
    ASSERT_TRUE(GetTextMetricsW(dc, &metrics));
    ReleaseDC(edit, dc);
    RECT format{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format.bottom - format.top, metrics.tmHeight);
}

}  // namespace
