#pragma once

#include <string>
#include <vector>

// The commands of tamsel-kit. Each takes the arguments after its own name and returns the
// process exit status.
namespace tamsel::kit {

inline constexpr int ExitOk = 0;
inline constexpr int ExitProblem = 1;
inline constexpr int ExitUsage = 2;

using Arguments = std::vector<std::string>;

int RunBuild(const Arguments& arguments);
int RunShow(const Arguments& arguments);
int RunLint(const Arguments& arguments);
int RunCompare(const Arguments& arguments);
int RunKeygen(const Arguments& arguments);
int RunSign(const Arguments& arguments);

// Whether the arguments ask for help.
bool WantsHelp(const Arguments& arguments);
// Writes "tamsel-kit: " + message to standard error.
void ReportError(const std::string& message);

}  // namespace tamsel::kit
