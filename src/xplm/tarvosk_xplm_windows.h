/*
 * Tarvosk's own declarations of the X-Plane window calls beyond the legacy window: windows
 * made from a description (XPLMCreateWindowEx), keyboard focus and stacking (SDK 2.x), and the
 * modern windows of SDK 3.x. Included by tarvosk_xplm.h only, after its own declarations and
 * with the same tier sections (see TARVOSK_XPLM_DECLARE there).
 */
#ifndef TARVOSK_XPLM_WINDOWS_H
#define TARVOSK_XPLM_WINDOWS_H

#if TARVOSK_XPLM_DECLARE(210)
/* ==== SDK 2.x (XPLM200, XPLM210) =========================================================== */

int XPLMGetWindowIsVisible(XPLMWindowID window);
void XPLMTakeKeyboardFocus(XPLMWindowID window); /* NULL: keys go to the simulator */
void XPLMBringWindowToFront(XPLMWindowID window);
int XPLMIsWindowInFront(XPLMWindowID window);

/* ---- Windows made from a description (XPLMCreateWindowEx) -------------------------------
 * Every callback but the clicks must be given. Built against an official 2.x release the
 * struct is that release's (through refcon): the host then makes a legacy window of it. The
 * last three fields are the 3.x tier's, which makes a modern window (boxels, decoration,
 * layers, pop-out and VR); their types are XPLMWindowDecoration and XPLMWindowLayer (int). */
typedef int XPLMCursorStatus;
enum { xplm_CursorDefault = 0, xplm_CursorHidden = 1, xplm_CursorArrow = 2, xplm_CursorCustom = 3 };
typedef XPLMCursorStatus (*XPLMHandleCursor_f)(XPLMWindowID window, int x, int y, void* refcon);
typedef int (*XPLMHandleMouseWheel_f)(XPLMWindowID window, int x, int y, int wheel, int clicks,
                                      void* refcon);
typedef struct {
    int structSize; /* sizeof(XPLMCreateWindow_t) as compiled */
    int left, top, right, bottom;
    int visible;
    XPLMDrawWindow_f drawWindowFunc;
    XPLMHandleMouseClick_f handleMouseClickFunc; /* may be NULL */
    XPLMHandleKey_f handleKeyFunc;
    XPLMHandleCursor_f handleCursorFunc;
    XPLMHandleMouseWheel_f handleMouseWheelFunc;
    void* refcon;
    int decorateAsFloatingWindow;                /* XPLMWindowDecoration (3.x) */
    int layer;                                   /* XPLMWindowLayer (3.x) */
    XPLMHandleMouseClick_f handleRightClickFunc; /* 3.x; may be NULL */
} XPLMCreateWindow_t;
XPLMWindowID XPLMCreateWindowEx(XPLMCreateWindow_t* params);

#endif /* TARVOSK_XPLM_DECLARE(210) */

#if TARVOSK_XPLM_DECLARE(303)
/* ==== SDK 3.x (XPLM300..XPLM303, X-Plane 11) =============================================== */

/* ---- Modern windows (XPLMCreateWindowEx with the whole struct) ---------------------------
 * Their geometry is in boxels of the global desktop, whose bounds XPLMGetScreenBoundsGlobal
 * gives. The functions below act on modern windows only. */
typedef int XPLMWindowLayer;
enum {
    xplm_WindowLayerFlightOverlay = 0,
    xplm_WindowLayerFloatingWindows = 1,
    xplm_WindowLayerModal = 2,
    xplm_WindowLayerGrowlNotifications = 3
};
typedef int XPLMWindowDecoration;
enum {
    xplm_WindowDecorationNone = 0,
    xplm_WindowDecorationRoundRectangle = 1,
    xplm_WindowDecorationSelfDecorated = 2,
    xplm_WindowDecorationSelfDecoratedResizable = 3
};
typedef int XPLMWindowPositioningMode;
enum {
    xplm_WindowPositionFree = 0,
    xplm_WindowCenterOnMonitor = 1,
    xplm_WindowFullScreenOnMonitor = 2,
    xplm_WindowFullScreenOnAllMonitors = 3,
    xplm_WindowPopOut = 4,
    xplm_WindowVR = 5
};
void XPLMGetScreenBoundsGlobal(int* outLeft, int* outTop, int* outRight, int* outBottom);
int XPLMWindowIsPoppedOut(XPLMWindowID window);
int XPLMWindowIsInVR(XPLMWindowID window);
/* The client area's limits, without the decoration; every resize by the user keeps to them. */
void XPLMSetWindowResizingLimits(XPLMWindowID window, int minWidth, int minHeight, int maxWidth,
                                 int maxHeight);
/* monitor: -1 for the main one. */
void XPLMSetWindowPositioningMode(XPLMWindowID window, XPLMWindowPositioningMode mode, int monitor);
void XPLMSetWindowTitle(XPLMWindowID window, const char* title);
int XPLMHasKeyboardFocus(XPLMWindowID window); /* NULL: whether the simulator has the keys */

#endif /* TARVOSK_XPLM_DECLARE(303) */

#endif /* TARVOSK_XPLM_WINDOWS_H */
