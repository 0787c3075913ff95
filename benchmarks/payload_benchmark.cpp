// Prints how long the installer takes to load its payload and how fast the checksum runs, as medians.
#include "benchmarks/median.h"
#include "payload_constants.h"
#include "setup/payload_checksum.h"
#include "setup/setup_state.h"
#include "tests/support/elapsed.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr int Runs = 25;

}  // namespace

int main() {
    std::vector<double> loads;
    std::vector<double> checksums;
    for (int run = 0; run < Runs; ++run) {
        SetupState setup(::GetModuleHandleW(nullptr));
        LARGE_INTEGER start, loaded, summed;
        ::QueryPerformanceCounter(&start);
        uint32_t result = setup.LoadPayload();
        ::QueryPerformanceCounter(&loaded);
        volatile uint32_t sum = PayloadChecksum(setup.Payload.Data, PayloadImageSize);
        ::QueryPerformanceCounter(&summed);
        if (result != 0 || sum != PayloadImageChecksum) {
            std::printf("LoadPayload failed with %u\n", result);
            return 1;
        }
        loads.push_back(Milliseconds(start, loaded));
        checksums.push_back(PayloadImageSize / Milliseconds(loaded, summed) / 1e3);  // bytes per ms / 1e3 = MB/s
    }
    std::printf("LoadPayload of the built-in payload (Wine): %.2f ms (median of %d)\n", Median(loads), Runs);
    std::printf("PayloadChecksum throughput (Wine): %.0f MB/s (median of %d)\n", Median(checksums), Runs);
    return 0;
}
