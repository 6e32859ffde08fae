// Writing a whole file so that a crash or a full disk half-way leaves the old
// contents in place: the data goes to a temporary file beside the target,
// which then replaces the target in one step.
#pragma once

#include <string>
#include <string_view>

// Raises EFCreateError "Cannot create file "%s". %s" when the data cannot be
// written or the target cannot be replaced; the old file is then unchanged.
void SaveFileReplacing(const std::string& FileName, std::string_view Data);
// The temporary file SaveFileReplacing writes first.
std::string ReplacementFileName(const std::string& FileName);
