// The main of test programs that may skip: a run whose cases all passed or
// were skipped, with at least one skipped, exits with kSkippedExitCode, which
// the ctest entry declares as SKIP_RETURN_CODE, so that ctest reports it as
// skipped instead of passed.
#include <gtest/gtest.h>

namespace {
constexpr int kSkippedExitCode = 77;
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    if (result != 0) return result;
    return ::testing::UnitTest::GetInstance()->skipped_test_count() > 0 ? kSkippedExitCode : 0;
}
