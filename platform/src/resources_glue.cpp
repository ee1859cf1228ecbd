// SPDX-License-Identifier: MIT
// FindResourceW and friends over the resources embedded in the program.
#include "src/resources_glue.h"

#include <algorithm>

namespace win32 {

const resources::ResourceImage* ResourcesOf(HINSTANCE instance, bool nullMeansProgram) {
    const bool isProgram =
        instance == GetModuleHandleW(nullptr) || (instance == nullptr && nullMeansProgram);
    const resources::ResourceImage* image = isProgram ? resources::ProgramResources() : nullptr;
    if (image == nullptr) SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return image;
}

const resources::Resource* FindProgramResource(HINSTANCE instance, bool nullMeansProgram,
                                               const resources::NameOrOrdinal& type,
                                               const resources::NameOrOrdinal& name) {
    const resources::ResourceImage* image = ResourcesOf(instance, nullMeansProgram);
    if (image == nullptr) return nullptr;
    if (const resources::Resource* found = image->Find(type, name)) return found;
    const auto& all = image->resources();
    bool typeExists = std::any_of(
        all.begin(), all.end(), [&](const resources::Resource& r) { return r.type.Matches(type); });
    SetLastError(typeExists ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

namespace {

// An HRSRC is the address of the resource's record; it is checked against the image before use.
const resources::Resource* CheckResource(HMODULE module, HRSRC handle) {
    const resources::ResourceImage* image = ResourcesOf(module, true);
    if (image == nullptr) return nullptr;
    for (const resources::Resource& resource : image->resources()) {
        if (reinterpret_cast<HRSRC>(const_cast<resources::Resource*>(&resource)) == handle) {
            return &resource;
        }
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

}  // namespace

}  // namespace win32

HRSRC WINAPI FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage) {
    const win32::resources::ResourceImage* image = win32::ResourcesOf(hModule, true);
    if (image == nullptr) return nullptr;
    auto type = win32::resources::NameOrOrdinal::FromWin32(lpType);
    auto name = win32::resources::NameOrOrdinal::FromWin32(lpName);
    const win32::resources::Resource* found = image->Find(type, name, wLanguage);
    if (found == nullptr) {
        win32::FindProgramResource(hModule, true, type, name);  // for the last error
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<win32::resources::Resource*>(found));
}

HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
    return FindResourceExW(hModule, lpType, lpName, 0);
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
    const win32::resources::Resource* resource = win32::CheckResource(hModule, hResInfo);
    if (resource == nullptr) return nullptr;
    return const_cast<std::uint8_t*>(resource->data.data());
}

LPVOID WINAPI LockResource(HGLOBAL hResData) { return hResData; }

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    const win32::resources::Resource* resource = win32::CheckResource(hModule, hResInfo);
    return resource != nullptr ? static_cast<DWORD>(resource->data.size()) : 0;
}
