// The compiled resources of the program, read byte by byte from the .res file that windres
// makes of app/res/app.rc: what the dialog manager and the icon loader will find.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using NameOrOrdinal = std::variant<std::u16string, std::uint16_t>;

// A bounds-checked little-endian reader; a read past the end fails the test.
class Reader {
public:
    Reader(const Bytes& bytes, std::size_t begin, std::size_t end)
        : m_bytes(bytes), m_pos(begin), m_end(end) {}

    std::uint16_t U16() {
        Need(2);
        const std::uint16_t v =
            static_cast<std::uint16_t>(m_bytes[m_pos] | m_bytes[m_pos + 1] << 8);
        m_pos += 2;
        return v;
    }
    std::uint32_t U32() {
        const std::uint32_t low = U16();
        return low | static_cast<std::uint32_t>(U16()) << 16;
    }
    std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
    std::uint8_t U8() {
        Need(1);
        return m_bytes[m_pos++];
    }
    std::u16string String() {
        std::u16string s;
        for (char16_t c = U16(); c != 0; c = U16()) s += c;
        return s;
    }
    NameOrOrdinal Id() {
        if (Peek16() == 0xFFFF) {
            U16();
            return U16();
        }
        return String();
    }
    void Align4() { m_pos = (m_pos + 3) & ~std::size_t{3}; }
    void Skip(std::size_t n) {
        Need(n);
        m_pos += n;
    }
    std::size_t Pos() const { return m_pos; }

private:
    std::uint16_t Peek16() {
        Need(2);
        return static_cast<std::uint16_t>(m_bytes[m_pos] | m_bytes[m_pos + 1] << 8);
    }
    void Need(std::size_t n) {
        if (m_pos + n > m_end) throw std::out_of_range("resource data ends early");
    }

    const Bytes& m_bytes;
    std::size_t m_pos;
    std::size_t m_end;
};

struct Resource {
    std::uint16_t language;
    Bytes data;
};

// (type ordinal, name ordinal) -> resource, as windres writes a .res file.
std::map<std::pair<std::uint16_t, std::uint16_t>, Resource> ReadRes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::map<std::pair<std::uint16_t, std::uint16_t>, Resource> out;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        Reader header(bytes, pos, bytes.size());
        const std::uint32_t dataSize = header.U32();
        const std::uint32_t headerSize = header.U32();
        const NameOrOrdinal type = header.Id();
        const NameOrOrdinal name = header.Id();
        header.Align4();
        header.U32();  // data version
        header.U16();  // memory flags
        const std::uint16_t language = header.U16();
        const std::size_t begin = pos + headerSize;
        if (begin + dataSize > bytes.size()) throw std::out_of_range("resource past the file");
        if (std::holds_alternative<std::uint16_t>(type) &&
            std::holds_alternative<std::uint16_t>(name) && dataSize > 0) {
            out[{std::get<std::uint16_t>(type), std::get<std::uint16_t>(name)}] = {
                language, Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(begin),
                                bytes.begin() + static_cast<std::ptrdiff_t>(begin + dataSize))};
        }
        pos = (begin + dataSize + 3) & ~std::size_t{3};
    }
    return out;
}

constexpr std::uint16_t kIcon = 3, kDialog = 5, kGroupIcon = 14, kManifest = 24;
constexpr std::uint16_t kButton = 0x80, kEdit = 0x81, kStatic = 0x82;
constexpr std::uint32_t kChild = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr std::uint32_t kTabStop = 0x00010000, kGroup = 0x00020000, kBorder = 0x00800000;
constexpr std::uint32_t kNoId = 0xFFFFFFFF;

struct Control {
    std::uint32_t id;
    std::uint16_t cls;
    NameOrOrdinal text;
    std::uint32_t style;
    std::int16_t x, y, cx, cy;

    bool operator==(const Control&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Control& c) {
    os << "{id " << c.id << ", class " << c.cls << ", text ";
    if (const auto* s = std::get_if<std::u16string>(&c.text)) {
        os << '"' << s->size() << " units\"";
    } else {
        os << "#" << std::get<std::uint16_t>(c.text);
    }
    return os << std::hex << ", style 0x" << c.style << std::dec << ", " << c.x << ',' << c.y << ','
              << c.cx << ',' << c.cy << '}';
}

struct Dialog {
    bool extended = false;
    std::uint32_t style = 0, exStyle = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu, windowClass;
    std::u16string caption, face;
    std::uint16_t pointSize = 0, weight = 0;
    std::uint8_t italic = 0, charset = 0;
    std::vector<Control> controls;
};

Dialog ParseDialog(const Bytes& data) {
    Reader r(data, 0, data.size());
    Dialog d;
    std::uint16_t count = 0;
    d.extended =
        data.size() >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
    if (d.extended) {
        r.Skip(8);  // version, signature, help id
        d.exStyle = r.U32();
        d.style = r.U32();
    } else {
        d.style = r.U32();
        d.exStyle = r.U32();
    }
    count = r.U16();
    d.x = r.I16(), d.y = r.I16(), d.cx = r.I16(), d.cy = r.I16();
    d.menu = r.Id();
    d.windowClass = r.Id();
    d.caption = r.String();
    if (d.style & 0x40) {  // DS_SETFONT
        d.pointSize = r.U16();
        if (d.extended) {
            d.weight = r.U16();
            d.italic = r.U8();
            d.charset = r.U8();
        }
        d.face = r.String();
    }
    for (std::uint16_t i = 0; i < count; ++i) {
        r.Align4();
        Control c{};
        if (d.extended) {
            EXPECT_EQ(r.U32(), 0u) << "help id of control " << i;
            EXPECT_EQ(r.U32(), 0u) << "extended style of control " << i;
            c.style = r.U32();
        } else {
            c.style = r.U32();
            EXPECT_EQ(r.U32(), 0u) << "extended style of control " << i;
        }
        c.x = r.I16(), c.y = r.I16(), c.cx = r.I16(), c.cy = r.I16();
        c.id = d.extended ? r.U32() : r.U16();
        if (!d.extended && c.id == 0xFFFF) c.id = kNoId;
        const NameOrOrdinal cls = r.Id();
        EXPECT_TRUE(std::holds_alternative<std::uint16_t>(cls)) << "class of control " << i;
        if (const auto* atom = std::get_if<std::uint16_t>(&cls)) c.cls = *atom;
        c.text = r.Id();
        r.Skip(r.U16());  // creation data
        d.controls.push_back(c);
    }
    EXPECT_LE(data.size() - r.Pos(), 3u) << "bytes after the last control";
    return d;
}

class ResourcesTest : public testing::Test {
protected:
    static void SetUpTestSuite() { s_resources = ReadRes(CREDCIPHER_RES_FILE); }

    static const Resource& Get(std::uint16_t type, std::uint16_t name) {
        const auto it = s_resources.find({type, name});
        if (it == s_resources.end()) throw std::runtime_error("resource missing");
        return it->second;
    }

    static inline std::map<std::pair<std::uint16_t, std::uint16_t>, Resource> s_resources;
};

TEST_F(ResourcesTest, MainDialogTemplate) {
    const Resource& res = Get(kDialog, 129);
    EXPECT_EQ(res.language, 0x0804);  // Chinese (PRC)
    const Dialog d = ParseDialog(res.data);
    EXPECT_TRUE(d.extended);
    EXPECT_EQ(d.style, 0x00CA0040u);  // caption, system menu, minimise box, DS_SETFONT
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(std::vector<int>({d.x, d.y, d.cx, d.cy}), std::vector<int>({0, 0, 326, 249}));
    EXPECT_EQ(d.menu, NameOrOrdinal(u""));
    EXPECT_EQ(d.windowClass, NameOrOrdinal(u""));
    EXPECT_EQ(d.caption, u"App");
    EXPECT_EQ(d.pointSize, 9);
    EXPECT_EQ(d.weight, 400);
    EXPECT_EQ(d.italic, 0);
    EXPECT_EQ(d.charset, 134);  // GB2312
    EXPECT_EQ(d.face, u"新宋体");

    const std::uint32_t button = kChild | kTabStop, edit = kChild | kBorder | kTabStop | 0x80;
    const std::vector<Control> expected = {
        {1, kButton, u"OK", button | 0x1, 207, 228, 50, 14},
        {2, kButton, u"Cancel", button, 269, 228, 50, 14},
        {kNoId, kStatic, u"帐号：", kChild | kGroup, 11, 49, 37, 8},
        {kNoId, kStatic, u"密码：", kChild | kGroup, 11, 74, 37, 8},
        {1001, kEdit, u"", edit, 53, 45, 238, 14},
        {1002, kEdit, u"", edit, 53, 69, 238, 14},
        {1003, kButton, u"加密", button, 53, 94, 50, 14},
        {kNoId, kStatic, u"帐号：", kChild | kGroup, 11, 147, 37, 8},
        {kNoId, kStatic, u"密码：", kChild | kGroup, 11, 172, 37, 8},
        {1005, kEdit, u"", edit, 53, 143, 238, 14},
        {1006, kEdit, u"", edit, 53, 167, 238, 14},
        {1007, kButton, u"解密", button, 145, 94, 50, 14},
    };
    EXPECT_EQ(d.controls, expected);
}

TEST_F(ResourcesTest, AboutBoxTemplate) {
    const Resource& res = Get(kDialog, 100);
    EXPECT_EQ(res.language, 0x0409);  // English (United States)
    const Dialog d = ParseDialog(res.data);
    EXPECT_FALSE(d.extended);
    EXPECT_EQ(d.style, 0x80C800C0u);  // pop-up, caption, system menu, modal frame, DS_SETFONT
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(std::vector<int>({d.x, d.y, d.cx, d.cy}), std::vector<int>({0, 0, 187, 102}));
    EXPECT_EQ(d.caption, u"About");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.face, u"MS Sans Serif");

    const std::vector<Control> expected = {
        {1, kButton, u"OK", kChild | kTabStop | 0x1, 130, 81, 50, 14},
        {kNoId, kStatic, u"credcipher Version 1.0", kChild | 0x1, 13, 52, 103, 20},
        {kNoId, kStatic, std::uint16_t{128}, kChild | 0x3, 55, 26, 18, 20},
        {kNoId, kButton, u"", kChild | 0x7, 7, 7, 115, 88},
    };
    EXPECT_EQ(d.controls, expected);
}

TEST_F(ResourcesTest, IconGroupHoldsA32And16PixelImageOf16Colours) {
    const Resource& group = Get(kGroupIcon, 128);
    Reader r(group.data, 0, group.data.size());
    EXPECT_EQ(r.U16(), 0);  // reserved
    EXPECT_EQ(r.U16(), 1);  // icons, not cursors
    ASSERT_EQ(r.U16(), 2);
    for (const int size : {32, 16}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(r.U8(), size);
        EXPECT_EQ(r.U8(), size);
        EXPECT_EQ(r.U8(), 16);  // colours
        r.U8();
        EXPECT_EQ(r.U16(), 1);  // planes
        EXPECT_EQ(r.U16(), 4);  // bits per pixel
        const std::uint32_t bytes = r.U32();
        const std::uint16_t id = r.U16();

        // The image itself: a bitmap header of twice the height (colour bits, then the mask),
        // 16 palette entries, 4-bit colour rows and 1-bit mask rows, each padded to 4 bytes.
        const Resource& image = Get(kIcon, id);
        EXPECT_EQ(image.data.size(), bytes);
        Reader header(image.data, 0, image.data.size());
        EXPECT_EQ(header.U32(), 40u);
        EXPECT_EQ(header.U32(), static_cast<std::uint32_t>(size));
        EXPECT_EQ(header.U32(), static_cast<std::uint32_t>(2 * size));
        EXPECT_EQ(header.U16(), 1);
        EXPECT_EQ(header.U16(), 4);
        const std::size_t maskRow = (static_cast<std::size_t>(size) + 31) / 32 * 4;
        EXPECT_EQ(bytes, 40 + 16 * 4 + size * size / 2 + size * maskRow);
    }
}

TEST_F(ResourcesTest, ManifestAsksForCommonControls6AndTheCallersRights) {
    const Resource& manifest = Get(kManifest, 1);
    const std::string text(manifest.data.begin(), manifest.data.end());
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
}

}  // namespace
