// One running window per settings folder: the name under which the running window listens,
// the request a second start hands it, and which command-line argument names a file.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Longest request accepted: a path of the system's maximum length with room to spare.
inline constexpr std::size_t MaxInstanceRequest = 8192;

// "vantel-" and a 64-bit hash of the settings folder's canonical path, in hex: the same
// folder gives the same name in every start, another folder another name.
std::string InstanceName(const std::string& canonicalSettingsDir);

// A second start's request: raise the window and, when path is not empty, open that file.
std::string EncodeInstanceRequest(const std::string& path);
// The path of a well-formed request (empty: only raise); nothing for anything else, a
// request over MaxInstanceRequest included.
std::optional<std::string> DecodeInstanceRequest(const std::string& request);

// The file the command line names: the first argument that is not the language word in
// first place and either names an existing file (exists) or ends in ".ign", so a missing
// tune is reported and a stray word is not. Options (starting with '-') are never files.
std::optional<std::string> FileArgument(const std::vector<std::string>& arguments,
                                        const std::function<bool(const std::string&)>& exists);
