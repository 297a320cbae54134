/*
 * A small plug-in that drives Tarvosk from the outside, as another add-on would: it finds
 * Tarvosk by its signature, connects the ground power unit by message, waits for the "GPU
 * running" broadcast, disconnects it, orders a straight pushback by writing
 * "quorren/tarvosk/PBstatus" and follows the tug's published position every frame until the
 * pushback is over. Five seconds later it orders a manual pushback with Tarvosk's command,
 * steers the tail to the right for eight seconds through "quorren/tarvosk/manual/steer", and
 * ends it with the "stop here" command. It uses nothing of Tarvosk but its published datarefs,
 * messages and commands.
 *
 * What it sees goes, one line per event, to "TarvoskClient.txt" (the automated pushback) and
 * "TarvoskClientManual.txt" (the manual one) beside this plug-in, and to the simulator's log.
 */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "xplm/host.h"

#define EXPORT __attribute__((visibility("default")))

/* Tarvosk's inter-plug-in messages. */
#define GPU_RUNNING ((int)0x88888882u)
#define GPU_OFF ((int)0x88888883u)
#define GPU_CONNECT ((int)0x88888889u)
#define GPU_DISCONNECT ((int)0x8888888Au)

enum Stage { FIND, CONNECTING, RUNNING, PUSHING, PAUSE, MANUAL, STEERING, STOPPING, DONE };

static enum Stage stage = FIND;
static XPLMPluginID tarvosk = XPLM_NO_PLUGIN_ID;
static XPLMDataRef pbStatus, tugX, tugY, tugZ, tugHeading;
static XPLMDataRef manualMode, manualSteer, speed, heading;
static FILE* record;
static FILE* manualRecord;
static int sawPushing;
static double stageEnds;     /* when the pause or the steering ends */
static double startHeading;  /* the aircraft's heading when the steering began */

static void Write(FILE* file, const char* format, double a, double b, double c, double d,
                  double e) {
    char line[256];
    snprintf(line, sizeof line, format, a, b, c, d, e);
    if (file) {
        fputs(line, file);
        fflush(file);
    }
    XPLMDebugString("TarvoskClient: ");
    XPLMDebugString(line);
}

static void Note(const char* format, double a, double b, double c, double d, double e) {
    Write(record, format, a, b, c, d, e);
}

static void NoteManual(const char* format, double a, double b, double c, double d, double e) {
    Write(manualRecord, format, a, b, c, d, e);
}

static void Run(const char* command) {
    XPLMCommandRef ref = XPLMFindCommand(command);
    if (ref) XPLMCommandOnce(ref);
}

/* Tarvosk publishes its datarefs at start; look them up once it is there. */
static int FindTarvosk(void) {
    tarvosk = XPLMFindPluginBySignature("Quorren.Tarvosk");
    if (tarvosk == XPLM_NO_PLUGIN_ID) return 0;
    pbStatus = XPLMFindDataRef("quorren/tarvosk/PBstatus");
    tugX = XPLMFindDataRef("quorren/tarvosk/truck/position_ogl_x");
    tugY = XPLMFindDataRef("quorren/tarvosk/truck/position_ogl_y");
    tugZ = XPLMFindDataRef("quorren/tarvosk/truck/position_ogl_z");
    tugHeading = XPLMFindDataRef("quorren/tarvosk/truck/position_hdg");
    manualMode = XPLMFindDataRef("quorren/tarvosk/manual/mode");
    manualSteer = XPLMFindDataRef("quorren/tarvosk/manual/steer");
    speed = XPLMFindDataRef("quorren/tarvosk/speed");
    heading = XPLMFindDataRef("sim/flightmodel/position/psi");
    return pbStatus && tugX && tugY && tugZ && tugHeading && manualMode && manualSteer && speed &&
           heading;
}

static float Follow(float sinceLast, float sinceLoop, int counter, void* refcon) {
    const double now = XPLMGetElapsedTime();
    (void)sinceLast;
    (void)sinceLoop;
    (void)counter;
    (void)refcon;
    switch (stage) {
        case FIND:
            if (FindTarvosk()) {
                Note("found Tarvosk id %.0f at %.3f\n", tarvosk, now, 0, 0, 0);
                /* Noted first: the answer may come back during the send. */
                Note("connect sent at %.3f\n", now, 0, 0, 0, 0);
                XPLMSendMessageToPlugin(tarvosk, GPU_CONNECT, NULL);
                stage = CONNECTING;
            }
            break;
        case RUNNING:
            /* A pushback is refused while the GPU runs: disconnect, then order it. */
            Note("disconnect sent at %.3f\n", now, 0, 0, 0, 0);
            XPLMSendMessageToPlugin(tarvosk, GPU_DISCONNECT, NULL);
            XPLMSetDatai(pbStatus, 1);
            Note("pushback ordered at %.3f, status %.0f\n", now, XPLMGetDatai(pbStatus), 0, 0, 0);
            stage = PUSHING;
            break;
        case PUSHING: {
            const int status = XPLMGetDatai(pbStatus);
            Note("tug %.3f %.6f %.6f %.6f %.3f\n", now, XPLMGetDatad(tugX), XPLMGetDatad(tugY),
                 XPLMGetDatad(tugZ), XPLMGetDataf(tugHeading));
            if (status != 0) sawPushing = 1;
            if (status == 0 && sawPushing) {
                Note("pushback over at %.3f\n", now, 0, 0, 0, 0);
                stageEnds = now + 5.0;
                stage = PAUSE;
            }
            break;
        }
        case PAUSE:
            if (now < stageEnds) break;
            Run("quorren/tarvosk/manual_push");
            NoteManual("manual push ordered at %.3f, mode %.0f, status %.0f\n", now,
                       XPLMGetDatai(manualMode), XPLMGetDatai(pbStatus), 0, 0);
            stage = MANUAL;
            break;
        case MANUAL:
            /* The brake was released at the end of the last pushback: it moves once hooked. */
            if (XPLMGetDataf(speed) <= 0.0f) break;
            startHeading = XPLMGetDataf(heading);
            XPLMSetDataf(manualSteer, 1.0f); /* full right: the tail swings to the right */
            NoteManual("moving at %.3f, steering %.2f\n", now, XPLMGetDataf(manualSteer), 0, 0, 0);
            stageEnds = now + 8.0;
            stage = STEERING;
            break;
        case STEERING:
            if (now < stageEnds) break;
            XPLMSetDataf(manualSteer, 0.0f);
            Run("quorren/tarvosk/stop_here");
            NoteManual("stop here at %.3f, speed %.3f, heading change %.3f\n", now,
                       XPLMGetDataf(speed), XPLMGetDataf(heading) - startHeading, 0, 0);
            stage = STOPPING;
            break;
        case STOPPING:
            if (XPLMGetDatai(pbStatus) != 0) break;
            NoteManual("manual push over at %.3f, mode %.0f\n", now, XPLMGetDatai(manualMode), 0,
                       0, 0);
            stage = DONE;
            break;
        default:
            break;
    }
    return -1.0f;
}

EXPORT int XPluginStart(char* name, char* signature, char* description) {
    char path[512];
    char* slash;
    strcpy(name, "Tarvosk client");
    strcpy(signature, "quorren.example.tarvosk_client");
    strcpy(description, "Drives Tarvosk through its published datarefs, messages and commands.");
    path[0] = '\0';
    XPLMGetPluginInfo(XPLMGetMyID(), NULL, path, NULL, NULL);
    slash = strrchr(path, '/');
    if (slash && (size_t)(slash - path) + sizeof "/TarvoskClientManual.txt" < sizeof path) {
        strcpy(slash, "/TarvoskClient.txt");
        record = fopen(path, "w");
        strcpy(slash, "/TarvoskClientManual.txt");
        manualRecord = fopen(path, "w");
    }
    return 1;
}

EXPORT int XPluginEnable(void) {
    XPLMRegisterFlightLoopCallback(Follow, -1.0f, NULL);
    return 1;
}

EXPORT void XPluginDisable(void) {
    XPLMUnregisterFlightLoopCallback(Follow, NULL);
}

EXPORT void XPluginStop(void) {
    if (record) fclose(record);
    if (manualRecord) fclose(manualRecord);
    record = NULL;
    manualRecord = NULL;
}

EXPORT void XPluginReceiveMessage(XPLMPluginID from, int message, void* param) {
    (void)param;
    if (from != tarvosk || tarvosk == XPLM_NO_PLUGIN_ID) return;
    if (message == GPU_RUNNING && stage == CONNECTING) {
        Note("GPU running from %.0f at %.3f\n", from, XPLMGetElapsedTime(), 0, 0, 0);
        stage = RUNNING;
    } else if (message == GPU_OFF) {
        Note("GPU off from %.0f at %.3f\n", from, XPLMGetElapsedTime(), 0, 0, 0);
    }
}
