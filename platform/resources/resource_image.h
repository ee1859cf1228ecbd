// SPDX-License-Identifier: MIT
// ResourceImage: the resources of a program, read from the bytes of a .res file as
// `windres -O res` writes it, and looked up by type, name and language. Also the registry of
// the running program's own image, which the embedding glue of add_win32_executable fills at
// static initialisation.
//
// An image views the bytes it was parsed from; they must outlive it. Malformed bytes make
// Parse fail as a whole, never read outside them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "resources/name_or_ordinal.h"

namespace win32::resources {

// Resource types (RT_*) that the platform reads.
inline constexpr std::uint16_t kTypeBitmap = 2;
inline constexpr std::uint16_t kTypeIcon = 3;
inline constexpr std::uint16_t kTypeDialog = 5;
inline constexpr std::uint16_t kTypeGroupIcon = 14;
inline constexpr std::uint16_t kTypeManifest = 24;

inline constexpr std::uint16_t kLanguageNeutral = 0;

struct Resource {
    NameOrOrdinal type;
    NameOrOrdinal name;
    std::uint16_t language = kLanguageNeutral;
    std::uint16_t memoryFlags = 0;
    std::uint32_t dataVersion = 0;
    std::uint32_t version = 0;
    std::uint32_t characteristics = 0;
    std::span<const std::uint8_t> data;
};

class ResourceImage {
public:
    // nullopt when the bytes are not a well-formed sequence of resource records.
    static std::optional<ResourceImage> Parse(std::span<const std::uint8_t> bytes);

    // In file order, without the empty record that opens a 32-bit .res file.
    const std::vector<Resource>& resources() const { return resources_; }

    // The resource of that type and name in `language`; failing that, the language-neutral
    // one; failing that, the first of any language. nullptr when there is none.
    const Resource* Find(const NameOrOrdinal& type, const NameOrOrdinal& name,
                         std::uint16_t language = kLanguageNeutral) const;

private:
    std::vector<Resource> resources_;
};

// Makes `bytes` the running program's resources (the image an HINSTANCE of the program refers
// to). The bytes must stay alive while they are registered. Returns false, and leaves the
// program without resources, when they do not parse.
bool SetProgramResources(std::span<const std::uint8_t> bytes);

// The running program's resources; nullptr when none are registered.
const ResourceImage* ProgramResources();

}  // namespace win32::resources
