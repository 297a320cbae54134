#include "sdk/datarefs.h"

#include <algorithm>
#include <cstring>

#include "control/host_state.h"

namespace simhost::detail {

DatarefRegistry::DatarefRegistry() : pool_(new DatarefEntry[kCapacity]) {
    byName_.reserve(512);
}

DatarefEntry* DatarefRegistry::AddSim(const std::string& name, int type, bool writable,
                                      bool listed) {
    if (count_ == kCapacity) return nullptr;
    DatarefEntry* e = &pool_[count_++];
    e->name = name;
    e->types = type;
    e->writable = writable;
    e->listed = listed;
    if (listed) byName_[name] = e;
    return e;
}

DatarefEntry* DatarefRegistry::Find(const std::string& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

DatarefEntry* DatarefRegistry::FindAny(const std::string& name) const {
    if (DatarefEntry* e = Find(name)) return e;
    for (std::size_t k = 0; k < count_; ++k)
        if (pool_[k].name == name) return &pool_[k];
    return nullptr;
}

DatarefEntry* DatarefRegistry::Check(void* handle) const {
    auto p = reinterpret_cast<std::uintptr_t>(handle);
    auto base = reinterpret_cast<std::uintptr_t>(pool_.get());
    if (p < base || p >= base + count_ * sizeof(DatarefEntry)) return nullptr;
    if ((p - base) % sizeof(DatarefEntry) != 0) return nullptr;
    return static_cast<DatarefEntry*>(handle);
}

DatarefEntry* DatarefRegistry::Register(const std::string& name, int owner) {
    DatarefEntry* e = Find(name);
    if (e && !(e->IsAccessor() && e->orphaned)) return nullptr;  // taken
    if (!e) {
        if (count_ == kCapacity) return nullptr;
        e = &pool_[count_++];
        byName_[name] = e;
    }
    *e = DatarefEntry{};
    e->name = name;
    e->owner = owner;
    return e;
}

namespace {

// An accessor entry answers only while its owner is registered and enabled.
bool Live(DatarefEntry* e) {
    return !e->IsAccessor() || (!e->orphaned && PluginIsEnabled(e->owner));
}

bool Bad(bool count) {
    if (count) ++H().badAccesses;
    return false;
}

int CopyOut(const std::vector<float>& src, float* out, int offset, int max) {
    int n = static_cast<int>(src.size());
    if (!out) return n;
    if (offset < 0 || offset >= n || max <= 0) return 0;
    int k = std::min(max, n - offset);
    std::memcpy(out, src.data() + offset, sizeof(float) * k);
    return k;
}

template <class T>
int CopyOutT(const std::vector<T>& src, T* out, int offset, int max) {
    int n = static_cast<int>(src.size());
    if (!out) return n;
    if (offset < 0 || offset >= n || max <= 0) return 0;
    int k = std::min(max, n - offset);
    std::memcpy(out, src.data() + offset, sizeof(T) * k);
    return k;
}

template <class T>
void CopyIn(std::vector<T>& dst, const T* in, int offset, int n) {
    int size = static_cast<int>(dst.size());
    if (!in || offset < 0 || offset >= size || n <= 0) return;
    int k = std::min(n, size - offset);  // runs past the end are cut
    std::memcpy(dst.data() + offset, in, sizeof(T) * k);
}

bool MayWrite(DatarefEntry* e, bool privileged) {
    if (e->writable || privileged) return true;
    ++H().readOnlyWrites;
    return false;
}

}  // namespace

int ReadInt(DatarefEntry* e, bool count) {
    if (!e || !(e->types & xplmType_Int)) return Bad(count);
    if (!Live(e)) return 0;
    if (!e->IsAccessor()) return e->i;
    if (!e->geti) return 0;
    PluginScope scope(e->owner);
    return e->geti(e->readRefcon);
}

float ReadFloat(DatarefEntry* e, bool count) {
    if (!e || !(e->types & xplmType_Float)) return Bad(count);
    if (!Live(e)) return 0;
    if (!e->IsAccessor()) return e->f;
    if (!e->getf) return 0;
    PluginScope scope(e->owner);
    return e->getf(e->readRefcon);
}

double ReadDouble(DatarefEntry* e, bool count) {
    if (!e || !(e->types & xplmType_Double)) return Bad(count);
    if (!Live(e)) return 0;
    if (!e->IsAccessor()) return e->d;
    if (!e->getd) return 0;
    PluginScope scope(e->owner);
    return e->getd(e->readRefcon);
}

int ReadFloats(DatarefEntry* e, float* out, int offset, int max, bool count) {
    if (!e || !(e->types & xplmType_FloatArray)) return Bad(count);
    if (!Live(e)) return 0;
    if (!e->IsAccessor()) return CopyOut(e->vf, out, offset, max);
    if (!e->getvf) return 0;
    PluginScope scope(e->owner);
    return e->getvf(e->readRefcon, out, offset, max);
}

int ReadInts(DatarefEntry* e, int* out, int offset, int max, bool count) {
    if (!e || !(e->types & xplmType_IntArray)) return Bad(count);
    if (!Live(e)) return 0;
    if (!e->IsAccessor()) return CopyOutT(e->vi, out, offset, max);
    if (!e->getvi) return 0;
    PluginScope scope(e->owner);
    return e->getvi(e->readRefcon, out, offset, max);
}

int ReadBytes(DatarefEntry* e, void* out, int offset, int max, bool count) {
    if (!e || !(e->types & xplmType_Data)) return Bad(count);
    if (!Live(e)) return 0;
    if (!e->IsAccessor()) return CopyOutT(e->bytes, static_cast<char*>(out), offset, max);
    if (!e->getb) return 0;
    PluginScope scope(e->owner);
    return e->getb(e->readRefcon, out, offset, max);
}

bool WriteInt(DatarefEntry* e, int v, bool privileged) {
    if (!e || !(e->types & xplmType_Int)) return Bad(!privileged);
    if (!Live(e) || !MayWrite(e, privileged)) return false;
    if (!e->IsAccessor()) {
        e->i = v;
        return true;
    }
    if (!e->seti) return false;
    PluginScope scope(e->owner);
    e->seti(e->writeRefcon, v);
    return true;
}

bool WriteFloat(DatarefEntry* e, float v, bool privileged) {
    if (!e || !(e->types & xplmType_Float)) return Bad(!privileged);
    if (!Live(e) || !MayWrite(e, privileged)) return false;
    if (!e->IsAccessor()) {
        e->f = v;
        // The attitude angles and the quaternion describe one attitude: a written angle
        // rebuilds the quaternion, so the next frame does not undo it.
        AircraftRefs& r = H().refs;
        if (e == r.psi || e == r.theta || e == r.phi) AttitudeWritten(r);
        return true;
    }
    if (!e->setf) return false;
    PluginScope scope(e->owner);
    e->setf(e->writeRefcon, v);
    return true;
}

bool WriteDouble(DatarefEntry* e, double v, bool privileged) {
    if (!e || !(e->types & xplmType_Double)) return Bad(!privileged);
    if (!Live(e) || !MayWrite(e, privileged)) return false;
    if (!e->IsAccessor()) {
        e->d = v;
        return true;
    }
    if (!e->setd) return false;
    PluginScope scope(e->owner);
    e->setd(e->writeRefcon, v);
    return true;
}

bool WriteFloats(DatarefEntry* e, const float* v, int offset, int n, bool privileged) {
    if (!e || !(e->types & xplmType_FloatArray)) return Bad(!privileged);
    if (!Live(e) || !MayWrite(e, privileged)) return false;
    if (!e->IsAccessor()) {
        CopyIn(e->vf, v, offset, n);
        return true;
    }
    if (!e->setvf) return false;
    PluginScope scope(e->owner);
    e->setvf(e->writeRefcon, const_cast<float*>(v), offset, n);
    return true;
}

bool WriteInts(DatarefEntry* e, const int* v, int offset, int n, bool privileged) {
    if (!e || !(e->types & xplmType_IntArray)) return Bad(!privileged);
    if (!Live(e) || !MayWrite(e, privileged)) return false;
    if (!e->IsAccessor()) {
        CopyIn(e->vi, v, offset, n);
        return true;
    }
    if (!e->setvi) return false;
    PluginScope scope(e->owner);
    e->setvi(e->writeRefcon, const_cast<int*>(v), offset, n);
    return true;
}

bool WriteBytes(DatarefEntry* e, const void* v, int offset, int n, bool privileged) {
    if (!e || !(e->types & xplmType_Data)) return Bad(!privileged);
    if (!Live(e) || !MayWrite(e, privileged)) return false;
    if (!e->IsAccessor()) {
        CopyIn(e->bytes, static_cast<const char*>(v), offset, n);
        return true;
    }
    if (!e->setb) return false;
    PluginScope scope(e->owner);
    e->setb(e->writeRefcon, const_cast<void*>(v), offset, n);
    return true;
}

double ReadAsNumber(DatarefEntry* e, int index, bool* ok) {
    *ok = e != nullptr;
    if (!e) return 0;
    if (index == 0 || !(e->types & (xplmType_FloatArray | xplmType_IntArray | xplmType_Data))) {
        if (index == 0) {
            if (e->types & xplmType_Double) return ReadDouble(e, false);
            if (e->types & xplmType_Float) return ReadFloat(e, false);
            if (e->types & xplmType_Int) return ReadInt(e, false);
        } else {
            *ok = false;
            return 0;
        }
    }
    if (e->types & xplmType_FloatArray) {
        float v = 0;
        *ok = ReadFloats(e, &v, index, 1, false) == 1;
        return v;
    }
    if (e->types & xplmType_IntArray) {
        int v = 0;
        *ok = ReadInts(e, &v, index, 1, false) == 1;
        return v;
    }
    if (e->types & xplmType_Data) {
        unsigned char v = 0;
        *ok = ReadBytes(e, &v, index, 1, false) == 1;
        return v;
    }
    *ok = false;
    return 0;
}

bool WriteAsNumber(DatarefEntry* e, double v, int index) {
    if (!e) return false;
    if (index == 0) {
        if (e->types & xplmType_Double) return WriteDouble(e, v, true);
        if (e->types & xplmType_Float) return WriteFloat(e, static_cast<float>(v), true);
        if (e->types & xplmType_Int) return WriteInt(e, static_cast<int>(v), true);
    }
    if (e->types & xplmType_FloatArray) {
        float f = static_cast<float>(v);
        return WriteFloats(e, &f, index, 1, true);
    }
    if (e->types & xplmType_IntArray) {
        int i = static_cast<int>(v);
        return WriteInts(e, &i, index, 1, true);
    }
    if (e->types & xplmType_Data) {
        char c = static_cast<char>(static_cast<int>(v));
        return WriteBytes(e, &c, index, 1, true);
    }
    return false;
}

}  // namespace simhost::detail
