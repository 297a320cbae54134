#include "panels/preferences_window.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "config/log.h"
#include "config/settings.h"
#include "panels/QN_Controls.h"

namespace tarvosk {

namespace {

constexpr float kBlinkSeconds = 0.5f;
constexpr int kBoxCount = 8;
constexpr int kFrontGearBox = 4;
constexpr int kRearGearBox = 5;

const char* const kBoxLabels[kBoxCount] = {"Auto switch to external view",
                                           "Aural ground crew warning",
                                           "Written ground crew warning",
                                           "Draw truck",
                                           "PushBack on front gear",
                                           "PushBack on rear gear",
                                           "Handle GPU",
                                           "Allow PushBack with Engines ON"};

struct PreferencesWindow {
    PanelWindow* window = nullptr;
    TruckViewHotKey hotKey;
    std::array<QN_CtrlCheckBox*, kBoxCount> boxes{};
    QN_CtrlSlider* speed = nullptr;
    QN_CtrlCheckBox* perSecond = nullptr;  // under the slider: SPEED_PER_SECOND
    QN_CtrlCheckBox* rudder = nullptr;     // MANUAL_RUDDER
    QN_CtrlCheckBox* answer = nullptr;     // ANSWER_XP_PUSHBACK
    QN_CtrlSlider* clearance = nullptr;    // TRAFFIC_CLEARANCE, whole metres
    QN_CtrlText* keyCaption = nullptr;
    QN_CtrlButton* assign = nullptr;
    QN_CtrlButton* ok = nullptr;
    QN_CtrlButton* defaults = nullptr;
    QN_CtrlButton* cancel = nullptr;
    int pendingKey = 0;  // signed 8-bit virtual key, widened
    bool waitingForKey = false;
    bool blink = true;
    float nextBlink = 0.0f;
    bool snifferRegistered = false;
    // The settings as the window found them: the speed and Defaults apply at once, so Cancel
    // and the close box give these back.
    Settings opening;
};

std::vector<PreferencesWindow*>& OpenRecords() {
    static std::vector<PreferencesWindow*> records;
    return records;
}

bool IsOpen(const PreferencesWindow* record) {
    const auto& open = OpenRecords();
    return std::find(open.begin(), open.end(), record) != open.end();
}

// The box states, in the order of the settings they stand for (box 5 shows !FRONT_WHEEL).
std::array<bool, kBoxCount> BoxStatesFromSettings() {
    return {gSettings.SWITCH_VIEW, gSettings.AURAL_CREW_MESSAGE, gSettings.WRITTEN_CREW_MESSAGE,
            gSettings.DRAW_TRUCK,  gSettings.FRONT_WHEEL,        !gSettings.FRONT_WHEEL,
            gSettings.HANDLE_GPU,  gSettings.ALLOW_ENGN_ON};
}

std::string KeyText(const char* format, int key) {
    char text[128];
    std::snprintf(text, sizeof text, format, KeyDescription(key));
    return text;
}

int KeySniffer(char, XPLMKeyFlags, char virtualKey, void* refcon) {
    try {
        auto* prefs = static_cast<PreferencesWindow*>(refcon);
        if (!IsOpen(prefs)) return 1;  // not ours any more: let the key through
        prefs->pendingKey = static_cast<signed char>(virtualKey);
        prefs->assign->SetEnabled(true);
        prefs->assign->text = KeyText("Key is: %s", prefs->pendingKey);
        XPSetWidgetDescriptor(prefs->assign->widget, prefs->assign->text.c_str());
        prefs->waitingForKey = false;
        return 0;  // the key goes no further
    } catch (...) {
        return 1;
    }
}

void RemoveSniffer(PreferencesWindow& prefs) {
    if (!prefs.snifferRegistered) return;
    XPLMUnregisterKeySniffer(KeySniffer, 1, &prefs);
    prefs.snifferRegistered = false;
}

// The record goes with its window; the window itself is destroyed by the toolkit.
void Release(PreferencesWindow* prefs) {
    RemoveSniffer(*prefs);
    auto& open = OpenRecords();
    open.erase(std::remove(open.begin(), open.end(), prefs), open.end());
    delete prefs;
}

void Blink(PreferencesWindow& prefs) {
    if (!prefs.waitingForKey) return;
    const float now = XPLMGetElapsedTime();
    if (now <= prefs.nextBlink) return;
    prefs.blink = !prefs.blink;
    prefs.assign->SetEnabled(prefs.blink);
    prefs.nextBlink = now + kBlinkSeconds;
}

void ApplyAndClose(PreferencesWindow& prefs) {
    const auto& b = prefs.boxes;
    gSettings.SWITCH_VIEW = b[0]->ticked;
    gSettings.AURAL_CREW_MESSAGE = b[1]->ticked;
    gSettings.WRITTEN_CREW_MESSAGE = b[2]->ticked;
    gSettings.DRAW_TRUCK = b[3]->ticked;
    gSettings.FRONT_WHEEL = b[kFrontGearBox]->ticked;
    gSettings.HANDLE_GPU = b[6]->ticked;
    gSettings.ALLOW_ENGN_ON = b[7]->ticked;
    gSettings.SPEED_PER_SECOND = prefs.perSecond->ticked;
    gSettings.MANUAL_RUDDER = prefs.rudder->ticked;
    gSettings.ANSWER_XP_PUSHBACK = prefs.answer->ticked;
    gSettings.TruckView_KEY = prefs.pendingKey;
    if (prefs.hotKey.handle != nullptr && prefs.hotKey.toggle != nullptr) {
        if (*prefs.hotKey.handle != nullptr) XPLMUnregisterHotKey(*prefs.hotKey.handle);
        *prefs.hotKey.handle =
            XPLMRegisterHotKey(static_cast<char>(gSettings.TruckView_KEY & 0xFF), xplm_DownFlag,
                               "Toggle truckview", prefs.hotKey.toggle, nullptr);
    }
}

// Every setting the window may have changed goes back; the truck, which the menu sets
// meanwhile, stays.
void GiveBackOpeningSettings(const PreferencesWindow& prefs) {
    std::string truck = std::move(gSettings.Truck);
    gSettings = prefs.opening;
    gSettings.Truck = std::move(truck);
}

void RestoreDefaults(PreferencesWindow& prefs) {
    ApplyDefaultSettings();
    const std::array<bool, kBoxCount> states = BoxStatesFromSettings();
    for (int i = 0; i < kBoxCount; ++i) prefs.boxes[i]->SetTicked(states[i]);
    prefs.speed->SetValue(static_cast<int>(gSettings.TRUCK_SPEED));
    prefs.perSecond->SetTicked(gSettings.SPEED_PER_SECOND);
    prefs.rudder->SetTicked(gSettings.MANUAL_RUDDER);
    prefs.answer->SetTicked(gSettings.ANSWER_XP_PUSHBACK);
    prefs.clearance->SetValue(static_cast<int>(gSettings.TRAFFIC_CLEARANCE));
    prefs.keyCaption->SetText(KeyText("Truck view key (current: %s)", gSettings.TruckView_KEY));
    // So that Defaults then OK gives the default key, as the caption now says.
    prefs.pendingKey = gSettings.TruckView_KEY;
}

int PreferencesHandler(void* userData, XPWidgetMessage message, QN_Panel* element, intptr_t param1,
                       intptr_t param2) {
    auto* prefs = static_cast<PreferencesWindow*>(userData);
    Blink(*prefs);
    switch (message) {
        case xpMsg_PushButtonPressed:
            if (element == prefs->ok) {
                ApplyAndClose(*prefs);
                Release(prefs);
                return kHandledClose;
            }
            if (element == prefs->defaults) {
                RestoreDefaults(*prefs);
                return kNotHandled;
            }
            if (element == prefs->cancel) {
                GiveBackOpeningSettings(*prefs);
                Release(prefs);
                return kHandledClose;
            }
            if (element == prefs->assign && !prefs->waitingForKey) {
                if (!prefs->snifferRegistered) {
                    prefs->snifferRegistered = XPLMRegisterKeySniffer(KeySniffer, 1, prefs) != 0;
                }
                prefs->waitingForKey = true;
            }
            return kNotHandled;
        case xpMessage_CloseButtonPushed:
            GiveBackOpeningSettings(*prefs);
            Release(prefs);
            return kHandledClose;
        case xpMsg_ButtonStateChanged: {
            // The gear boxes always show opposite states.
            const bool newState = param2 != 0;
            if (element == prefs->boxes[kFrontGearBox]) {
                prefs->boxes[kRearGearBox]->SetTicked(!newState);
            } else if (element == prefs->boxes[kRearGearBox]) {
                prefs->boxes[kFrontGearBox]->SetTicked(!newState);
            }
            return kNotHandled;
        }
        case xpMsg_ScrollBarSliderPositionChanged:
            if (element == prefs->speed) {
                // Live, not on OK.
                SetTruckSpeed(prefs->speed->Position());
            } else if (element == prefs->clearance) {
                gSettings.TRAFFIC_CLEARANCE = static_cast<float>(prefs->clearance->Position());
            }
            return kNotHandled;
        default:
            (void)param1;
            return kNotHandled;
    }
}

std::unique_ptr<QN_Panel> Row(int columns, int columnWidth) {
    auto row = std::make_unique<QN_Panel>(InvisibleRowStyle(), false, kAlignLeft);
    row->columnCount = static_cast<uint8_t>(columns);
    for (int c = 0; c < columns; ++c) row->columnWidth[static_cast<std::size_t>(c)] = columnWidth;
    return row;
}

}  // namespace

const char* KeyDescription(int virtualKey) {
    const char* name = XPLMGetVirtualKeyDescription(static_cast<char>(virtualKey & 0xFF));
    return name != nullptr ? name : "";
}

void OpenPreferencesWindow(const TruckViewHotKey& hotKey) {
    // A second identical window would lie exactly on the first: show the open one instead.
    if (!OpenRecords().empty()) {
        XPBringRootWidgetToFront(OpenRecords().front()->window->widget);
        return;
    }
    auto* prefs = new PreferencesWindow;
    prefs->hotKey = hotKey;
    PanelWindow* window =
        CreatePanelWindow(320, "Tarvosk Preferences", true, PreferencesHandler, prefs);
    if (window == nullptr) {
        delete prefs;
        Log("[WRNG] The host refused the Preferences window\n");
        return;
    }
    prefs->window = window;
    prefs->opening = gSettings;
    OpenRecords().push_back(prefs);

    QN_Panel* frame = AddChild(*window->rootPanel,
                               std::make_unique<QN_Panel>(PreferencesFrameStyle(), false, 0), 0);
    const std::array<bool, kBoxCount> states = BoxStatesFromSettings();
    for (int i = 0; i < kBoxCount; ++i) {
        prefs->boxes[static_cast<std::size_t>(i)] =
            AddChild(*frame, std::make_unique<QN_CtrlCheckBox>(kBoxLabels[i], states[i]), 0);
    }
    auto slider = std::make_unique<QN_CtrlSlider>(static_cast<int>(gSettings.TRUCK_SPEED));
    // The bar spans the range the properties file is held to.
    const NumericRange& speedRange = RangeOf(NumericSetting::TruckSpeed);
    slider->minimum = static_cast<int>(speedRange.minimum);
    slider->maximum = static_cast<int>(speedRange.maximum);
    prefs->speed = AddChild(*frame, std::move(slider), 0);
    prefs->perSecond = AddChild(*frame,
                                std::make_unique<QN_CtrlCheckBox>("Speed independent of frame rate",
                                                                  gSettings.SPEED_PER_SECOND),
                                0);
    prefs->rudder = AddChild(
        *frame,
        std::make_unique<QN_CtrlCheckBox>("Steer with the rudder pedals", gSettings.MANUAL_RUDDER),
        0);
    prefs->answer = AddChild(*frame,
                             std::make_unique<QN_CtrlCheckBox>("Answer X-Plane's pushback commands",
                                                               gSettings.ANSWER_XP_PUSHBACK),
                             0);
    // Metres the tug keeps our swept footprint from other aircraft; 0 switches the watch off.
    auto clearance = std::make_unique<QN_CtrlSlider>(static_cast<int>(gSettings.TRAFFIC_CLEARANCE));
    const NumericRange& clearanceRange = RangeOf(NumericSetting::TrafficClearance);
    clearance->label = "Traffic clearance (m)";
    clearance->minimum = static_cast<int>(clearanceRange.minimum);
    clearance->maximum = static_cast<int>(clearanceRange.maximum);
    prefs->clearance = AddChild(*frame, std::move(clearance), 0);

    QN_Panel* keyRow = AddChild(*frame, Row(2, 150), 0);
    prefs->keyCaption = AddChild(
        *keyRow,
        std::make_unique<QN_CtrlText>(KeyText("Truck view (current: %s)", gSettings.TruckView_KEY)),
        0);
    prefs->assign =
        AddChild(*keyRow, std::make_unique<QN_CtrlButton>("Assign new", kAlignRight), 1);

    QN_Panel* buttonRow = AddChild(*frame, Row(3, 100), 0);
    prefs->ok = AddChild(*buttonRow, std::make_unique<QN_CtrlButton>("  OK  ", kAlignLeft), 0);
    prefs->defaults =
        AddChild(*buttonRow, std::make_unique<QN_CtrlButton>("Defaults", kAlignCentre), 1);
    prefs->cancel = AddChild(*buttonRow, std::make_unique<QN_CtrlButton>("Cancel", kAlignRight), 2);

    FitToContent(*window);
    CenterOnScreen(*window);
    prefs->pendingKey = gSettings.TruckView_KEY;
}

void CloseAllPreferencesWindows() {
    const std::vector<PreferencesWindow*> open = OpenRecords();
    for (PreferencesWindow* prefs : open) {
        PanelWindow* window = prefs->window;
        Release(prefs);
        DestroyPanelWindow(window);
    }
}

}  // namespace tarvosk
