// Writes a seed corpus for fuzz_extract into the folder given: small archives
// with members of every method, open, locked and scrambled, each preceded by
// the settings byte of the fuzz target.
#include "archive/format.h"
#include "archive/writer.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int32_t key = 730572913;
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "<p>The superior man furthers perseverance.</p>\n"[i % 48];
    const std::string samples[] = {"", "a", std::string(40, 'a') + "\x94\x94", text};

    int count = 0;
    for (int method : {methodNON, methodRLE, methodLZH, methodLH5}) {
        for (int lock : {0, 1, 2}) {
            TArchiveWriter writer(MethodIDs[method], key);
            for (size_t i = 0; i < sizeof samples / sizeof *samples; ++i)
                writer.add(i == 1 ? "a" : "m" + std::to_string(i), samples[i], method, lock);
            for (char flags : {'\0', '\1'}) {
                std::ofstream out(folder + "/seed" + std::to_string(count++),
                                  std::ios::binary | std::ios::trunc);
                out << flags << writer.bytes();
            }
        }
    }
    std::printf("%d seeds in %s\n", count, folder.c_str());
    return 0;
}
