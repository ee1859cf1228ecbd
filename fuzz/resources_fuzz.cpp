// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes through the resource readers: as a whole .res image (with every dialog
// template, icon group, icon and bitmap in it), and directly as a template, an icon directory,
// an icon image and a bitmap. Besides the sanitizers' checks, every span a reader hands out
// must lie inside the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "resources/dialog_template.h"
#include "resources/dib.h"
#include "resources/icon_group.h"
#include "resources/resource_image.h"

using namespace win32::resources;

namespace {

std::span<const std::uint8_t> input;

void ExpectInside(std::span<const std::uint8_t> part) {
    if (part.empty()) return;
    if (part.data() < input.data() || part.data() + part.size() > input.data() + input.size())
        std::abort();
}

void ExpectInside(const IconImage& image) {
    for (auto part : {image.colorTable, image.colorBits, image.maskBits, image.data})
        ExpectInside(part);
}

bool IsType(const Resource& resource, std::uint16_t type) {
    return resource.type.IsOrdinal() && resource.type.ordinal() == type;
}

void ReadImage(const ResourceImage& image) {
    for (const Resource& resource : image.resources()) {
        ExpectInside(resource.data);
        if (IsType(resource, kTypeDialog)) {
            ParseDialogTemplate(resource.data);
        } else if (IsType(resource, kTypeBitmap)) {
            ReadBitmapImage(resource.data);
        } else if (IsType(resource, kTypeIcon)) {
            if (auto icon = ReadIconImage(resource.data)) ExpectInside(*icon);
        } else if (IsType(resource, kTypeGroupIcon)) {
            for (int side : {16, 32, 48})
                for (int depth : {4, 32})
                    if (auto icon = LoadIconFromGroup(image, resource.name, side, side, depth,
                                                      resource.language))
                        ExpectInside(icon->image);
        }
    }
    image.Find(kTypeDialog, NameOrOrdinal(u"DIALOG"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    input = std::span(data, size);
    if (auto image = ResourceImage::Parse(input)) ReadImage(*image);

    ParseDialogTemplate(input);
    if (auto entries = ParseIconDirectory(input)) {
        ChooseIconEntry(*entries, 32, 32, 32);
        ChooseIconEntry(*entries, 16, 16, 4);
    }
    if (auto icon = ReadIconImage(input)) ExpectInside(*icon);
    ReadBitmapImage(input);
    return 0;
}
