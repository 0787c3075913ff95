// The same raw LZMA1 decode as the installer's, done natively with the host's liblzma, for comparison.
#include "benchmarks/median.h"
#include "payload_decode.h"

#include <chrono>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    std::vector<uint8_t> resource;
    std::vector<uint8_t> image;
    if (argc != 2 || !DecodePayloadFile(argv[1], &resource, &image)) {
        std::fprintf(stderr, "usage: host_decode_benchmark <payload.lzma>, a payload resource as built\n");
        return 2;
    }
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
