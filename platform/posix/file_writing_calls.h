#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_writing.h"
#include "platform/posix/system_calls.h"

// The file writer with the system calls it makes given, so that tests can see its writes,
// flushes and rename, in their order, and stand in a write that takes nothing.
namespace brickstorm::platform {

FileWriteResult writeFileWith(SystemCalls& sys, const std::string& path, std::string_view bytes,
                              FileWriteSteps& steps, const BeforeWritingInPlace& beforeInPlace = {});

// The prefix and length of the temporary files the writer makes beside a file: fixed, whatever
// the file's own name, so that any name the system takes can be written.
inline constexpr std::string_view kTemporaryPrefix = ".brickstorm-";
inline constexpr std::string_view kTemporarySuffix = ".tmp";
inline constexpr std::size_t kTemporaryNameLength = kTemporaryPrefix.size() + 12 + kTemporarySuffix.size();

}  // namespace brickstorm::platform
