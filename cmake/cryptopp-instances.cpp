// SPDX-License-Identifier: MIT
// The few Crypto++ template instances that the AES members need and that the library makes in
// dll.cpp and integer.cpp, two units that the Windows build leaves out because each drags in
// the public-key code (see cryptopp-mingw.cmake).
#include <cryptopp/algparam.h>
#include <cryptopp/misc.h>

namespace CryptoPP {

// Declared extern in algparam.h; the key's parameters are of these types.
template class AlgorithmParametersTemplate<bool>;
template class AlgorithmParametersTemplate<int>;
template class AlgorithmParametersTemplate<ConstByteArrayParameter>;

// Declared in misc.h; only error messages (an invalid key length, say) format numbers with it.
// The base's high bit asks for upper-case digits.
template <>
std::string IntToString<word64>(word64 value, unsigned int base) {
    const char* digits = (base & (1U << 31)) != 0 ? "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                  : "0123456789abcdefghijklmnopqrstuvwxyz";
    base &= ~(1U << 31);
    if (base < 2 || base > 36) base = 10;
    std::string text;
    do {
        text.insert(text.begin(), digits[value % base]);
        value /= base;
    } while (value != 0);
    return text;
}

}  // namespace CryptoPP
