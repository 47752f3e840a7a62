// Whole-file reading and writing for the content tools. Writing replaces a file safely: the
// bytes go to a temporary file in the same folder, which is flushed to disk and then renamed
// over the target, so a failed write never destroys the file that was there.
#pragma once

#include <string>
#include <string_view>

namespace cindra::util {

// Writes bytes to path as above. Raises Error "Cannot write <path>: <reason>" on failure,
// leaving no temporary file behind.
void replaceFile(const std::string& path, std::string_view bytes);

// The whole contents of a file. Raises Error "Cannot read <path>: <reason>" on failure.
std::string readFile(const std::string& path);

} // namespace cindra::util
