// Files: the folder of the running program, and a file's whole content.
#pragma once
#include <string>

// The folder that holds the running program, and beside it the programs it starts.
std::string BinaryDir();

// The whole content of a file, or empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
