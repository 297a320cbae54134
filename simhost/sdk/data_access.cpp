// SDK data access: typed reads and writes through handles, and plug-in accessors.
#include <cstring>

#include "control/host_state.h"

using namespace simhost::detail;

namespace {

// A handle from a plug-in: null, foreign and stale handles are counted and answered with 0.
DatarefEntry* Handle(XPLMDataRef ref) {
    if (!HostReady()) return nullptr;
    return H().data.Check(ref);
}

}  // namespace

XPLMDataRef XPLMFindDataRef(const char* name) {
    if (!HostReady() || !name) return nullptr;
    ++H().lookups[name];
    DatarefEntry* e = H().data.Find(name);
    // An orphaned accessor is still found: its handle stays valid and reads 0 until re-registered.
    return e;
}

int XPLMGetDatai(XPLMDataRef ref) {
    return ReadInt(Handle(ref));
}
float XPLMGetDataf(XPLMDataRef ref) {
    return ReadFloat(Handle(ref));
}
double XPLMGetDatad(XPLMDataRef ref) {
    return ReadDouble(Handle(ref));
}
// The simulator's derived state follows a plug-in's write at once, as after a scenario's.
void XPLMSetDatai(XPLMDataRef ref, int value) {
    DatarefEntry* e = Handle(ref);
    if (WriteInt(e, value, false) && !e->IsAccessor()) ExternalPowerWritten(H().power, H().refs, e);
}
void XPLMSetDataf(XPLMDataRef ref, float value) {
    DatarefEntry* e = Handle(ref);
    if (WriteFloat(e, value, false) && !e->IsAccessor())
        ExternalPowerWritten(H().power, H().refs, e);
}
void XPLMSetDatad(XPLMDataRef ref, double value) {
    WriteDouble(Handle(ref), value, false);
}

int XPLMGetDatavi(XPLMDataRef ref, int* values, int offset, int max) {
    return ReadInts(Handle(ref), values, offset, max);
}
void XPLMSetDatavi(XPLMDataRef ref, int* values, int offset, int count) {
    WriteInts(Handle(ref), values, offset, count, false);
}
int XPLMGetDatavf(XPLMDataRef ref, float* values, int offset, int max) {
    return ReadFloats(Handle(ref), values, offset, max);
}
void XPLMSetDatavf(XPLMDataRef ref, float* values, int offset, int count) {
    WriteFloats(Handle(ref), values, offset, count, false);
}
int XPLMGetDatab(XPLMDataRef ref, void* values, int offset, int maxBytes) {
    return ReadBytes(Handle(ref), values, offset, maxBytes);
}
void XPLMSetDatab(XPLMDataRef ref, void* values, int offset, int length) {
    WriteBytes(Handle(ref), values, offset, length, false);
}

XPLMDataRef XPLMRegisterDataAccessor(
    const char* name, XPLMDataTypeID types, int isWritable, XPLMGetDatai_f readInt,
    XPLMSetDatai_f writeInt, XPLMGetDataf_f readFloat, XPLMSetDataf_f writeFloat,
    XPLMGetDatad_f readDouble, XPLMSetDatad_f writeDouble, XPLMGetDatavi_f readIntArray,
    XPLMSetDatavi_f writeIntArray, XPLMGetDatavf_f readFloatArray, XPLMSetDatavf_f writeFloatArray,
    XPLMGetDatab_f readData, XPLMSetDatab_f writeData, void* readRefcon, void* writeRefcon) {
    if (!HostReady() || !name || !*name) return nullptr;
    int owner = CurrentPlugin();
    if (owner <= 0) {
        Fault(std::string("dataref accessor registered outside any plug-in: ") + name);
        return nullptr;
    }
    if (std::strncmp(name, "sim/", 4) == 0) {
        Fault(std::string("plug-in registered a dataref under the reserved sim/ prefix: ") + name);
        return nullptr;
    }
    DatarefEntry* e = H().data.Register(name, owner);
    if (!e) {
        Fault(std::string("dataref registered twice: ") + name);
        return nullptr;
    }
    e->types = types;
    e->writable = isWritable != 0;
    e->geti = readInt;
    e->seti = writeInt;
    e->getf = readFloat;
    e->setf = writeFloat;
    e->getd = readDouble;
    e->setd = writeDouble;
    e->getvi = readIntArray;
    e->setvi = writeIntArray;
    e->getvf = readFloatArray;
    e->setvf = writeFloatArray;
    e->getb = readData;
    e->setb = writeData;
    e->readRefcon = readRefcon;
    e->writeRefcon = writeRefcon;
    Log("dataref registered by " + PluginLabel(owner) + ": " + name);
    return e;
}

void XPLMUnregisterDataAccessor(XPLMDataRef ref) {
    DatarefEntry* e = Handle(ref);
    if (!e || !e->IsAccessor() || e->orphaned) {
        if (HostReady()) ++H().badAccesses;
        return;
    }
    if (e->owner != CurrentPlugin()) {
        Fault("plug-in " + PluginLabel(CurrentPlugin()) + " unregistered a dataref of " +
              PluginLabel(e->owner) + ": " + e->name);
        return;
    }
    e->orphaned = true;
    Log("dataref unregistered: " + e->name);
}
