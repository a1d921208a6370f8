#include "FpgaImage.h"

#include <array>
#include <cstring>

namespace qrv {

namespace {

constexpr uint32_t kPayloadSeed = 0x51A7C0DEu;
constexpr uint32_t kScrambleSeed = 0x0B5C0DE5u;
constexpr size_t kHeaderSize = 32;

uint32_t xorshift(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

const std::array<uint32_t, 256>& crcTable() {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

void putLE32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t getLE32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

} // namespace

uint32_t crc32(const uint8_t* data, size_t length) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i)
        c = crcTable()[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// Header: the magic text padded with zeros to 24 bytes, the image size and
// the payload length (little-endian); then the payload; then the CRC.
std::vector<uint8_t> generateFpgaImage() {
    std::vector<uint8_t> image(kFpgaImageSize, 0);
    std::memcpy(image.data(), kFpgaImageMagic, sizeof kFpgaImageMagic);
    putLE32(&image[24], kFpgaImageSize);
    putLE32(&image[28], kFpgaImageSize - kHeaderSize - 4);
    uint32_t state = kPayloadSeed;
    for (size_t i = kHeaderSize; i < image.size() - 4; ++i)
        image[i] = static_cast<uint8_t>(xorshift(state) >> 24);
    putLE32(&image[image.size() - 4], crc32(image.data(), image.size() - 4));
    return image;
}

bool isValidFpgaImage(const uint8_t* image, size_t length) {
    return image && length == kFpgaImageSize &&
           std::memcmp(image, kFpgaImageMagic, sizeof kFpgaImageMagic) == 0 &&
           getLE32(image + length - 4) == crc32(image, length - 4);
}

void scrambleFpgaImage(uint8_t* data, size_t length) {
    uint32_t state = kScrambleSeed;
    for (size_t i = 0; i < length; ++i)
        data[i] ^= static_cast<uint8_t>(xorshift(state) >> 11) ^ static_cast<uint8_t>(i * 131);
}

} // namespace qrv
