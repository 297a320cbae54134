// Files the plug-in rewrites are never left half-written: the new bytes go to a temporary file
// in the same folder, are flushed to the disk, and only then replace the old file in one step.
#pragma once

#include <string>
#include <string_view>

namespace tarvosk {

// Replaces `path` by `content`. False with the first failure's reason in `reason`; the old
// file is then untouched and the temporary file is removed.
bool WriteFileAtomically(const std::string& path, std::string_view content, std::string* reason);

}  // namespace tarvosk
