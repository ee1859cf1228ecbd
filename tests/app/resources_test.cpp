// SPDX-License-Identifier: MIT
// The compiled resources of the program, as windres makes them of app/res/app.rc, read with the
// platform's resource readers: what the dialog manager and the icon loader will find.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "resources/dialog_template.h"
#include "resources/icon_group.h"
#include "resources/resource_image.h"

std::span<const std::uint8_t> AppResources();

namespace {

using namespace win32::resources;

std::u16string Widen(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

// A control as the dialog manager creates it: id, class, text, style and geometry. Every
// control of the program is a plain one: no help id, no extended style, no creation data.
std::u16string Describe(const DialogItem& item) {
    EXPECT_EQ(item.helpId + item.exStyle + item.creationData.size(), 0u) << item.id;
    const std::u16string_view atom =
        item.windowClass.IsOrdinal() ? PredefinedClassName(item.windowClass.ordinal()) : u"?";
    const NameOrOrdinal& t = item.title;
    char rest[64];
    std::snprintf(rest, sizeof rest, " %08X %d,%d,%d,%d", item.style, item.x, item.y, item.cx,
                  item.cy);
    return Widen(std::to_string(item.id) + " ") + std::u16string(atom) + u" " +
           (t.IsOrdinal() ? Widen("#" + std::to_string(t.ordinal())) : u'"' + t.name() + u'"') +
           Widen(rest);
}

class ResourcesTest : public testing::Test {
protected:
    static void SetUpTestSuite() { s_image = ResourceImage::Parse(AppResources()); }
    void SetUp() override { ASSERT_TRUE(s_image) << "the compiled resources do not parse"; }

    static const Resource* Get(std::uint16_t type, std::uint16_t name) {
        const Resource* resource = s_image->Find(type, name);
        EXPECT_NE(resource, nullptr) << "resource " << type << " " << name;
        return resource;
    }

    static inline std::optional<ResourceImage> s_image;
};

TEST_F(ResourcesTest, DialogTemplates) {
    struct Expected {
        std::uint16_t id, language;
        bool extended;
        std::uint32_t style;
        int cx, cy;
        std::u16string caption;
        DialogFont font;
        std::vector<std::u16string> controls;
    };
    // The main dialog: Chinese (PRC), caption, system menu, minimise box, a GB2312 font.
    // The About box: English (US), pop-up, caption, system menu, modal frame; its classic form
    // stores no font weight or charset. Both have DS_SETFONT. The id -1 reads as 4294967295 in
    // the extended form and as 65535 in the classic one.
    // clang-format off
    const Expected dialogs[] = {
        {129, 0x0804, true, 0x00CA0040, 326, 249, u"App", {9, 400, false, 134, u"新宋体"},
         {u"1 Button \"OK\" 50010001 207,228,50,14",
          u"2 Button \"Cancel\" 50010000 269,228,50,14",
          u"4294967295 Static \"帐号：\" 50020000 11,49,37,8",
          u"4294967295 Static \"密码：\" 50020000 11,74,37,8",
          u"1001 Edit \"\" 50810080 53,45,238,14",
          u"1002 Edit \"\" 50810080 53,69,238,14",
          u"1003 Button \"加密\" 50010000 53,94,50,14",
          u"4294967295 Static \"帐号：\" 50020000 11,147,37,8",
          u"4294967295 Static \"密码：\" 50020000 11,172,37,8",
          u"1005 Edit \"\" 50810080 53,143,238,14",
          u"1006 Edit \"\" 50810080 53,167,238,14",
          u"1007 Button \"解密\" 50010000 145,94,50,14"}},
        {100, 0x0409, false, 0x80C800C0, 187, 102, u"About", {8, 0, false, 1, u"MS Sans Serif"},
         {u"1 Button \"OK\" 50010001 130,81,50,14",
          u"65535 Static \"credcipher Version 1.0\" 50000001 13,52,103,20",
          u"65535 Static #128 50000003 55,26,0,0",
          u"65535 Button \"\" 50000007 7,7,115,88"}},
    };
    // clang-format on
    for (const Expected& e : dialogs) {
        SCOPED_TRACE(e.id);
        const Resource* res = Get(kTypeDialog, e.id);
        ASSERT_NE(res, nullptr);
        EXPECT_EQ(res->language, e.language);
        const auto d = ParseDialogTemplate(res->data);
        ASSERT_TRUE(d);
        // Bytes beyond the last control (give or take the padding) would be controls the
        // header does not count.
        EXPECT_FALSE(ParseDialogTemplate(res->data.first(res->data.size() - 4)));
        EXPECT_EQ(d->extended, e.extended);
        EXPECT_EQ(d->style, e.style);
        EXPECT_EQ(d->helpId + d->exStyle, 0u);
        EXPECT_EQ(std::vector<int>({d->x, d->y, d->cx, d->cy}),
                  std::vector<int>({0, 0, e.cx, e.cy}));
        EXPECT_TRUE(d->menu.IsNone() && d->windowClass.IsNone());
        EXPECT_EQ(d->caption, e.caption);
        ASSERT_TRUE(d->font);
        EXPECT_EQ(std::tie(d->font->pointSize, d->font->weight, d->font->italic, d->font->charset),
                  std::tie(e.font.pointSize, e.font.weight, e.font.italic, e.font.charset));
        EXPECT_EQ(d->font->face, e.font.face);
        std::vector<std::u16string> controls;
        for (const DialogItem& item : d->items) controls.push_back(Describe(item));
        EXPECT_EQ(controls, e.controls);
    }
}

TEST_F(ResourcesTest, IconGroupHoldsA32And16PixelImageOf16Colours) {
    const Resource* group = Get(kTypeGroupIcon, 128);
    ASSERT_NE(group, nullptr);
    const auto entries = ParseIconDirectory(group->data);
    ASSERT_TRUE(entries) << "not an icon directory";
    ASSERT_EQ(entries->size(), 2u);
    for (std::size_t i = 0; i < entries->size(); ++i) {
        const IconDirectoryEntry& entry = (*entries)[i];
        const int size = i == 0 ? 32 : 16;
        SCOPED_TRACE(size);
        EXPECT_EQ(std::vector<int>(
                      {entry.width, entry.height, entry.colorCount, entry.planes, entry.bitCount}),
                  std::vector<int>({size, size, 16, 1, 4}));
        const Resource* icon = Get(kTypeIcon, entry.iconId);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->data.size(), entry.bytesInRes);
        // A 40-byte bitmap header, 16 palette entries, 4-bit colour rows and 1-bit mask rows,
        // each row padded to 4 bytes.
        const auto image = ReadIconImage(icon->data);
        ASSERT_TRUE(image) << "not a DIB icon";
        EXPECT_FALSE(image->png);
        EXPECT_EQ(std::vector<int>({image->width, image->height, image->bitCount}),
                  std::vector<int>({size, size, 4}));
        const std::size_t maskRow = (static_cast<std::size_t>(size) + 31) / 32 * 4;
        EXPECT_EQ(icon->data.size(), 40 + 16 * 4 + size * size / 2 + size * maskRow);
    }
}

TEST_F(ResourcesTest, ManifestAsksForCommonControls6AndTheCallersRights) {
    const Resource* manifest = Get(kTypeManifest, 1);
    ASSERT_NE(manifest, nullptr);
    const std::string text(manifest->data.begin(), manifest->data.end());
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                             "level=\"asInvoker\""}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }
}

}  // namespace
