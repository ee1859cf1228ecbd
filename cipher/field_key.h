// SPDX-License-Identifier: MIT
// The key string of the field cipher: the AES key is its first 16 characters. It is built into
// every copy of the tool, so every cipher text the tool ever wrote deciphers with it.
#pragma once

namespace Molvan::System {

inline constexpr const char* kFieldKey = "7D3F09A2-4C6E-41fa-9E52-A0F47C1B3D86";

}  // namespace Molvan::System
