#pragma once

// Where the tool's results go. Standard output is written with write(2), so
// that a failure (a full disk, a closed pipe) is seen with its reason; a file
// is replaced whole or not at all.

#include <initializer_list>
#include <string>
#include <string_view>

namespace OrvTool {

// Ignores SIGPIPE and SIGXFSZ: a closed pipe or the file size limit then
// fails the write (EPIPE, EFBIG), which the tool reports, instead of ending
// it half-way through a file.
void IgnoreWriteSignals();

// Appends `text` to standard output. After the first failure nothing more is
// written; StandardOutputError() gives its errno from then on (0 before).
void Print(std::string_view text);
int StandardOutputError();

// Replaces the file at `path` with the concatenated `parts`. The text goes to
// a new file next to the target first, is synced, and is renamed over the
// target only once it is complete, so that a failed write leaves the old file
// as it was and no temporary behind. A new file gets the mode 0666 less the
// umask; an existing one keeps its mode. A symbolic link keeps pointing at the
// replaced file. A target that is not a regular file (a device, a pipe) is
// written in place. On failure returns false and sets `error` to the system's
// reason.
bool ReplaceFile(const std::string& path, std::initializer_list<std::string_view> parts, std::string& error);

}  // namespace OrvTool
