// Build tool: writes the scrambled FPGA image as a C++ array for the driver
// library. Usage: GenerateFpgaImage <output.cpp>
#include "FpgaImage.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.cpp>\n", argv[0]);
        return 2;
    }
    std::vector<uint8_t> image = qrv::generateFpgaImage();
    qrv::scrambleFpgaImage(image.data(), image.size());

    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out, "// Generated at build time. Do not edit.\n#include \"FpgaImage.h\"\n\n"
                      "#include <cstring>\n\nnamespace qrv {\nnamespace {\n"
                      "const uint8_t kStoredImage[%zu] = {\n", image.size());
    for (size_t i = 0; i < image.size(); ++i)
        std::fprintf(out, "%u,%s", image[i], (i % 24 == 23) ? "\n" : "");
    std::fprintf(out, "};\n} // namespace\n\n"
                      "std::vector<uint8_t> unpackStoredFpgaImage() {\n"
                      "    std::vector<uint8_t> image(kStoredImage, kStoredImage + sizeof kStoredImage);\n"
                      "    scrambleFpgaImage(image.data(), image.size());\n"
                      "    return image;\n}\n\n} // namespace qrv\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
