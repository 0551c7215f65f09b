// keylit SEED TEXT: prints TEXT scrambled for unscrambleText with the given
// seed, as a C++ string literal. Used once to prepare the program's key.
#include "archive/random.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: keylit SEED TEXT\n");
        return 2;
    }
    char* end = nullptr;
    unsigned long seed = std::strtoul(argv[1], &end, 0);
    if (!*argv[1] || *end || seed > 0xFFFFFFFFul) {
        std::fprintf(stderr, "keylit: SEED must be a 32-bit unsigned number\n");
        return 2;
    }
    RandSeed = static_cast<uint32_t>(seed);
    std::string literal = "\"";
    for (const char* p = argv[2]; *p; ++p) {
        int v = static_cast<unsigned char>(*p) + static_cast<int>(Random(99));
        if (v > 255)
            v -= 255;
        char octal[8];
        std::snprintf(octal, sizeof octal, "\\%03o", v);
        literal += octal; // octal escapes never run into a following character
    }
    literal += "\"";
    std::printf("%s\n", literal.c_str());
    return 0;
}
