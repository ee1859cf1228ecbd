#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "resources/resource_image.h"
#include "resources_test_data.h"

namespace {

using win32::resources::kLanguageNeutral;
using win32::resources::NameOrOrdinal;
using win32::resources::Resource;
using win32::resources::ResourceImage;

constexpr std::uint16_t kRcData = 10;
constexpr std::uint16_t kEnglishUs = 0x0409;
constexpr std::uint16_t kGerman = 0x0407;
constexpr std::uint16_t kChinesePrc = 0x0804;

std::string DataText(const Resource* resource) {
    if (!resource) return "<none>";
    return std::string(resource->data.begin(), resource->data.end());
}

// A record as windres writes it, for hand-made images.
std::vector<std::uint8_t> Record(std::uint16_t type, std::uint16_t name, std::uint16_t language,
                                 std::vector<std::uint8_t> data) {
    auto dword = [](std::vector<std::uint8_t>& out, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    std::vector<std::uint8_t> out;
    dword(out, static_cast<std::uint32_t>(data.size()));
    dword(out, 32);
    dword(out, 0xFFFFu | std::uint32_t{type} << 16);
    dword(out, 0xFFFFu | std::uint32_t{name} << 16);
    dword(out, 0);                                      // DataVersion
    dword(out, 0x30u | std::uint32_t{language} << 16);  // MemoryFlags, LanguageId
    dword(out, 0);                                      // Version
    dword(out, 0);                                      // Characteristics
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

    const Resource* chinese = image->Find(win32::resources::kTypeDialog, 200, kChinesePrc);
    const Resource* english = image->Find(win32::resources::kTypeDialog, 200, kEnglishUs);
    ASSERT_TRUE(chinese && english);
    EXPECT_EQ(chinese->language, kChinesePrc);
    EXPECT_EQ(english->language, kEnglishUs);
    // Neither is neutral: the first in the file stands in for other languages.
    EXPECT_EQ(image->Find(win32::resources::kTypeDialog, 200, kGerman), english);
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
    EXPECT_TRUE(win32::resources::SetProgramResources(good));
    ASSERT_NE(win32::resources::ProgramResources(), nullptr);
    EXPECT_EQ(DataText(win32::resources::ProgramResources()->Find(kRcData, 7)), "x");

    const std::vector<std::uint8_t> bad = {1, 2, 3};
    EXPECT_FALSE(win32::resources::SetProgramResources(bad));
    EXPECT_EQ(win32::resources::ProgramResources(), nullptr);
}

}  // namespace
