#include "reference_cipher.h"

#include <openssl/evp.h>

#include <algorithm>
#include <stdexcept>

namespace e2e {

std::u16string ReferenceCipherText(const std::string& bytes) {
    static const unsigned char kKey[16] = {'7', 'D', '3', 'F', '0', '9', 'A', '2',
                                           '-', '4', 'C', '6', 'E', '-', '4', '1'};
    unsigned char block[16] = {};
    std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), 16), block);

    unsigned char out[32] = {};
    int outLength = 0;
    EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
    const bool ok = context != nullptr &&
                    EVP_EncryptInit_ex(context, EVP_aes_128_ecb(), nullptr, kKey, nullptr) == 1 &&
                    EVP_CIPHER_CTX_set_padding(context, 0) == 1 &&
                    EVP_EncryptUpdate(context, out, &outLength, block, 16) == 1;
    EVP_CIPHER_CTX_free(context);
    if (!ok || outLength != 16) throw std::runtime_error("OpenSSL AES failed");

    unsigned char base64[32] = {};
    const int length = EVP_EncodeBlock(base64, out, 16);
    return std::u16string(base64, base64 + length);
}

}  // namespace e2e
