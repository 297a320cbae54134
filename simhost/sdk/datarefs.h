// The dataref registry: the simulator's own datarefs and every accessor a plug-in registers.
//
// Handles given to plug-ins are pointers to entries in one fixed pool, so checking a handle is
// a range test rather than a lookup, and a garbage handle is recognised without being
// dereferenced. Names are looked up only by XPLMFindDataRef.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "xplm/host.h"

namespace simhost::detail {

struct DatarefEntry {
    std::string name;
    int types = xplmType_Unknown;  // bit-OR of xplmType_*
    bool writable = false;         // for plug-ins; the host and scenarios write anything
    int owner = 0;                 // 0: the simulator; else the registering plug-in
    bool orphaned = false;         // owner unregistered it or was unloaded
    bool listed = true;            // reachable by name (simulator datarefs can be left out)

    // Simulator storage.
    int i = 0;
    float f = 0;
    double d = 0;
    std::vector<float> vf;
    std::vector<int> vi;
    std::vector<char> bytes;

    // Plug-in accessors.
    XPLMGetDatai_f geti = nullptr;
    XPLMSetDatai_f seti = nullptr;
    XPLMGetDataf_f getf = nullptr;
    XPLMSetDataf_f setf = nullptr;
    XPLMGetDatad_f getd = nullptr;
    XPLMSetDatad_f setd = nullptr;
    XPLMGetDatavi_f getvi = nullptr;
    XPLMSetDatavi_f setvi = nullptr;
    XPLMGetDatavf_f getvf = nullptr;
    XPLMSetDatavf_f setvf = nullptr;
    XPLMGetDatab_f getb = nullptr;
    XPLMSetDatab_f setb = nullptr;
    void* readRefcon = nullptr;
    void* writeRefcon = nullptr;

    bool IsAccessor() const { return owner != 0; }
};

class DatarefRegistry {
  public:
    static constexpr std::size_t kCapacity = 4096;

    DatarefRegistry();

    // Simulator datarefs; `listed` false keeps them out of FindDataRef (scenario omissions).
    DatarefEntry* AddSim(const std::string& name, int type, bool writable, bool listed = true);
    DatarefEntry* Find(const std::string& name) const;  // listed entries only
    DatarefEntry* FindAny(const std::string& name) const;
    DatarefEntry* Check(void* handle) const;  // nullptr when not a live entry of this pool
    DatarefEntry* Register(const std::string& name, int owner);  // new or re-used accessor entry
    std::size_t Size() const { return count_; }
    DatarefEntry& At(std::size_t index) { return pool_[index]; }

  private:
    std::unique_ptr<DatarefEntry[]> pool_;
    std::size_t count_ = 0;
    std::unordered_map<std::string, DatarefEntry*> byName_;
};

// Typed access shared by the SDK functions and the control API. `privileged` skips the
// write protection (scenarios and tests); accessor entries of a disabled or unloaded owner read
// 0 and ignore writes either way. A type the entry lacks counts as a bad access when `count`.
int ReadInt(DatarefEntry* e, bool count = true);
float ReadFloat(DatarefEntry* e, bool count = true);
double ReadDouble(DatarefEntry* e, bool count = true);
int ReadFloats(DatarefEntry* e, float* out, int offset, int max, bool count = true);
int ReadInts(DatarefEntry* e, int* out, int offset, int max, bool count = true);
int ReadBytes(DatarefEntry* e, void* out, int offset, int max, bool count = true);
bool WriteInt(DatarefEntry* e, int v, bool privileged);
bool WriteFloat(DatarefEntry* e, float v, bool privileged);
bool WriteDouble(DatarefEntry* e, double v, bool privileged);
bool WriteFloats(DatarefEntry* e, const float* v, int offset, int n, bool privileged);
bool WriteInts(DatarefEntry* e, const int* v, int offset, int n, bool privileged);
bool WriteBytes(DatarefEntry* e, const void* v, int offset, int n, bool privileged);

// Reads whatever type the entry has as a number (arrays and bytes: element `index`).
double ReadAsNumber(DatarefEntry* e, int index, bool* ok);
// Writes a number into whatever type the entry has (arrays: element `index`).
bool WriteAsNumber(DatarefEntry* e, double v, int index);

}  // namespace simhost::detail
