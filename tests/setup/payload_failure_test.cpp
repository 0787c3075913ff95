#include "payload_constants.h"
#include "setup/setup_state.h"
#include "tests/setup/test_modules.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct FailureCase {
    const wchar_t* Module;
    uint32_t Result;
    bool Allocates;
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
    char name[32] = {};
    ::WideCharToMultiByte(CP_ACP, 0, failure.Module, -1, name, sizeof(name), nullptr, nullptr);
    *out << name;
}

class LoadPayloadFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(LoadPayloadFailure, GivesItsCode) {
    const FailureCase& failure = GetParam();
    HMODULE module = LoadPayloadModule(failure.Module);
    ASSERT_NE(nullptr, module) << "payload_" << failure.Module << ".dll is missing";
    SetupState setup(module);
    EXPECT_EQ(failure.Result, setup.LoadPayload());
    // A resource of the wrong size is refused before any memory is taken.
    EXPECT_EQ(failure.Allocates, setup.Payload.Data != nullptr);
    ::FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, LoadPayloadFailure,
    ::testing::Values(FailureCase{L"none", 4, false}, FailureCase{L"short", 4, false},
                      FailureCase{L"long", 4, false}, FailureCase{L"stream", 21, true},
                      FailureCase{L"checksum", 21, true}, FailureCase{L"directory", 21, true},
                      FailureCase{L"oversized", 21, true}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return ::testing::PrintToString(info.param); });

TEST(LoadPayloadFailure, MissingResourceLeavesNoResourceData) {
    HMODULE module = LoadPayloadModule(L"none");
    ASSERT_NE(nullptr, module);
    SetupState setup(module);
    setup.ResourceData = reinterpret_cast<const uint8_t*>(1);
    EXPECT_EQ(4u, setup.LoadPayload());
    EXPECT_EQ(nullptr, setup.ResourceData);
    ::FreeLibrary(module);
}

TEST(LoadPayloadFailure, WrongSizeKeepsTheResourceFigures) {
    HMODULE module = LoadPayloadModule(L"long");
    ASSERT_NE(nullptr, module);
    SetupState setup(module);
    EXPECT_EQ(4u, setup.LoadPayload());
    EXPECT_EQ(PayloadResourceSize + 1, setup.ResourceSize);
    EXPECT_NE(nullptr, setup.ResourceData);
    ::FreeLibrary(module);
}

TEST(LoadPayloadFailure, BadDirectoryIsStillFilledInFull) {
    HMODULE module = LoadPayloadModule(L"directory");
    ASSERT_NE(nullptr, module);
    SetupState setup(module);
    EXPECT_EQ(21u, setup.LoadPayload());
    EXPECT_EQ(120u, setup.PayloadDirectory[0].Offset);
    EXPECT_NE(PayloadImageSize, setup.PayloadDirectory[9].Offset + setup.PayloadDirectory[9].Size);
    ::FreeLibrary(module);
}

}  // namespace
