#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "resources/icon_group.h"
#include "resources/resource_image.h"
#include "resources_test_data.h"

namespace {

using win32::resources::ChooseIconEntry;
using win32::resources::IconDirectoryEntry;
using win32::resources::LoadIconFromGroup;
using win32::resources::NameOrOrdinal;
using win32::resources::ReadIconImage;
using win32::resources::ResourceImage;

IconDirectoryEntry Entry(int side, std::uint16_t bits, std::uint16_t id) {
    IconDirectoryEntry entry;
    entry.width = entry.height = side;
    entry.bitCount = bits;
    entry.iconId = id;
    return entry;
}

TEST(IconGroup, ChoosesBySizeThenColourDepth) {
    const std::vector<IconDirectoryEntry> entries = {
        Entry(16, 4, 1),  Entry(32, 4, 2),  Entry(32, 8, 3),
        Entry(32, 32, 4), Entry(48, 32, 5), Entry(256, 32, 6),
    };
    struct Case {
        int cx, cy, display;
        std::uint16_t expected;
    };
    const Case cases[] = {
        {32, 32, 32, 4},    // exact size, deepest image the display can show
        {32, 32, 24, 3},    // deepest not above the display's depth
        {32, 32, 8, 3},     //
        {32, 32, 4, 2},     //
        {32, 32, 1, 2},     // all deeper than the display: the shallowest
        {24, 24, 32, 1},    // the closest size that does not exceed the request
        {47, 47, 32, 4},    //
        {64, 64, 32, 5},    //
        {300, 300, 32, 6},  // 256 is stored as 0 in directories
        {48, 16, 32, 1},    // both sides must fit
        {8, 8, 32, 1},      // all larger: the closest one
        {0, 0, 32, 1},      //
    };
    for (const Case& c : cases) {
        const auto chosen = ChooseIconEntry(entries, c.cx, c.cy, c.display);
        ASSERT_TRUE(chosen);
        EXPECT_EQ(entries[*chosen].iconId, c.expected)
            << c.cx << "x" << c.cy << " at " << c.display << " bpp";
    }
    EXPECT_FALSE(ChooseIconEntry({}, 32, 32, 32));
}

TEST(IconGroup, DepthFromColourCountWhenBitCountIsZero) {
    struct Case {
        std::uint8_t colors;
        std::uint16_t bits;
        int expected;
    };
    for (const Case& c :
         {Case{2, 0, 1}, Case{16, 0, 4}, Case{0, 0, 0}, Case{16, 8, 8}, Case{3, 0, 2}}) {
        IconDirectoryEntry entry;
        entry.colorCount = c.colors;
        entry.bitCount = c.bits;
        EXPECT_EQ(entry.BitsPerPixel(), c.expected) << int(c.colors) << " colours";
    }
}

TEST(IconGroup, LoadsTheChosenImageOfAWindresGroup) {
    const auto image = ResourceImage::Parse(TestResources());
    ASSERT_TRUE(image);
    struct Case {
        int side, display;
        int width, bits;
    };
    for (const NameOrOrdinal& group : {NameOrOrdinal(1), NameOrOrdinal(u"namedicon")}) {
        for (const Case& c : {Case{16, 32, 16, 4}, Case{32, 32, 32, 8}, Case{48, 32, 48, 32},
                              Case{48, 8, 48, 32}, Case{40, 32, 32, 8}}) {
            const auto icon = LoadIconFromGroup(*image, group, c.side, c.side, c.display);
            ASSERT_TRUE(icon) << c.side;
            EXPECT_EQ(icon->image.width, c.width);
            EXPECT_EQ(icon->image.height, c.width);
            EXPECT_EQ(icon->image.bitCount, c.bits);
            EXPECT_FALSE(icon->image.png);
        }
    }
    EXPECT_FALSE(LoadIconFromGroup(*image, 2, 32, 32, 32)) << "no such group";

    // Pixels as the test icon's generator drew them (rows bottom-up): 4 bpp index (x + y) % 16.
    const auto small = LoadIconFromGroup(*image, 1, 16, 16, 32);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->image.colorTable.size(), 16u * 4);
    ASSERT_EQ(small->image.colorBits.size(), 16u * 8);
    EXPECT_EQ(small->image.colorBits[0], 0x01);        // (0,0) and (1,0)
    EXPECT_EQ(small->image.colorBits[8 + 1], 0x34);    // (2,1) and (3,1)
    EXPECT_EQ(small->image.maskBits.size(), 16u * 4);  // 16 rows of 4 bytes
    // 32 bpp: blue = x, green = y.
    const auto big = LoadIconFromGroup(*image, 1, 48, 48, 32);
    ASSERT_TRUE(big);
    const std::size_t pixel = (5 * 48 + 7) * 4;  // (7,5)
    EXPECT_EQ(big->image.colorBits[pixel], 7);
    EXPECT_EQ(big->image.colorBits[pixel + 1], 5);
    EXPECT_TRUE(big->image.colorTable.empty());
}

std::vector<std::uint8_t> Dib(std::int32_t width, std::int32_t height2, std::uint16_t bits,
                              std::uint32_t compression, std::uint32_t colorsUsed,
                              std::size_t payload) {
    std::vector<std::uint8_t> out;
    auto put = [&](std::uint32_t v, int size) {
        for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put(40, 4);
    put(static_cast<std::uint32_t>(width), 4);
    put(static_cast<std::uint32_t>(height2), 4);
    put(1, 2);
    put(bits, 2);
    put(compression, 4);
    put(0, 4);
    put(0, 4);
    put(0, 4);
    put(colorsUsed, 4);
    put(0, 4);
    out.resize(out.size() + payload);
    return out;
}

TEST(IconImage, RejectsMalformedImages) {
    // 32x32 at 4 bpp: 64 bytes of palette, 512 of colour, 128 of mask.
    const std::size_t full = 64 + 512 + 128;
    ASSERT_TRUE(ReadIconImage(ExactCopy(Dib(32, 64, 4, 0, 0, full))));
    ASSERT_TRUE(ReadIconImage(ExactCopy(Dib(32, 64, 4, 0, 2, 8 + 512 + 128))));

    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"mask cut short", Dib(32, 64, 4, 0, 0, full - 1)},
        {"no pixels", Dib(32, 64, 4, 0, 0, 0)},
        {"header cut short", std::vector<std::uint8_t>(39, 0)},
        {"zero width", Dib(0, 64, 4, 0, 0, full)},
        {"negative width", Dib(-32, 64, 4, 0, 0, full)},
        {"top-down height", Dib(32, -64, 4, 0, 0, full)},
        {"huge width", Dib(0x7FFFFFFF, 64, 32, 0, 0, full)},
        {"huge height", Dib(32, 0x7FFFFFFE, 32, 0, 0, full)},
        {"unknown depth", Dib(32, 64, 3, 0, 0, full)},
        {"compressed", Dib(32, 64, 4, 1, 0, full)},
        {"more than 256 colours", Dib(32, 64, 8, 0, 0x10000001, full)},
    };
    for (const Case& c : cases) EXPECT_FALSE(ReadIconImage(ExactCopy(c.bytes))) << c.what;

    auto headerTooLong = Dib(32, 64, 4, 0, 0, full);
    headerTooLong[0] = 0xFF;
    headerTooLong[1] = 0xFF;
    EXPECT_FALSE(ReadIconImage(ExactCopy(headerTooLong))) << "header size past the end";
}

TEST(IconImage, ReadsAPngHeader) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
                                     'I',  'H', 'D', 'R', 0,    0,    1,    0,    0, 0, 0, 64};
    const auto image = ReadIconImage(ExactCopy(png));
    ASSERT_TRUE(image);
    EXPECT_TRUE(image->png);
    EXPECT_EQ(image->width, 256);
    EXPECT_EQ(image->height, 64);
    EXPECT_EQ(image->data.size(), png.size());

    png.pop_back();
    EXPECT_FALSE(ReadIconImage(ExactCopy(png))) << "IHDR cut short";
}

TEST(IconGroup, RejectsMalformedDirectories) {
    // reserved, type, count, then one 14-byte entry.
    std::vector<std::uint8_t> directory = {0, 0, 1, 0, 1,    0, 32, 32, 16, 0,
                                           1, 0, 4, 0, 0xE8, 2, 0,  0,  7,  0};
    const auto entries = win32::resources::ParseIconDirectory(ExactCopy(directory));
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1u);
    EXPECT_EQ((*entries)[0].iconId, 7);
    EXPECT_EQ((*entries)[0].bytesInRes, 0x2E8u);

    for (std::size_t size = 0; size < directory.size(); ++size)
        EXPECT_FALSE(
            win32::resources::ParseIconDirectory(ExactCopy(std::span(directory).first(size))))
            << size;
    auto cursor = directory;
    cursor[2] = 2;  // a cursor directory
    EXPECT_FALSE(win32::resources::ParseIconDirectory(ExactCopy(cursor)));
}

}  // namespace
