// The one include through which plug-in code reaches the host interface.
//
// By default it uses Tarvosk's own declarations (tarvosk_xplm.h). When the build is pointed
// at the official SDK (-DXPLANE_SDK_DIR=...), CMake defines TARVOSK_USE_XPLANE_SDK and the
// SDK's own headers are used instead; the plug-in sources compile unchanged either way.
#pragma once

#ifdef TARVOSK_USE_XPLANE_SDK
// The SDK wants the platform and API tiers chosen before any of its headers; CMake sets
// LIN/APL/IBM and the XPLM2xx tiers. Deprecated calls (command buttons, 3-D phases) too.
#ifndef XPLM_DEPRECATED
#define XPLM_DEPRECATED 1
#endif
#include "XPLMCamera.h"
#include "XPLMDataAccess.h"
#include "XPLMDefs.h"
#include "XPLMDisplay.h"
#include "XPLMGraphics.h"
#include "XPLMMenus.h"
#include "XPLMPlanes.h"
#include "XPLMPlugin.h"
#include "XPLMProcessing.h"
#include "XPLMScenery.h"
// Instances came with SDK 3.0; the plug-in reaches them through XPLMFindSymbol either way.
#if defined(__has_include)
#if __has_include("XPLMInstance.h")
#include "XPLMInstance.h"
#endif
#endif
#include "XPLMUtilities.h"
#include "XPStandardWidgets.h"
#include "XPUIGraphics.h"
#include "XPWidgetDefs.h"
#include "XPWidgets.h"
#define TARVOSK_PLUGIN_API PLUGIN_API
#else
#include "tarvosk_xplm.h"
#ifdef __cplusplus
#define TARVOSK_PLUGIN_API extern "C" TARVOSK_PLUGIN_EXPORT
#else
#define TARVOSK_PLUGIN_API TARVOSK_PLUGIN_EXPORT
#endif
#endif
