// The compiled resources of the program, as windres makes them of app/res/app.rc, read with the
// platform's resource readers: what the dialog manager and the icon loader will find.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "resources/byte_reader.h"
#include "resources/dialog_template.h"
#include "resources/icon_group.h"
#include "resources/resource_image.h"

std::span<const std::uint8_t> AppResources();

namespace {

using namespace win32::resources;
using namespace std::string_literals;

constexpr std::uint32_t kChild = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr std::uint32_t kTabStop = 0x00010000, kGroup = 0x00020000, kBorder = 0x00800000;
// A control id of -1, as the DWORD of the extended form and the WORD of the classic one stores it.
constexpr std::uint32_t kNoIdExtended = 0xFFFFFFFF, kNoIdClassic = 0xFFFF;

struct Control {
    std::uint32_t id;
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
    std::uint32_t style;
    std::int16_t x, y, cx, cy;

    bool operator==(const Control&) const = default;
};

void PrintTo(const NameOrOrdinal& value, std::ostream* os) {
    if (value.IsOrdinal()) {
        *os << '#' << value.ordinal();
        return;
    }
    *os << '"';
    for (const char16_t unit : value.name()) {
        if (unit >= 0x20 && unit < 0x7F) {
            *os << static_cast<char>(unit);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(unit));
            *os << escaped;
        }
    }
    *os << '"';
}

void PrintTo(const Control& c, std::ostream* os) {
    *os << "{id " << c.id << ", class ";
    PrintTo(c.windowClass, os);
    *os << ", text ";
    PrintTo(c.text, os);
    *os << std::hex << ", style 0x" << c.style << std::dec << ", " << c.x << ',' << c.y << ','
        << c.cx << ',' << c.cy << '}';
}

// The controls of a template as the dialog manager creates them. Every control of the program
// is a plain one: no help id, no extended style, no creation data.
std::vector<Control> ControlsOf(const DialogTemplate& d) {
    std::vector<Control> controls;
    for (const DialogItem& item : d.items) {
        SCOPED_TRACE(item.id);
        EXPECT_EQ(item.helpId, 0u);
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_TRUE(item.creationData.empty());
        controls.push_back(
            {item.id, item.windowClass, item.title, item.style, item.x, item.y, item.cx, item.cy});
    }
    return controls;
}

class ResourcesTest : public testing::Test {
protected:
    static void SetUpTestSuite() { s_image = ResourceImage::Parse(AppResources()); }

    void SetUp() override { ASSERT_TRUE(s_image) << "the compiled resources do not parse"; }

    // The resource of that type and name, in whatever language it has.
    static const Resource& Get(std::uint16_t type, std::uint16_t name) {
        const Resource* resource = s_image->Find(type, name);
        if (resource == nullptr) throw std::runtime_error("resource missing");
        return *resource;
    }

    // The template of a dialog resource, which must end with its last control (give or take
    // the padding to a DWORD): bytes beyond it would be controls the header does not count.
    static DialogTemplate Dialog(const Resource& res) {
        const auto dialog = ParseDialogTemplate(res.data);
        if (!dialog) throw std::runtime_error("dialog template does not parse");
        EXPECT_FALSE(ParseDialogTemplate(res.data.first(res.data.size() - 4)))
            << "bytes after the last control";
        return *dialog;
    }

    static inline std::optional<ResourceImage> s_image;
};

TEST_F(ResourcesTest, MainDialogTemplate) {
    const Resource& res = Get(kTypeDialog, 129);
    EXPECT_EQ(res.language, 0x0804);  // Chinese (PRC)
    const DialogTemplate d = Dialog(res);
    EXPECT_TRUE(d.extended);
    EXPECT_EQ(d.helpId, 0u);
    EXPECT_EQ(d.style, 0x00CA0040u);  // caption, system menu, minimise box, DS_SETFONT
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(std::vector<int>({d.x, d.y, d.cx, d.cy}), std::vector<int>({0, 0, 326, 249}));
    EXPECT_TRUE(d.menu.IsNone());
    EXPECT_TRUE(d.windowClass.IsNone());
    EXPECT_EQ(d.caption, u"App");
    ASSERT_TRUE(d.font);
    EXPECT_EQ(d.font->pointSize, 9);
    EXPECT_EQ(d.font->weight, 400);
    EXPECT_FALSE(d.font->italic);
    EXPECT_EQ(d.font->charset, 134);  // GB2312
    EXPECT_EQ(d.font->face, u"新宋体");

    const std::uint32_t button = kChild | kTabStop, edit = kChild | kBorder | kTabStop | 0x80;
    const std::vector<Control> expected = {
        {1, kAtomButton, u"OK"s, button | 0x1, 207, 228, 50, 14},
        {2, kAtomButton, u"Cancel"s, button, 269, 228, 50, 14},
        {kNoIdExtended, kAtomStatic, u"帐号："s, kChild | kGroup, 11, 49, 37, 8},
        {kNoIdExtended, kAtomStatic, u"密码："s, kChild | kGroup, 11, 74, 37, 8},
        {1001, kAtomEdit, u""s, edit, 53, 45, 238, 14},
        {1002, kAtomEdit, u""s, edit, 53, 69, 238, 14},
        {1003, kAtomButton, u"加密"s, button, 53, 94, 50, 14},
        {kNoIdExtended, kAtomStatic, u"帐号："s, kChild | kGroup, 11, 147, 37, 8},
        {kNoIdExtended, kAtomStatic, u"密码："s, kChild | kGroup, 11, 172, 37, 8},
        {1005, kAtomEdit, u""s, edit, 53, 143, 238, 14},
        {1006, kAtomEdit, u""s, edit, 53, 167, 238, 14},
        {1007, kAtomButton, u"解密"s, button, 145, 94, 50, 14},
    };
    EXPECT_EQ(ControlsOf(d), expected);
}

TEST_F(ResourcesTest, AboutBoxTemplate) {
    const Resource& res = Get(kTypeDialog, 100);
    EXPECT_EQ(res.language, 0x0409);  // English (United States)
    const DialogTemplate d = Dialog(res);
    EXPECT_FALSE(d.extended);
    EXPECT_EQ(d.style, 0x80C800C0u);  // pop-up, caption, system menu, modal frame, DS_SETFONT
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(std::vector<int>({d.x, d.y, d.cx, d.cy}), std::vector<int>({0, 0, 187, 102}));
    EXPECT_TRUE(d.menu.IsNone());
    EXPECT_TRUE(d.windowClass.IsNone());
    EXPECT_EQ(d.caption, u"About");
    ASSERT_TRUE(d.font);
    EXPECT_EQ(d.font->pointSize, 8);
    EXPECT_EQ(d.font->face, u"MS Sans Serif");

    const std::vector<Control> expected = {
        {1, kAtomButton, u"OK"s, kChild | kTabStop | 0x1, 130, 81, 50, 14},
        {kNoIdClassic, kAtomStatic, u"credcipher Version 1.0"s, kChild | 0x1, 13, 52, 103, 20},
        {kNoIdClassic, kAtomStatic, std::uint16_t{128}, kChild | 0x3, 55, 26, 18, 20},
        {kNoIdClassic, kAtomButton, u""s, kChild | 0x7, 7, 7, 115, 88},
    };
    EXPECT_EQ(ControlsOf(d), expected);
}

TEST_F(ResourcesTest, IconGroupHoldsA32And16PixelImageOf16Colours) {
    const auto entries = ParseIconDirectory(Get(kTypeGroupIcon, 128).data);
    ASSERT_TRUE(entries) << "not an icon directory";
    ASSERT_EQ(entries->size(), 2u);
    for (std::size_t i = 0; i < entries->size(); ++i) {
        const IconDirectoryEntry& entry = (*entries)[i];
        const int size = i == 0 ? 32 : 16;
        SCOPED_TRACE(size);
        EXPECT_EQ(entry.width, size);
        EXPECT_EQ(entry.height, size);
        EXPECT_EQ(entry.colorCount, 16);
        EXPECT_EQ(entry.planes, 1);
        EXPECT_EQ(entry.bitCount, 4);

        // The image itself: a 40-byte bitmap header of twice the height (colour rows, then mask
        // rows), 16 palette entries, 4-bit colour rows and 1-bit mask rows, each padded to 4
        // bytes.
        const std::span<const std::uint8_t> data = Get(kTypeIcon, entry.iconId).data;
        EXPECT_EQ(data.size(), entry.bytesInRes);
        ByteReader header(data);
        EXPECT_EQ(header.U32(), 40u);
        header.U32();
        EXPECT_EQ(header.U32(), static_cast<std::uint32_t>(2 * size));
        EXPECT_EQ(header.U16(), 1);  // planes
        const auto image = ReadIconImage(data);
        ASSERT_TRUE(image) << "not a DIB icon";
        EXPECT_FALSE(image->png);
        EXPECT_EQ(image->width, size);
        EXPECT_EQ(image->height, size);
        EXPECT_EQ(image->bitCount, 4);
        const std::size_t maskRow = (static_cast<std::size_t>(size) + 31) / 32 * 4;
        EXPECT_EQ(image->colorTable.size(), 16u * 4);
        EXPECT_EQ(image->colorBits.size(), static_cast<std::size_t>(size * size / 2));
        EXPECT_EQ(image->maskBits.size(), size * maskRow);
        EXPECT_EQ(data.size(), 40 + 16 * 4 + size * size / 2 + size * maskRow);
    }
}

TEST_F(ResourcesTest, ManifestAsksForCommonControls6AndTheCallersRights) {
    const Resource& manifest = Get(kTypeManifest, 1);
    const std::string text(manifest.data.begin(), manifest.data.end());
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
}

}  // namespace
