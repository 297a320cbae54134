// The plug-in's log file: one process-wide stream, flushed after every message.
//
// The stream lives until the library is unloaded. When the file cannot be created (missing
// folder, no permission) the stream stays in a failed state and every write does nothing;
// the plug-in carries on without a log.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace tarvosk {

// (Re)opens the log on `path`, truncated, so each run starts a new log. False when the file
// could not be created.
bool OpenLog(const std::string& path);

// The stream itself, for callers that write a message in pieces (the properties dump).
// Follow such a message with FlushLog().
std::ostream& LogStream();
void FlushLog();

// Writes one message (it carries its own line end) and flushes it.
void Log(std::string_view text);

}  // namespace tarvosk
