// Runs the built qvtool as a child process: given arguments and standard input, it answers
// the exit status and everything written to standard output and standard error.
//
//   const auto r = qvtest::runTool({"digest", "md5", "-"}, "abc");
//   EXPECT_EQ(r.out, "900150983cd24fb0d6963f7d28e17f72\n");
//
// The child sees a fixed environment (UTC, an en_US locale, a private QV_HOME) so that
// answers do not depend on the machine. The tool's path comes from CMake (QVTOOL_PATH).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qvtest {

struct ToolRun {
    int status = -1;  // the exit status; -1 when the tool did not exit normally
    std::string out;
    std::string err;
};

// `environment` holds "NAME=VALUE" entries that replace or add to the fixed environment.
ToolRun runTool(const std::vector<std::string>& arguments, const std::string& input = {},
                const std::string& workingFolder = {}, const std::vector<std::string>& environment = {});

// The tool's path, as built.
std::string toolPath();

}  // namespace qvtest

namespace qvtest {

// Status 0 and exactly `out` on standard output, nothing on standard error.
inline ::testing::AssertionResult answers(const std::vector<std::string>& arguments, const std::string& out,
                                          const std::string& input = {},
                                          const std::vector<std::string>& environment = {}) {
    const auto r = runTool(arguments, input, {}, environment);
    if (r.status == 0 && r.out == out && r.err.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "status " << r.status << ", out \"" << r.out << "\", err \"" << r.err << "\"";
}

// `status` (2 unless given), nothing on standard output and one line on standard error
// that holds `message`.
inline ::testing::AssertionResult refuses(const std::vector<std::string>& arguments, const std::string& message,
                                          const std::string& input = {}, int status = 2,
                                          const std::vector<std::string>& environment = {}) {
    const auto r = runTool(arguments, input, {}, environment);
    const bool oneLine = !r.err.empty() && r.err.find('\n') == r.err.size() - 1 && r.err.starts_with("qvtool: ");
    if (r.status == status && r.out.empty() && oneLine && r.err.find(message) != std::string::npos) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "status " << r.status << ", out \"" << r.out << "\", err \"" << r.err << "\"";
}

}  // namespace qvtest
