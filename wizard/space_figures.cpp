#include "wizard/space_figures.h"

#include "wizard/number_format.h"

namespace {

constexpr char RequiredLabel[] = "Space required:  ";
constexpr char AvailableLabel[] = "available: ";
constexpr uint32_t RequiredLabelLength = sizeof(RequiredLabel) - 1;
constexpr uint32_t AvailableLabelLength = sizeof(AvailableLabel) - 1;
constexpr uint32_t AvailableColumn = 6;  // "Space " stays in front of the available label
constexpr uint32_t FigureColumn = RequiredLabelLength;
constexpr uint32_t SpaceTextBytes = 64;
constexpr uint64_t GigabyteThreshold = 1ull << 52;  // 2^32 MiB no longer fits a 32-bit count
constexpr uint64_t TerabyteThreshold = 1ull << 62;

}  // namespace

uint32_t RequiredBytes(const PayloadEntry* directory, uint32_t tickedMask) {
    uint32_t sum = 0;
    for (uint32_t n = 0; n < ComponentCount; ++n) {
        if (tickedMask & (1u << n)) {
            sum += directory[n + 1].Size;
        }
    }
    if (sum != 0) {
        sum += directory[UninstallerEntry].Size;
    }
    return sum;
}

void WriteRequiredText(char* text, uint32_t bytesRequired) {
    ::ZeroMemory(text, SpaceTextBytes);
    ::CopyMemory(text, RequiredLabel, RequiredLabelLength);
    FormatUnsigned(text + FigureColumn, "%u MB", (bytesRequired + 1048575u) >> 20);
}

void WriteAvailableText(char* text, uint64_t freeBytes) {
    ::CopyMemory(text + AvailableColumn, AvailableLabel, AvailableLabelLength);
    char* figure = text + FigureColumn;
    if (freeBytes == UnknownFreeBytes) {
        figure[0] = '?';
        figure[1] = '\0';
    } else if (freeBytes >= TerabyteThreshold) {
        FormatUnsigned(figure, "%u TB", static_cast<uint32_t>(freeBytes >> 40));
    } else if (freeBytes >= GigabyteThreshold) {
        FormatUnsigned(figure, "%u GB", static_cast<uint32_t>(freeBytes >> 30));
    } else {
        FormatUnsigned(figure, "%u MB", static_cast<uint32_t>(freeBytes >> 20));
    }
}

bool InstallFits(uint32_t bytesRequired, uint64_t freeBytes) {
    const uint32_t available = freeBytes < (1ull << 32) ? static_cast<uint32_t>(freeBytes) : 0xFFFFFFFFu;
    return bytesRequired != 0 && bytesRequired < available;
}
