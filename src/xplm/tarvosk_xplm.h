/*
 * Tarvosk's own declarations of the X-Plane plug-in interface (XPLM and XPWidgets).
 *
 * Only the functions, types and constants that Tarvosk uses are declared here, with the
 * host's exact names, types and C calling convention, so a binary built against this file
 * binds to the same symbols as one built against the official headers. The simulated host
 * (simhost/) implements these same functions.
 *
 * Do not include this file directly from plug-in code: include "xplm/host.h", which picks
 * this file or the official headers (-DXPLANE_SDK_DIR=...).
 *
 * The declarations are grouped by the SDK tier that introduced them. Built against an
 * official release, host.h includes its headers first and then this file with
 * TARVOSK_XPLM_SDK_TIER set to the release's tier: only the sections newer than the release
 * are declared here, so a function the release lacks is still declared (by us) and every
 * other one comes from the official headers. Put each new declaration in the section of the
 * tier whose official header declares it (XPLM200/XPLM210: 2.x, X-Plane 9 and 10;
 * XPLM300..XPLM303: 3.x, X-Plane 11; XPLM400..XPLM420: 4.x, X-Plane 12).
 */
#ifndef TARVOSK_XPLM_H
#define TARVOSK_XPLM_H

#include <stdint.h>

#ifndef TARVOSK_XPLM_SDK_TIER
#define TARVOSK_XPLM_SDK_TIER 0 /* no official headers: declare everything */
#endif
/* Whether the section of `tier` is ours to declare. */
#define TARVOSK_XPLM_DECLARE(tier) (TARVOSK_XPLM_SDK_TIER < (tier))
/* Whether XPLMCreateWindow_t has the 3.x fields (ours has; an official 2.x release's not). */
#define TARVOSK_XPLM_WINDOW_STRUCT_3X (TARVOSK_XPLM_SDK_TIER == 0 || TARVOSK_XPLM_SDK_TIER >= 303)

#ifdef __cplusplus
extern "C" {
#endif

#if TARVOSK_XPLM_DECLARE(210)
/* ==== SDK 2.x (XPLM200, XPLM210) =========================================================== */

/* ---- Opaque handles (all pointer-sized) -------------------------------------------------- */
typedef void* XPLMDataRef;
typedef void* XPLMWindowID;
typedef void* XPLMMenuID;
typedef void* XPLMHotKeyID;
typedef void* XPLMCommandRef;
typedef void* XPLMFlightLoopID;
typedef void* XPWidgetID;

/* ---- Enum-like types (all int) ----------------------------------------------------------- */
typedef int XPLMPluginID;
typedef int XPLMDataTypeID;
typedef int XPLMDrawingPhase;
typedef int XPLMKeyFlags;
typedef int XPLMMouseStatus;
typedef int XPLMMenuCheck;
typedef int XPLMFontID;
typedef int XPLMCameraControlDuration;
typedef int XPLMCommandButtonID;
typedef int XPLMHostApplicationID;
typedef int XPWidgetClass;
typedef int XPWidgetPropertyID;
typedef int XPWidgetMessage;
typedef int XPDispatchMode;
typedef int XPWindowStyle;

/* ---- Plug-in ids and messages ------------------------------------------------------------ */
#define XPLM_NO_PLUGIN_ID (-1)
#define XPLM_PLUGIN_XPLANE (0)
#define XPLM_MSG_PLANE_CRASHED 101
#define XPLM_MSG_PLANE_LOADED 102
#define XPLM_MSG_AIRPORT_LOADED 103
#define XPLM_MSG_SCENERY_LOADED 104

enum { xplm_Host_Unknown = 0, xplm_Host_XPlane = 1 };

/* ---- Data access ------------------------------------------------------------------------- */
enum {
    xplmType_Unknown = 0,
    xplmType_Int = 1,
    xplmType_Float = 2,
    xplmType_Double = 4,
    xplmType_FloatArray = 8,
    xplmType_IntArray = 16,
    xplmType_Data = 32
};

typedef int (*XPLMGetDatai_f)(void* refcon);
typedef void (*XPLMSetDatai_f)(void* refcon, int value);
typedef float (*XPLMGetDataf_f)(void* refcon);
typedef void (*XPLMSetDataf_f)(void* refcon, float value);
typedef double (*XPLMGetDatad_f)(void* refcon);
typedef void (*XPLMSetDatad_f)(void* refcon, double value);
typedef int (*XPLMGetDatavi_f)(void* refcon, int* values, int offset, int max);
typedef void (*XPLMSetDatavi_f)(void* refcon, int* values, int offset, int count);
typedef int (*XPLMGetDatavf_f)(void* refcon, float* values, int offset, int max);
typedef void (*XPLMSetDatavf_f)(void* refcon, float* values, int offset, int count);
typedef int (*XPLMGetDatab_f)(void* refcon, void* values, int offset, int maxLength);
typedef void (*XPLMSetDatab_f)(void* refcon, void* values, int offset, int length);

XPLMDataRef XPLMFindDataRef(const char* name);
int XPLMGetDatai(XPLMDataRef ref);
void XPLMSetDatai(XPLMDataRef ref, int value);
float XPLMGetDataf(XPLMDataRef ref);
void XPLMSetDataf(XPLMDataRef ref, float value);
double XPLMGetDatad(XPLMDataRef ref);
void XPLMSetDatad(XPLMDataRef ref, double value);
int XPLMGetDatavi(XPLMDataRef ref, int* values, int offset, int max);
void XPLMSetDatavi(XPLMDataRef ref, int* values, int offset, int count);
int XPLMGetDatavf(XPLMDataRef ref, float* values, int offset, int max);
void XPLMSetDatavf(XPLMDataRef ref, float* values, int offset, int count);
int XPLMGetDatab(XPLMDataRef ref, void* values, int offset, int maxBytes);
void XPLMSetDatab(XPLMDataRef ref, void* values, int offset, int length);

XPLMDataRef XPLMRegisterDataAccessor(const char* name, XPLMDataTypeID types, int isWritable,
                                     XPLMGetDatai_f readInt, XPLMSetDatai_f writeInt,
                                     XPLMGetDataf_f readFloat, XPLMSetDataf_f writeFloat,
                                     XPLMGetDatad_f readDouble, XPLMSetDatad_f writeDouble,
                                     XPLMGetDatavi_f readIntArray, XPLMSetDatavi_f writeIntArray,
                                     XPLMGetDatavf_f readFloatArray,
                                     XPLMSetDatavf_f writeFloatArray, XPLMGetDatab_f readData,
                                     XPLMSetDatab_f writeData, void* readRefcon, void* writeRefcon);
void XPLMUnregisterDataAccessor(XPLMDataRef ref);

/* ---- Plug-ins, utilities, planes --------------------------------------------------------- */
void XPLMGetVersions(int* xplaneVersion, int* xplmVersion, XPLMHostApplicationID* hostId);
XPLMPluginID XPLMGetMyID(void);
void XPLMGetPluginInfo(XPLMPluginID plugin, char* outName, char* outFilePath, char* outSignature,
                       char* outDescription);
void XPLMSendMessageToPlugin(XPLMPluginID plugin, int message, void* param);
XPLMPluginID XPLMFindPluginBySignature(const char* signature);
void XPLMGetSystemPath(char* outSystemPath);
void XPLMGetPrefsPath(char* outPrefsPath);
const char* XPLMGetDirectorySeparator(void);
void XPLMGetNthAircraftModel(int index, char* outFileName, char* outPath);
void XPLMSpeakString(const char* text);
const char* XPLMGetVirtualKeyDescription(char virtualKey);
void XPLMDebugString(const char* text);

/* Deprecated by the host but still exported; used for the outside view (button 46). */
enum { xplm_joy_v_spo = 46 };
void XPLMCommandButtonPress(XPLMCommandButtonID button);
void XPLMCommandButtonRelease(XPLMCommandButtonID button);

/* ---- Commands (XPLM 2.0 and later) ---------------------------------------------------------
 * A command is found or created by name ("prefix/path"); handlers see its begin, continue
 * (every frame while held) and end phases and return 1 to pass it on, 0 to consume it. */
typedef int XPLMCommandPhase;
enum { xplm_CommandBegin = 0, xplm_CommandContinue = 1, xplm_CommandEnd = 2 };
typedef int (*XPLMCommandCallback_f)(XPLMCommandRef command, XPLMCommandPhase phase, void* refcon);
XPLMCommandRef XPLMCreateCommand(const char* name, const char* description);
XPLMCommandRef XPLMFindCommand(const char* name);
void XPLMRegisterCommandHandler(XPLMCommandRef command, XPLMCommandCallback_f handler, int before,
                                void* refcon);
void XPLMUnregisterCommandHandler(XPLMCommandRef command, XPLMCommandCallback_f handler, int before,
                                  void* refcon);
void XPLMCommandOnce(XPLMCommandRef command);
void XPLMCommandBegin(XPLMCommandRef command);
void XPLMCommandEnd(XPLMCommandRef command);

/* Address of a host function by name; NULL where this host lacks it (XPLM 2.0 and later). */
void* XPLMFindSymbol(const char* name);

/* ---- Scenery objects and instances --------------------------------------------------------
 * Objects load from a path relative to the simulator's folder and are reference-counted: every
 * successful load is balanced by an unload. Instances (XPLM 3.0) are drawn by the host itself,
 * also where the 3-D drawing phases are never called; their pose is set from a flight loop,
 * never from a draw callback. These are looked up at run time with XPLMFindSymbol: the pointer
 * types below are what the plug-in calls through. */
typedef void* XPLMObjectRef;
typedef struct {
    int structSize;             /* sizeof(XPLMDrawInfo_t) */
    float x, y, z;              /* local OpenGL metres */
    float pitch, heading, roll; /* degrees; heading clockwise */
} XPLMDrawInfo_t;
XPLMObjectRef XPLMLoadObject(const char* path);
void XPLMUnloadObject(XPLMObjectRef object);

/* ---- Processing -------------------------------------------------------------------------- */
typedef float (*XPLMFlightLoop_f)(float elapsedSinceLastCall, float elapsedTimeSinceLastFlightLoop,
                                  int counter, void* refcon);
float XPLMGetElapsedTime(void);
void XPLMRegisterFlightLoopCallback(XPLMFlightLoop_f callback, float interval, void* refcon);
void XPLMUnregisterFlightLoopCallback(XPLMFlightLoop_f callback, void* refcon);
void XPLMSetFlightLoopCallbackInterval(XPLMFlightLoop_f callback, float interval, int relativeToNow,
                                       void* refcon);

/* ---- Drawing, windows, keys -------------------------------------------------------------- */
enum {
    xplm_Phase_FirstScene = 0,
    xplm_Phase_Terrain = 5,
    xplm_Phase_Airports = 10,
    xplm_Phase_Vectors = 15,
    xplm_Phase_Objects = 20,
    xplm_Phase_Airplanes = 25,
    xplm_Phase_LastScene = 30,
    xplm_Phase_FirstCockpit = 35,
    xplm_Phase_Panel = 40,
    xplm_Phase_Gauges = 45,
    xplm_Phase_Window = 50,
    xplm_Phase_LastCockpit = 55
};

enum {
    xplm_ShiftFlag = 1,
    xplm_OptionAltFlag = 2,
    xplm_ControlFlag = 4,
    xplm_DownFlag = 8,
    xplm_UpFlag = 16
};

enum { xplm_MouseDown = 1, xplm_MouseDrag = 2, xplm_MouseUp = 3 };

#define XPLM_VK_F12 0x7B

typedef int (*XPLMDrawCallback_f)(XPLMDrawingPhase phase, int isBefore, void* refcon);
typedef void (*XPLMDrawWindow_f)(XPLMWindowID window, void* refcon);
typedef void (*XPLMHandleKey_f)(XPLMWindowID window, char key, XPLMKeyFlags flags, char virtualKey,
                                void* refcon, int losingFocus);
typedef int (*XPLMHandleMouseClick_f)(XPLMWindowID window, int x, int y, XPLMMouseStatus mouse,
                                      void* refcon);
typedef void (*XPLMHotKey_f)(void* refcon);
typedef int (*XPLMKeySniffer_f)(char ch, XPLMKeyFlags flags, char virtualKey, void* refcon);

int XPLMRegisterDrawCallback(XPLMDrawCallback_f callback, XPLMDrawingPhase phase, int wantsBefore,
                             void* refcon);
int XPLMUnregisterDrawCallback(XPLMDrawCallback_f callback, XPLMDrawingPhase phase, int wantsBefore,
                               void* refcon);
XPLMWindowID XPLMCreateWindow(int left, int top, int right, int bottom, int isVisible,
                              XPLMDrawWindow_f drawCallback, XPLMHandleKey_f keyCallback,
                              XPLMHandleMouseClick_f mouseCallback, void* refcon);
void XPLMDestroyWindow(XPLMWindowID window);
void XPLMGetWindowGeometry(XPLMWindowID window, int* outLeft, int* outTop, int* outRight,
                           int* outBottom);
void XPLMSetWindowGeometry(XPLMWindowID window, int left, int top, int right, int bottom);
void XPLMSetWindowIsVisible(XPLMWindowID window, int isVisible);
void XPLMGetScreenSize(int* outWidth, int* outHeight);
XPLMHotKeyID XPLMRegisterHotKey(char virtualKey, XPLMKeyFlags flags, const char* description,
                                XPLMHotKey_f callback, void* refcon);
void XPLMUnregisterHotKey(XPLMHotKeyID hotKey);
int XPLMRegisterKeySniffer(XPLMKeySniffer_f callback, int beforeWindows, void* refcon);
int XPLMUnregisterKeySniffer(XPLMKeySniffer_f callback, int beforeWindows, void* refcon);

/* ---- Menus ------------------------------------------------------------------------------- */
enum { xplm_Menu_NoCheck = 0, xplm_Menu_Unchecked = 1, xplm_Menu_Checked = 2 };
typedef void (*XPLMMenuHandler_f)(void* menuRef, void* itemRef);
XPLMMenuID XPLMFindPluginsMenu(void);
XPLMMenuID XPLMCreateMenu(const char* name, XPLMMenuID parentMenu, int parentItem,
                          XPLMMenuHandler_f handler, void* menuRef);
int XPLMAppendMenuItem(XPLMMenuID menu, const char* itemName, void* itemRef, int forceEnglish);
void XPLMAppendMenuSeparator(XPLMMenuID menu);
void XPLMCheckMenuItem(XPLMMenuID menu, int index, XPLMMenuCheck check);
void XPLMEnableMenuItem(XPLMMenuID menu, int index, int enabled);

/* ---- Graphics ---------------------------------------------------------------------------- */
enum { xplmFont_Basic = 0, xplmFont_Proportional = 18 };
void XPLMDrawString(float* colorRGB, int x, int y, const char* text, int* wordWrapWidth,
                    XPLMFontID fontId);
void XPLMSetGraphicsState(int enableFog, int numberTexUnits, int enableLighting,
                          int enableAlphaTesting, int enableAlphaBlending, int enableDepthTesting,
                          int enableDepthWriting);
void XPLMBindTexture2d(int textureNum, int textureUnit);
void XPLMGenerateTextureNumbers(int* outTextureIds, int count);

/* Latitude and longitude (degrees) and altitude (metres above sea level) to and from local
 * OpenGL metres. */
void XPLMWorldToLocal(double latitude, double longitude, double altitude, double* outX,
                      double* outY, double* outZ);
void XPLMLocalToWorld(double x, double y, double z, double* outLatitude, double* outLongitude,
                      double* outAltitude);

/* ---- Navigation database -------------------------------------------------------------------
 * XPLMFindNavAid searches the navaids whose type is in the mask `type`; with both latitude and
 * longitude given it returns the nearest, else the last found. Fragments match within the
 * name or the identifier. */
typedef int XPLMNavType;
typedef int XPLMNavRef;
enum { xplm_Nav_Unknown = 0, xplm_Nav_Airport = 1, xplm_Nav_NDB = 2, xplm_Nav_VOR = 4 };
#define XPLM_NAV_NOT_FOUND -1
XPLMNavRef XPLMFindNavAid(const char* nameFragment, const char* idFragment, float* latitude,
                          float* longitude, int* frequency, XPLMNavType type);
/* Buffers: the identifier at least 32 bytes, the name 256; outReg is one byte, 0 or 1. */
void XPLMGetNavAidInfo(XPLMNavRef ref, XPLMNavType* outType, float* outLatitude,
                       float* outLongitude, float* outHeight, int* outFrequency, float* outHeading,
                       char* outID, char* outName, char* outReg);

/* ---- Camera ------------------------------------------------------------------------------ */
enum { xplm_ControlCameraUntilViewChanges = 1, xplm_ControlCameraForever = 2 };
typedef struct {
    float x;
    float y;
    float z;
    float pitch;
    float heading;
    float roll;
    float zoom;
} XPLMCameraPosition_t;
typedef int (*XPLMCameraControl_f)(XPLMCameraPosition_t* outCameraPosition, int isLosingControl,
                                   void* refcon);
void XPLMControlCamera(XPLMCameraControlDuration howLong, XPLMCameraControl_f controlFunc,
                       void* refcon);
void XPLMDontControlCamera(void);
void XPLMReadCameraPosition(XPLMCameraPosition_t* outCameraPosition);

/* ---- Widgets ----------------------------------------------------------------------------- */
typedef int (*XPWidgetFunc_t)(XPWidgetMessage message, XPWidgetID widget, intptr_t param1,
                              intptr_t param2);

#define xpWidgetClass_None 0
#define xpWidgetClass_MainWindow 1
#define xpWidgetClass_SubWindow 2
#define xpWidgetClass_Button 3
#define xpWidgetClass_TextField 4
#define xpWidgetClass_ScrollBar 5
#define xpWidgetClass_Caption 6
#define xpWidgetClass_GeneralGraphics 7
#define xpWidgetClass_Progress 8

enum {
    xpProperty_Refcon = 0,
    xpProperty_Dragging = 1,
    xpProperty_DragXOff = 2,
    xpProperty_DragYOff = 3,
    xpProperty_Hilited = 4,
    xpProperty_Object = 5,
    xpProperty_Clip = 6,
    xpProperty_Enabled = 7,
    xpProperty_UserStart = 10000,
    xpProperty_MainWindowType = 1100,
    xpProperty_MainWindowHasCloseBoxes = 1200,
    xpProperty_SubWindowType = 1200,
    xpProperty_ButtonType = 1300,
    xpProperty_ButtonBehavior = 1301,
    xpProperty_ButtonState = 1302,
    xpProperty_ScrollBarSliderPosition = 1500,
    xpProperty_ScrollBarMin = 1501,
    xpProperty_ScrollBarMax = 1502,
    xpProperty_ScrollBarPageAmount = 1503,
    xpProperty_ScrollBarType = 1504
};

enum { xpMainWindowStyle_MainWindow = 0, xpMainWindowStyle_Translucent = 1 };
enum {
    xpPushButton = 0,
    xpRadioButton = 1,
    xpWindowCloseBox = 3,
    xpLittleDownArrow = 5,
    xpLittleUpArrow = 6
};
enum {
    xpButtonBehaviorPushButton = 0,
    xpButtonBehaviorCheckBox = 1,
    xpButtonBehaviorRadioButton = 2
};
enum { xpScrollBarTypeScrollBar = 0, xpScrollBarTypeSlider = 1 };

enum {
    xpMsg_None = 0,
    xpMsg_Create = 1,
    xpMsg_Destroy = 2,
    xpMsg_Paint = 3,
    xpMsg_Draw = 4,
    xpMsg_KeyPress = 5,
    xpMsg_MouseDown = 8,
    xpMsg_MouseUp = 10,
    xpMsg_Reshape = 11,
    xpMsg_PropertyChanged = 19,
    xpMessage_CloseButtonPushed = 1200,
    xpMsg_PushButtonPressed = 1300,
    xpMsg_ButtonStateChanged = 1301,
    xpMsg_ScrollBarSliderPositionChanged = 1500,
    xpMsg_UserStart = 10000
};

enum {
    xpMode_Direct = 0,
    xpMode_UpChain = 1,
    xpMode_Recursive = 2,
    xpMode_DirectAllCallbacks = 3,
    xpMode_Once = 4
};

enum {
    xpWindow_Help = 0,
    xpWindow_MainWindow = 1,
    xpWindow_SubWindow = 2,
    xpWindow_Screen = 4,
    xpWindow_ListView = 5
};

typedef struct {
    int x;
    int y;
    int button;
    int delta;
} XPMouseState_t;

typedef struct {
    char key;
    XPLMKeyFlags flags;
    char vkey;
} XPKeyState_t;

typedef struct {
    int dx;
    int dy;
    int dwidth;
    int dheight;
} XPWidgetGeometryChange_t;

void XPDrawWindow(int x1, int y1, int x2, int y2, XPWindowStyle style);
XPWidgetID XPCreateWidget(int left, int top, int right, int bottom, int visible,
                          const char* descriptor, int isRoot, XPWidgetID container,
                          XPWidgetClass widgetClass);
XPWidgetID XPCreateCustomWidget(int left, int top, int right, int bottom, int visible,
                                const char* descriptor, int isRoot, XPWidgetID container,
                                XPWidgetFunc_t callback);
void XPDestroyWidget(XPWidgetID widget, int destroyChildren);
void XPSetWidgetProperty(XPWidgetID widget, XPWidgetPropertyID property, intptr_t value);
intptr_t XPGetWidgetProperty(XPWidgetID widget, XPWidgetPropertyID property, int* exists);
void XPSetWidgetDescriptor(XPWidgetID widget, const char* descriptor);
int XPGetWidgetDescriptor(XPWidgetID widget, char* outDescriptor, int maxDescLength);
void XPSetWidgetGeometry(XPWidgetID widget, int left, int top, int right, int bottom);
void XPGetWidgetGeometry(XPWidgetID widget, int* outLeft, int* outTop, int* outRight,
                         int* outBottom);
void XPShowWidget(XPWidgetID widget);
void XPHideWidget(XPWidgetID widget);
void XPBringRootWidgetToFront(XPWidgetID widget);
void XPAddWidgetCallback(XPWidgetID widget, XPWidgetFunc_t callback);
int XPSendMessageToWidget(XPWidgetID widget, XPWidgetMessage message, XPDispatchMode mode,
                          intptr_t param1, intptr_t param2);

#endif /* TARVOSK_XPLM_DECLARE(210) */

#if TARVOSK_XPLM_DECLARE(303)
/* ==== SDK 3.x (XPLM300..XPLM303, X-Plane 11) =============================================== */

/* ---- Instances (see the scenery objects above) -------------------------------------------- */
typedef void* XPLMInstanceRef;
XPLMInstanceRef XPLMCreateInstance(XPLMObjectRef object, const char** datarefs);
void XPLMDestroyInstance(XPLMInstanceRef instance);
void XPLMInstanceSetPosition(XPLMInstanceRef instance, const XPLMDrawInfo_t* position,
                             const float* data);

#endif /* TARVOSK_XPLM_DECLARE(303) */

#if TARVOSK_XPLM_DECLARE(420)
/* ==== SDK 4.x (XPLM400..XPLM420, X-Plane 12) =============================================== */

#endif /* TARVOSK_XPLM_DECLARE(420) */

/* Windows made from a description (XPLMCreateWindowEx) and modern windows, by tier too. */
#include "tarvosk_xplm_windows.h"

/* ---- Entry points the plug-in exports ---------------------------------------------------- */
#if defined(_WIN32)
#define TARVOSK_PLUGIN_EXPORT __declspec(dllexport)
#elif defined(__GNUC__)
#define TARVOSK_PLUGIN_EXPORT __attribute__((visibility("default")))
#else
#define TARVOSK_PLUGIN_EXPORT
#endif

#ifdef __cplusplus
}
#endif

#endif /* TARVOSK_XPLM_H */
