// SPDX-License-Identifier: MIT
// Checks the resources that windres compiled into the program, read back as Windows reads them.
#pragma once

#include <string>

#include "results.h"

namespace ui {

void CheckResources(Results& results, const std::wstring& program);

}  // namespace ui
