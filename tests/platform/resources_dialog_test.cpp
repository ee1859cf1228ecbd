#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "resources/dialog_template.h"
#include "resources/resource_image.h"
#include "resources_test_data.h"

namespace {

using win32::resources::DialogTemplate;
using win32::resources::kTypeDialog;
using win32::resources::NameOrOrdinal;
using win32::resources::ParseDialogTemplate;
using win32::resources::ResourceImage;

constexpr std::uint16_t kEnglishUs = 0x0409;
constexpr std::uint16_t kChinesePrc = 0x0804;
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
    EXPECT_EQ(ok.windowClass, NameOrOrdinal(win32::resources::kAtomButton));
    EXPECT_EQ(ok.title, NameOrOrdinal(u"OK"));
    EXPECT_EQ(std::vector<int>({ok.x, ok.y, ok.cx, ok.cy}), std::vector<int>({130, 81, 50, 14}));

    const auto& icon = dialog.items[1];
    EXPECT_EQ(icon.id, 0xFFFFu);  // -1 as the classic form's WORD
    EXPECT_EQ(icon.windowClass, NameOrOrdinal(win32::resources::kAtomStatic));
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
    EXPECT_EQ(edit.windowClass, NameOrOrdinal(win32::resources::kAtomEdit));
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

std::vector<std::uint8_t> Words(std::initializer_list<std::uint16_t> words) {
    std::vector<std::uint8_t> out;
    for (std::uint16_t w : words) {
        out.push_back(static_cast<std::uint8_t>(w));
        out.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    return out;
}

TEST(DialogTemplate, HandMadeCornerCases) {
    // Extended header: version, signature, help id, ex style, style (DS_SETFONT), 0 items,
    // geometry, no menu, no class, empty caption, then the "message-box font" size alone.
    const auto messageBoxFont =
        Words({1, 0xFFFF, 0, 0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7FFF});
    const auto dialog = ParseDialogTemplate(ExactCopy(messageBoxFont));
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(dialog->font);
    EXPECT_EQ(dialog->font->pointSize, 0x7FFF);
    EXPECT_TRUE(dialog->font->face.empty());

    // Classic header claiming 65535 items with none present.
    const auto tooManyItems = Words({0, 0, 0, 0, 0xFFFF, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(ParseDialogTemplate(ExactCopy(tooManyItems)));

    // Classic item whose creation data size runs past the end.
    auto hugeData = Words({0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0});
    const auto item = Words({0, 0x5000, 0, 0, 0, 0, 0, 0, 1, 0xFFFF, 0x80, 0, 0xFFFF});
    hugeData.insert(hugeData.end(), item.begin(), item.end());
    EXPECT_FALSE(ParseDialogTemplate(ExactCopy(hugeData)));

    EXPECT_FALSE(ParseDialogTemplate({}));
}

}  // namespace
