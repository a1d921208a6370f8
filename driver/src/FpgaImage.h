#pragma once

// The FPGA configuration image: 595,769 bytes beginning with a recognisable
// header and ending with a CRC-32 (little-endian) over everything before it.
// The library stores it scrambled and unscrambles it at every initialisation.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qrv {

constexpr int32_t kFpgaImageSize = 595769;
constexpr char kFpgaImageMagic[] = "QUORV-RM FPGA 1.1";

uint32_t crc32(const uint8_t* data, size_t length);

// The plain image, made from a fixed seed (the build generates it once).
std::vector<uint8_t> generateFpgaImage();
// True for an image of the right length, header and CRC.
bool isValidFpgaImage(const uint8_t* image, size_t length);
// Scrambling and unscrambling are the same operation.
void scrambleFpgaImage(uint8_t* data, size_t length);

// The plain image from the copy stored in the library.
std::vector<uint8_t> unpackStoredFpgaImage();

} // namespace qrv
