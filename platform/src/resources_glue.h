// SPDX-License-Identifier: MIT
// The program's resources as Win32 calls reach them: by module handle (the program image, or
// NULL for it where Windows allows that).
#pragma once

#include <windows.h>

#include "resources/resource_image.h"

namespace win32 {

// The resources of the module `instance`; nullptr with ERROR_RESOURCE_DATA_NOT_FOUND when the
// program has none or `instance` is not the program.
const resources::ResourceImage* ResourcesOf(HINSTANCE instance, bool nullMeansProgram);

// Finds a resource, setting ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND when
// there is none.
const resources::Resource* FindProgramResource(HINSTANCE instance, bool nullMeansProgram,
                                               const resources::NameOrOrdinal& type,
                                               const resources::NameOrOrdinal& name);

}  // namespace win32
