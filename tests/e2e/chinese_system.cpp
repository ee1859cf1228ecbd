// The sessions run on a Chinese (PRC) system, the tool's home, whose ANSI code page is 936. The
// program fixes its code page at first use, so the locale is set before any test runs.
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class ChineseSystem : public testing::Environment {
public:
    void SetUp() override { setenv("LC_ALL", "zh_CN.UTF-8", 1); }
};

[[maybe_unused]] testing::Environment* const kChineseSystem =
    testing::AddGlobalTestEnvironment(new ChineseSystem);

}  // namespace
