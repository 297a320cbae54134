// Placeholder bodies so the control API links while the host is being filled in.
#include <cmath>

#include "simhost/simhost.h"

namespace simhost {
namespace {
HostConfig g_config;
std::vector<SpeechRecord> g_speech;
std::vector<MessageRecord> g_messages;
std::vector<TimelineEvent> g_timeline;
}  // namespace

bool Reset(const HostConfig& config, std::string*) {
    g_config = config;
    return true;
}
const HostConfig& Config() {
    return g_config;
}
int LoadPlugin(const std::filesystem::path&, std::string* error) {
    if (error) *error = "not yet";
    return -1;
}
bool StartPlugin(int) {
    return false;
}
bool EnablePlugin(int) {
    return false;
}
void DisablePlugin(int) {}
void StopPlugin(int) {}
void UnloadPlugin(int) {}
bool PluginEnabled(int) {
    return false;
}
std::string PluginName(int) {
    return {};
}
int AttachInProcessPlugin(const std::string&, const std::filesystem::path&) {
    return 1;
}
void RunFrames(int) {}
void RunSeconds(double) {}
double Now() {
    return 0;
}
long long FrameCount() {
    return 0;
}
void SendMessageFromHost(int, int, void*) {}
bool SetDataref(const std::string&, double) {
    return false;
}
bool SetDatarefArray(const std::string&, const std::vector<float>&, int) {
    return false;
}
bool SetDatarefBytes(const std::string&, const std::string&) {
    return false;
}
double GetDataref(const std::string&, int) {
    return std::nan("");
}
std::string GetDatarefBytes(const std::string&) {
    return {};
}
bool DatarefExists(const std::string&) {
    return false;
}
int BadHandleAccesses() {
    return 0;
}
bool ChooseMenuItem(const std::string&) {
    return false;
}
int MenuItemCheck(const std::string&) {
    return -1;
}
int MenuItemEnabled(const std::string&) {
    return -1;
}
std::vector<std::string> MenuItemNames(const std::string&) {
    return {};
}
bool PressKey(int, int) {
    return false;
}
std::vector<WindowInfo> Windows() {
    return {};
}
bool ClickWindow(std::uintptr_t, int, int) {
    return false;
}
bool CameraControlled() {
    return false;
}
XPLMCameraPosition_t CameraPose() {
    return {};
}
void ChangeView() {}
const std::vector<SpeechRecord>& Speech() {
    return g_speech;
}
const std::vector<MessageRecord>& SentMessages() {
    return g_messages;
}
const std::vector<TimelineEvent>& Timeline() {
    return g_timeline;
}
void AddTimelineEvent(const std::string&) {}
int FlightLoopDoubleRegistrations() {
    return 0;
}
int PluginFaults() {
    return 0;
}
}  // namespace simhost
