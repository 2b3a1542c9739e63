// Splitting a command line into its arguments.
#pragma once
#include <string>
#include <vector>

// The arguments of a command line, the program's own path first. Blanks and control characters
// separate arguments; a stretch in double quotes may hold them, and the quotes are dropped.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
