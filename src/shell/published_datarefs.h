// The twelve datarefs other plug-ins use to watch and drive the pushback and the GPU.
#pragma once

namespace tarvosk {

// Registers the twelve datarefs in their fixed order and keeps their handles.
void RegisterPublishedDatarefs();

// Unregisters every registered one.
void UnregisterPublishedDatarefs();

}  // namespace tarvosk
