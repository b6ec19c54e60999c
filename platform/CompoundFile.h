// Compound files (the structured-storage container of spreadsheet files): one named stream at the root,
// read or written whole. Paths are absolute, UTF-8.
//
// Writing builds the whole container in memory and replaces the file atomically (a temporary file in the
// same folder, flushed, then renamed over the old one), so a crash or a full disk leaves either the old
// file or the new one, never half of one.
// Thread: any thread; calls share nothing (the container library is initialised once, thread-safely).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class CompoundResult {
    Ok,
    Failed,   // the file is missing, unreadable, not a compound file, or has no such stream
    TooLarge, // the stream is 4 GiB or more
};

// True when `path` is a compound file that can be read.
bool CanOpenCompoundFile(const std::string& path);
// Reads the root stream `name` of the compound file `path` into `out` (cleared first).
CompoundResult ReadCompoundStream(const std::string& path, std::string_view name,
                                  std::vector<std::uint8_t>& out);
// Writes a compound file whose root holds one stream `name` with `bytes`, replacing `path` atomically.
// False when the container cannot be built or the file cannot be written (nothing is left behind then).
bool WriteCompoundStream(const std::string& path, std::string_view name, std::span<const std::uint8_t> bytes);

} // namespace platform
