// SPDX-License-Identifier: MIT
#include "resource_check.h"

#include <windows.h>

namespace ui {

void CheckResources(Results& results, const std::wstring& program) {
    const HMODULE image = LoadLibraryExW(program.c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!results.Check(image != nullptr, "resources: program loads as an image")) return;
    results.Check(FindResourceExW(image, RT_DIALOG, MAKEINTRESOURCEW(129),
                                  MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)) != nullptr,
                  "resources: dialog 129 in Chinese (PRC)");
    results.Check(FindResourceExW(image, RT_DIALOG, MAKEINTRESOURCEW(100),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)) != nullptr,
                  "resources: dialog 100 in English (US)");

    // An icon group is a 6-byte header (reserved, type, count) and 14-byte entries that start
    // with width and height.
    const HRSRC group = FindResourceW(image, MAKEINTRESOURCEW(128), RT_GROUP_ICON);
    if (results.Check(group != nullptr, "resources: icon group 128")) {
        const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(image, group)));
        const DWORD size = SizeofResource(image, group);
        const int count = bytes != nullptr && size >= 6 ? bytes[4] | bytes[5] << 8 : 0;
        std::string sizes;
        for (int i = 0; i < count && 6 + 14 * (i + 1) <= static_cast<int>(size); ++i) {
            if (i > 0) sizes += ' ';
            sizes += std::to_string(bytes[6 + 14 * i]);
        }
        results.Check(sizes == "32 16" || sizes == "16 32",
                      "resources: icon sizes are 32 and 16, got \"" + sizes + "\"");
    }

    const HRSRC manifest = FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
    if (results.Check(manifest != nullptr, "resources: manifest 1")) {
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(image, manifest)));
        const std::string text = bytes ? std::string(bytes, SizeofResource(image, manifest)) : "";
        results.Check(text.find("Microsoft.Windows.Common-Controls") != std::string::npos &&
                          text.find("version=\"6.0.0.0\"") != std::string::npos,
                      "resources: manifest asks for common controls 6.0.0.0");
        results.Check(text.find("level=\"asInvoker\"") != std::string::npos,
                      "resources: manifest asks for asInvoker");
    }
    FreeLibrary(image);
}

}  // namespace ui
