// SPDX-License-Identifier: MIT
#include "resources/resource_image.h"

#include <cstddef>

#include "resources/byte_reader.h"

namespace win32::resources {

namespace {

// DataVersion, MemoryFlags, LanguageId, Version, Characteristics.
constexpr std::size_t kFixedHeaderTail = 16;

std::optional<Resource> ParseHeader(std::span<const std::uint8_t> header) {
    ByteReader reader(header);
    reader.U32();  // DataSize and HeaderSize, already read by the caller
    reader.U32();
    Resource resource;
    resource.type = reader.NameOrOrd();
    resource.name = reader.NameOrOrd();
    reader.AlignTo4();
    if (!reader.ok() || reader.remaining() < kFixedHeaderTail) return std::nullopt;
    resource.dataVersion = reader.U32();
    resource.memoryFlags = reader.U16();
    resource.language = reader.U16();
    resource.version = reader.U32();
    resource.characteristics = reader.U32();
    if (!reader.ok()) return std::nullopt;
    return resource;
}

}  // namespace

std::optional<ResourceImage> ResourceImage::Parse(std::span<const std::uint8_t> bytes) {
    ResourceImage image;
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        ByteReader sizes(bytes.subspan(offset));
        const std::uint32_t dataSize = sizes.U32();
        const std::uint32_t headerSize = sizes.U32();
        if (!sizes.ok() || headerSize < 8 || headerSize > bytes.size() - offset ||
            dataSize > bytes.size() - offset - headerSize)
            return std::nullopt;

        auto resource = ParseHeader(bytes.subspan(offset, headerSize));
        if (!resource) return std::nullopt;
        resource->data = bytes.subspan(offset + headerSize, dataSize);

        // The empty record (type 0) marks a 32-bit .res file; it holds no resource.
        if (!(resource->type.IsOrdinal() && resource->type.ordinal() == 0))
            image.resources_.push_back(std::move(*resource));

        // Records start on DWORD boundaries; the padding after the last one may be missing.
        const std::size_t end = offset + headerSize + dataSize;
        offset = end + ((4 - end % 4) % 4);
    }
    return image;
}

const Resource* ResourceImage::Find(const NameOrOrdinal& type, const NameOrOrdinal& name,
                                    std::uint16_t language) const {
    const Resource* neutral = nullptr;
    const Resource* first = nullptr;
    for (const Resource& resource : resources_) {
        if (!resource.type.Matches(type) || !resource.name.Matches(name)) continue;
        if (resource.language == language) return &resource;
        if (!neutral && resource.language == kLanguageNeutral) neutral = &resource;
        if (!first) first = &resource;
    }
    return neutral ? neutral : first;
}

namespace {

std::optional<ResourceImage>& ProgramImage() {
    static std::optional<ResourceImage> image;
    return image;
}

}  // namespace

bool SetProgramResources(std::span<const std::uint8_t> bytes) {
    ProgramImage() = ResourceImage::Parse(bytes);
    return ProgramImage().has_value();
}

const ResourceImage* ProgramResources() {
    const auto& image = ProgramImage();
    return image ? &*image : nullptr;
}

}  // namespace win32::resources
