// The same raw LZMA1 decode as the installer's, done natively with the host's liblzma, for comparison.
#include "benchmarks/median.h"
#include "payload_decode.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: host_decode_benchmark <payload.lzma>\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    std::vector<uint8_t> resource((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<uint8_t> image;
    std::vector<double> times;
    for (int run = 0; run < 25; ++run) {
        auto start = std::chrono::steady_clock::now();
        if (!DecodePayloadResource(resource, &image)) {
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("The same decode natively on the host: %.2f ms (median of 25)\n", Median(times));
    return 0;
}
