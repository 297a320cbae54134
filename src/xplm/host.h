// The one include through which plug-in code and the simulated host reach the host interface.
//
// By default it uses Tarvosk's own declarations (tarvosk_xplm.h). When the build is pointed
// at the official SDK (-DXPLANE_SDK_DIR=...), CMake defines TARVOSK_USE_XPLANE_SDK and every
// official header of that release is included instead; tarvosk_xplm.h then adds only the
// sections newer than the release (see TARVOSK_XPLM_DECLARE there). The plug-in sources and
// the simulated host compile unchanged either way, and the host's definitions are checked
// against the official declarations (-Werror=missing-declarations on simhost).
#pragma once

#ifdef TARVOSK_USE_XPLANE_SDK
// The SDK wants the platform and API tiers chosen before any of its headers; CMake sets
// LIN/APL/IBM and the XPLM2xx..4xx tiers. Deprecated calls (command buttons, 3-D phases) too.
#ifndef XPLM_DEPRECATED
#define XPLM_DEPRECATED 1
#endif
#include "XPLMCamera.h"
#include "XPLMDataAccess.h"
#include "XPLMDefs.h"
#include "XPLMDisplay.h"
#include "XPLMGraphics.h"
#include "XPLMMenus.h"
#include "XPLMNavigation.h"
#include "XPLMPlanes.h"
#include "XPLMPlugin.h"
#include "XPLMProcessing.h"
#include "XPLMScenery.h"
#include "XPLMUtilities.h"
#include "XPStandardWidgets.h"
#include "XPUIGraphics.h"
#include "XPWidgetDefs.h"
#include "XPWidgetUtils.h"
#include "XPWidgets.h"
// The release's tier, told by the headers it ships: 3.x brought instances and maps, 4.x
// sound and weather.
#if __has_include("XPLMSound.h")
#include "XPLMInstance.h"
#include "XPLMMap.h"
#include "XPLMSound.h"
#include "XPLMWeather.h"
#define TARVOSK_XPLM_SDK_TIER 420
#elif __has_include("XPLMInstance.h")
#include "XPLMInstance.h"
#include "XPLMMap.h"
#define TARVOSK_XPLM_SDK_TIER 303
#else
#define TARVOSK_XPLM_SDK_TIER 210
#endif
#include "tarvosk_xplm.h"
#define TARVOSK_PLUGIN_API PLUGIN_API
#else
#include "tarvosk_xplm.h"
#ifdef __cplusplus
#define TARVOSK_PLUGIN_API extern "C" TARVOSK_PLUGIN_EXPORT
#else
#define TARVOSK_PLUGIN_API TARVOSK_PLUGIN_EXPORT
#endif
#endif

#ifdef __cplusplus
#include <tuple>

namespace tarvosk::xplm {

template <typename Function, int N>
struct ArgumentOf;
template <typename R, typename... Args, int N>
struct ArgumentOf<R(Args...), N> {
    using type = std::tuple_element_t<N, std::tuple<Args...>>;
};

}  // namespace tarvosk::xplm

// The type of argument N (from 0) of a host function as the headers in use declare it. SDK
// releases differ in a few consts (XPLMDrawString's text is char* in 2.1.x, const char* in
// 4.x); code implementing such a function names the argument's type with this, so it matches
// whichever release it is compiled against:
//   void XPLMDrawString(float* rgb, int x, int y, TARVOSK_XPLM_ARG(XPLMDrawString, 3) text, ...)
#define TARVOSK_XPLM_ARG(function, n) \
    typename ::tarvosk::xplm::ArgumentOf<decltype(function), n>::type
#endif
