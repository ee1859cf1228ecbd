// SPDX-License-Identifier: MIT
// The resource reader on the suites' windres-compiled test.rc and on malformed input, each read
// from a heap block of exactly its size so that AddressSanitizer reports any read past the end:
// the image and its records, dialog templates, icon groups and images, bitmaps.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "resources/dialog_template.h"
#include "resources/dib.h"
#include "resources/icon_group.h"
#include "resources/resource_image.h"
#include "resources_test_data.h"

namespace {

using namespace win32::resources;

constexpr std::uint16_t kRcData = 10;
constexpr std::uint16_t kEnglishUs = 0x0409;
constexpr std::uint16_t kGerman = 0x0407;
constexpr std::uint16_t kChinesePrc = 0x0804;

std::string DataText(const Resource* resource) {
    if (!resource) return "<none>";
    return std::string(resource->data.begin(), resource->data.end());
}

// Little-endian fields of kSize bytes each, for hand-made input.
template <int kSize>
std::vector<std::uint8_t> Fields(std::initializer_list<std::uint32_t> values) {
    std::vector<std::uint8_t> out;
    for (std::uint32_t v : values) {
        for (int i = 0; i < kSize; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    return out;
}

// A record as windres writes it: sizes, type, name, data version, memory flags and language,
// version, characteristics.
std::vector<std::uint8_t> Record(std::uint16_t type, std::uint16_t name, std::uint16_t language,
                                 std::vector<std::uint8_t> data) {
    auto out = Fields<4>({static_cast<std::uint32_t>(data.size()), 32,
                          0xFFFFu | std::uint32_t{type} << 16, 0xFFFFu | std::uint32_t{name} << 16,
                          0, 0x30u | std::uint32_t{language} << 16, 0, 0});
    out.insert(out.end(), data.begin(), data.end());
    while (out.size() % 4) out.push_back(0);
    return out;
}

void SetDword(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST(ResourceImage, ReadsWhatWindresWrote) {
    const auto image = ResourceImage::Parse(TestResources());
    ASSERT_TRUE(image);
    // 6 icon images, 3 dialogs in 4 languages, 4 RCDATA, 2 icon groups; the empty opening
    // record is not a resource.
    EXPECT_EQ(image->resources().size(), 16u);
    for (const Resource& resource : image->resources())
        EXPECT_FALSE(resource.type.IsOrdinal() && resource.type.ordinal() == 0);

    const Resource* named = image->Find(kRcData, NameOrOrdinal(u"MIXEDCASE"));
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(named->name, NameOrOrdinal(u"MIXEDCASE"));  // stored upper-cased
    EXPECT_EQ(named->language, kEnglishUs);
    EXPECT_EQ(named->memoryFlags, 0x1030);  // moveable, pure, discardable
    EXPECT_EQ(DataText(named), "named");
}

TEST(ResourceImage, FindsByTypeNameAndLanguage) {
    const auto image = ResourceImage::Parse(TestResources());
    ASSERT_TRUE(image);
    struct Case {
        NameOrOrdinal type;
        NameOrOrdinal name;
        std::uint16_t language;
        std::string expected;
    };
    const Case cases[] = {
        {kRcData, 300, kGerman, "german"},                            // exact language
        {kRcData, 300, kChinesePrc, "neutral"},                       // then language-neutral
        {kRcData, 300, kLanguageNeutral, "neutral"},                  //
        {kRcData, 301, kEnglishUs, "only german"},                    // then any
        {kRcData, NameOrOrdinal(u"mixedcase"), kEnglishUs, "named"},  // names ignore case
        {kRcData, NameOrOrdinal(u"MixedCase"), kGerman, "named"},
        {kRcData, 302, kEnglishUs, "<none>"},
        {kRcData, NameOrOrdinal(u"MixedCas"), kEnglishUs, "<none>"},
        {NameOrOrdinal(u"RCDATA"), 300, kEnglishUs, "<none>"},  // a type name is not its ordinal
        {11, 300, kGerman, "<none>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "name " << c.name.ordinal() << " language 0x" << std::hex << c.language);
        EXPECT_EQ(DataText(image->Find(c.type, c.name, c.language)), c.expected);
    }

    const Resource* chinese = image->Find(kTypeDialog, 200, kChinesePrc);
    const Resource* english = image->Find(kTypeDialog, 200, kEnglishUs);
    ASSERT_TRUE(chinese && english);
    EXPECT_EQ(chinese->language, kChinesePrc);
    EXPECT_EQ(english->language, kEnglishUs);
    // Neither is neutral: the first in the file stands in for other languages.
    EXPECT_EQ(image->Find(kTypeDialog, 200, kGerman), english);
}

TEST(NameOrOrdinal, ReadsWin32ResourceNameArguments) {
    auto pointer = [](std::uintptr_t value) { return reinterpret_cast<const char16_t*>(value); };
    EXPECT_EQ(NameOrOrdinal::FromWin32(pointer(129)), NameOrOrdinal(129));
    EXPECT_EQ(NameOrOrdinal::FromWin32(pointer(0xFFFF)), NameOrOrdinal(0xFFFF));
    EXPECT_TRUE(NameOrOrdinal::FromWin32(nullptr).IsNone());
    EXPECT_EQ(NameOrOrdinal::FromWin32(u"#129"), NameOrOrdinal(129));
    EXPECT_EQ(NameOrOrdinal::FromWin32(u"#65535"), NameOrOrdinal(65535));
    // Not a decimal ordinal that fits 16 bits: an ordinary name.
    EXPECT_EQ(NameOrOrdinal::FromWin32(u"#65536"), NameOrOrdinal(u"#65536"));
    EXPECT_EQ(NameOrOrdinal::FromWin32(u"#12a"), NameOrOrdinal(u"#12a"));
    EXPECT_EQ(NameOrOrdinal::FromWin32(u"#"), NameOrOrdinal(u"#"));
    EXPECT_EQ(NameOrOrdinal::FromWin32(u"Dialog"), NameOrOrdinal(u"Dialog"));

    EXPECT_TRUE(NameOrOrdinal(u"abc").Matches(NameOrOrdinal(u"ABC")));
    EXPECT_FALSE(NameOrOrdinal(u"abc").Matches(NameOrOrdinal(u"abcd")));
    EXPECT_FALSE(NameOrOrdinal(u"").Matches(NameOrOrdinal(0)));
    EXPECT_FALSE(NameOrOrdinal(u"1").Matches(NameOrOrdinal(1)));
}

// Every prefix of a real image: either it fails, or it ends on a record boundary and every
// resource it yields lies inside it.
TEST(ResourceImage, TruncatedImagesFailOrEndOnARecord) {
    const auto full = TestResources();
    const std::size_t fullCount = ResourceImage::Parse(full)->resources().size();
    std::size_t wholeRecordPrefixes = 0;
    for (std::size_t size = 0; size < full.size(); ++size) {
        const auto bytes = ExactCopy(full.first(size));
        const auto image = ResourceImage::Parse(bytes);
        if (!image) continue;
        ++wholeRecordPrefixes;
        EXPECT_LT(image->resources().size(), fullCount) << size;
        for (const Resource& resource : image->resources()) {
            EXPECT_GE(resource.data.data(), bytes.data());
            EXPECT_LE(resource.data.data() + resource.data.size(), bytes.data() + bytes.size());
        }
    }
    // At least the empty prefix, the opening record and each record but the last.
    EXPECT_GE(wholeRecordPrefixes, fullCount + 1);
}

TEST(ResourceImage, RejectsCorruptRecords) {
    const auto good = Record(kRcData, 1, kEnglishUs, {'a', 'b', 'c'});
    ASSERT_TRUE(ResourceImage::Parse(ExactCopy(good)));

    struct Case {
        const char* what;
        void (*corrupt)(std::vector<std::uint8_t>&);
    };
    const Case cases[] = {
        {"data size past the end", [](auto& b) { SetDword(b, 0, 5); }},
        {"data size near 4 GiB", [](auto& b) { SetDword(b, 0, 0xFFFFFFFF); }},
        {"header size below its two sizes", [](auto& b) { SetDword(b, 4, 4); }},
        {"header size past the end", [](auto& b) { SetDword(b, 4, 0x1000); }},
        {"header size near 4 GiB", [](auto& b) { SetDword(b, 4, 0xFFFFFFF0); }},
        {"header too short for its fixed fields", [](auto& b) { SetDword(b, 4, 24); }},
        {"type name without terminator",
         [](auto& b) { std::fill(b.begin() + 8, b.begin() + 32, 'A'); }},
        {"bytes after the last record",
         [](auto& b) {
             b.insert(b.end(), {1, 2, 3, 4});
         }},
        {"a partial size field after the last record", [](auto& b) { b.push_back(0); }},
    };
    for (const Case& c : cases) {
        auto bytes = good;
        c.corrupt(bytes);
        EXPECT_FALSE(ResourceImage::Parse(ExactCopy(bytes))) << c.what;
    }
    EXPECT_TRUE(ResourceImage::Parse({})) << "an empty image holds no resources";
}

TEST(ResourceImage, ProgramResourcesAreTheRegisteredImage) {
    const auto good = Record(kRcData, 7, kEnglishUs, {'x'});
    EXPECT_TRUE(SetProgramResources(good));
    ASSERT_NE(ProgramResources(), nullptr);
    EXPECT_EQ(DataText(ProgramResources()->Find(kRcData, 7)), "x");

    const std::vector<std::uint8_t> bad = {1, 2, 3};
    EXPECT_FALSE(SetProgramResources(bad));
    EXPECT_EQ(ProgramResources(), nullptr);
}

constexpr std::uint32_t kChildVisible = 0x50000000;

std::span<const std::uint8_t> TemplateBytes(std::uint16_t id, std::uint16_t language) {
    static const auto image = ResourceImage::Parse(TestResources());
    const auto* resource = image ? image->Find(kTypeDialog, id, language) : nullptr;
    return resource ? resource->data : std::span<const std::uint8_t>{};
}

DialogTemplate Template(std::uint16_t id, std::uint16_t language = kEnglishUs) {
    const auto bytes = ExactCopy(TemplateBytes(id, language));
    auto dialog = ParseDialogTemplate(bytes);
    EXPECT_TRUE(dialog) << "template " << id;
    return dialog.value_or(DialogTemplate{});
}

TEST(DialogTemplate, ReadsTheClassicForm) {
    const DialogTemplate dialog = Template(100);
    EXPECT_FALSE(dialog.extended);
    EXPECT_EQ(dialog.style, 0x80C000C0u);  // WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(std::vector<int>({dialog.x, dialog.y, dialog.cx, dialog.cy}),
              std::vector<int>({10, 20, 187, 102}));
    EXPECT_EQ(dialog.menu, NameOrOrdinal(300));
    EXPECT_EQ(dialog.windowClass, NameOrOrdinal(u"TESTDIALOGCLASS"));  // windres upper-cases
    EXPECT_EQ(dialog.caption, u"About");
    ASSERT_TRUE(dialog.font);
    EXPECT_EQ(dialog.font->pointSize, 8);
    EXPECT_EQ(dialog.font->face, u"MS Sans Serif");
    EXPECT_EQ(dialog.font->weight, 0);   // FW_DONTCARE
    EXPECT_EQ(dialog.font->charset, 1);  // DEFAULT_CHARSET
    EXPECT_FALSE(dialog.font->italic);

    ASSERT_EQ(dialog.items.size(), 3u);
    const auto& ok = dialog.items[0];
    EXPECT_EQ(ok.id, 1u);
    EXPECT_EQ(ok.style, kChildVisible | 0x00010001u);
    EXPECT_EQ(ok.windowClass, NameOrOrdinal(kAtomButton));
    EXPECT_EQ(ok.title, NameOrOrdinal(u"OK"));
    EXPECT_EQ(std::vector<int>({ok.x, ok.y, ok.cx, ok.cy}), std::vector<int>({130, 81, 50, 14}));

    const auto& icon = dialog.items[1];
    EXPECT_EQ(icon.id, 0xFFFFu);  // -1 as the classic form's WORD
    EXPECT_EQ(icon.windowClass, NameOrOrdinal(kAtomStatic));
    EXPECT_EQ(icon.title, NameOrOrdinal(1));  // the icon's ordinal

    const auto& custom = dialog.items[2];
    EXPECT_EQ(custom.windowClass, NameOrOrdinal(u"CUSTOMCONTROL"));
    EXPECT_EQ(std::vector<int>({custom.x, custom.y}), std::vector<int>({-5, -6}));
    EXPECT_TRUE(custom.creationData.empty());
}

TEST(DialogTemplate, ReadsTheExtendedForm) {
    const DialogTemplate dialog = Template(200);
    EXPECT_TRUE(dialog.extended);
    EXPECT_EQ(dialog.helpId, 555u);
    EXPECT_EQ(dialog.style, 0x00C00040u);
    EXPECT_EQ(dialog.exStyle, 0x100u);
    EXPECT_EQ(dialog.menu, NameOrOrdinal(u"TESTMENU"));
    EXPECT_TRUE(dialog.windowClass.IsNone());
    EXPECT_EQ(dialog.caption, u"English");
    ASSERT_TRUE(dialog.font);
    EXPECT_EQ(dialog.font->pointSize, 9);
    EXPECT_EQ(dialog.font->weight, 700);
    EXPECT_TRUE(dialog.font->italic);
    EXPECT_EQ(dialog.font->charset, 0x86);
    EXPECT_EQ(dialog.font->face, u"Segoe UI");

    ASSERT_EQ(dialog.items.size(), 2u);
    const auto& edit = dialog.items[0];
    EXPECT_EQ(edit.id, 70000u);  // a DWORD in this form
    EXPECT_EQ(edit.windowClass, NameOrOrdinal(kAtomEdit));
    EXPECT_EQ(edit.exStyle, 0x200u);
    EXPECT_EQ(edit.helpId, 4242u);
    EXPECT_EQ(edit.title, NameOrOrdinal(u"Edit me"));

    EXPECT_EQ(dialog.items[1].creationData, std::vector<std::uint8_t>({0x01, 0x02, 0x03, 0x04}));
}

TEST(DialogTemplate, ReadsUtf8ScriptTextAsUtf16) {
    const DialogTemplate dialog = Template(200, kChinesePrc);
    EXPECT_EQ(dialog.caption, u"中文 应用");
    ASSERT_TRUE(dialog.font);
    EXPECT_EQ(dialog.font->face, u"新宋体");
    ASSERT_EQ(dialog.items.size(), 1u);
    EXPECT_EQ(dialog.items[0].title, NameOrOrdinal(u"加密"));
    EXPECT_EQ(dialog.items[0].id, 1003u);
}

TEST(DialogTemplate, FontIsPresentOnlyWithSetFont) {
    const DialogTemplate dialog = Template(101);
    EXPECT_TRUE(dialog.extended);
    EXPECT_FALSE(dialog.font);
    EXPECT_TRUE(dialog.items.empty());
}

// Every proper prefix of a template is cut inside some field and must fail.
TEST(DialogTemplate, TruncatedTemplatesFail) {
    for (std::uint16_t id : {100, 101, 200}) {
        const auto full = TemplateBytes(id, kEnglishUs);
        ASSERT_FALSE(full.empty());
        for (std::size_t size = 0; size < full.size(); ++size)
            EXPECT_FALSE(ParseDialogTemplate(ExactCopy(full.first(size))))
                << "template " << id << " cut to " << size << " bytes";
    }
}

TEST(DialogTemplate, HandMadeCornerCases) {
    // Extended header: version, signature, help id, ex style, style (DS_SETFONT), 0 items,
    // geometry, no menu, no class, empty caption, then the "message-box font" size alone.
    const auto messageBoxFont =
        Fields<2>({1, 0xFFFF, 0, 0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7FFF});
    const auto dialog = ParseDialogTemplate(ExactCopy(messageBoxFont));
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(dialog->font);
    EXPECT_EQ(dialog->font->pointSize, 0x7FFF);
    EXPECT_TRUE(dialog->font->face.empty());

    // Classic header claiming 65535 items with none present.
    const auto tooManyItems = Fields<2>({0, 0, 0, 0, 0xFFFF, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(ParseDialogTemplate(ExactCopy(tooManyItems)));

    // Classic item whose creation data size runs past the end.
    auto hugeData = Fields<2>({0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0});
    const auto item = Fields<2>({0, 0x5000, 0, 0, 0, 0, 0, 0, 1, 0xFFFF, 0x80, 0, 0xFFFF});
    hugeData.insert(hugeData.end(), item.begin(), item.end());
    EXPECT_FALSE(ParseDialogTemplate(ExactCopy(hugeData)));

    EXPECT_FALSE(ParseDialogTemplate({}));
}

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

// A BITMAPINFOHEADER (planes 1) followed by payload zero bytes.
std::vector<std::uint8_t> Dib(std::int32_t width, std::int32_t height2, std::uint16_t bits,
                              std::uint32_t compression, std::uint32_t colorsUsed,
                              std::size_t payload) {
    auto out =
        Fields<4>({40, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height2),
                   1u | std::uint32_t{bits} << 16, compression, 0, 0, 0, colorsUsed, 0});
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
    const auto entries = ParseIconDirectory(ExactCopy(directory));
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1u);
    EXPECT_EQ((*entries)[0].iconId, 7);
    EXPECT_EQ((*entries)[0].bytesInRes, 0x2E8u);

    for (std::size_t size = 0; size < directory.size(); ++size)
        EXPECT_FALSE(ParseIconDirectory(ExactCopy(std::span(directory).first(size)))) << size;
    auto cursor = directory;
    cursor[2] = 2;  // a cursor directory
    EXPECT_FALSE(ParseIconDirectory(ExactCopy(cursor)));
}

// A bitmap resource: its header, then its colour table and rows.
std::vector<std::uint8_t> BitmapBytes(std::int32_t width, std::int32_t height, std::uint16_t bits,
                                      std::uint32_t colorsUsed,
                                      std::initializer_list<std::uint8_t> rest) {
    auto out = Dib(width, height, bits, 0, colorsUsed, 0);
    out.insert(out.end(), rest);
    return out;
}

TEST(BitmapImage, ReadsRowsTopDownAndChecksEverySize) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::vector<std::uint32_t> pixels;  // top down; empty: refused
    };
    const Case cases[] = {
        {"24 bpp, rows bottom up, padded to 4 bytes",
         BitmapBytes(1, 2, 24, 0, {1, 2, 3, 0, 4, 5, 6, 0}),
         {0x060504, 0x030201}},
        {"top-down rows",
         BitmapBytes(1, -2, 24, 0, {1, 2, 3, 0, 4, 5, 6, 0}),
         {0x030201, 0x060504}},
        {"32 bpp keeps its fourth byte",
         BitmapBytes(1, 1, 32, 0, {0x11, 0x22, 0x33, 0x44}),
         {0x44332211}},
        {"1 bpp through its colour table",
         BitmapBytes(3, 1, 1, 2, {0, 0, 0, 0, 9, 8, 7, 0, 0xA0, 0, 0, 0}),
         {0x070809, 0, 0x070809}},
        {"index past a short colour table",
         BitmapBytes(1, 1, 1, 1, {9, 8, 7, 0, 0x80, 0, 0, 0}),
         {}},
        {"rows cut short", BitmapBytes(1, 2, 24, 0, {1, 2, 3, 0, 4, 5, 6}), {}},
        {"colour table cut short", BitmapBytes(1, 1, 8, 0, {0, 0, 0, 0}), {}},
        {"no rows", BitmapBytes(1, 0, 24, 0, {}), {}},
        {"most negative height", BitmapBytes(1, INT32_MIN, 24, 0, {1, 2, 3, 0}), {}},
        {"more pixels than allowed", BitmapBytes(0x10000, 0x10000, 1, 0, {}), {}},
        {"huge sides", BitmapBytes(0x7FFFFFFF, 0x7FFFFFFF, 32, 0, {}), {}},
    };
    for (const Case& c : cases) {
        const auto image = ReadBitmapImage(ExactCopy(c.bytes));
        EXPECT_EQ(image ? image->pixels : std::vector<std::uint32_t>{}, c.pixels) << c.what;
    }
}

}  // namespace
