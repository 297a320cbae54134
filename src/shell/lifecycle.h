// The start, enable, disable and stop sequences and the message dispatch, called by the
// exported entry points (plugin_entry.cpp), which keep exceptions away from the host.
#pragma once

#include <memory>
#include <string>

#include "config/properties.h"
#include "xplm/host.h"

namespace tarvosk {

int StartPlugin(char* outName, char* outSignature, char* outDescription);
int EnablePlugin();
void DisablePlugin();
void StopPlugin();
void ReceiveMessage(XPLMPluginID from, int message, void* param);

// What the sequences share between them.
struct ShellSession {
    std::string prefsFilePath;                  // full path of "Quorren.Tarvosk.prf"
    std::unique_ptr<QN_Properties> properties;  // from start to stop
    XPLMHotKeyID hotKey = nullptr;              // from enable to disable
};

extern ShellSession gSession;

// Whether the properties file can be opened for reading; the file is not read.
bool PropertiesFileExists();

}  // namespace tarvosk
