#include "panels/message_box.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "config/log.h"
#include "panels/QN_Controls.h"

namespace tarvosk {

char messageText[256] = {};

namespace {

// The box's top lies this far below the top of the screen.
constexpr int kBelowScreenTop = 200;

struct MessageBoxRecord {
    PanelWindow* window = nullptr;
    QN_CtrlButton* ok = nullptr;
    QN_CtrlButton* choiceButton = nullptr;
    MessageBoxChoice choice{};
};

std::vector<MessageBoxRecord*>& OpenBoxes() {
    static std::vector<MessageBoxRecord*> boxes;
    return boxes;
}

void Forget(MessageBoxRecord* record) {
    auto& boxes = OpenBoxes();
    boxes.erase(std::remove(boxes.begin(), boxes.end(), record), boxes.end());
    delete record;
}

int MessageBoxHandler(void* userData, XPWidgetMessage message, QN_Panel* element, intptr_t,
                      intptr_t) {
    auto* record = static_cast<MessageBoxRecord*>(userData);
    if (message != xpMsg_PushButtonPressed || element == nullptr) return kNotHandled;
    if (element != record->ok && element != record->choiceButton) return kNotHandled;
    const bool chosen = element == record->choiceButton;
    const MessageBoxChoice choice = record->choice;
    Forget(record);
    // After the record is gone: the choice may open a box of its own.
    if (chosen && choice.run != nullptr) choice.run(choice.reference);
    return kHandledClose;
}

}  // namespace

std::vector<std::string> MessageLines(const char* text) {
    std::vector<std::string> lines(1);
    const std::size_t length = strnlen(text, sizeof messageText - 1);
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == ';') {
            lines.emplace_back();
        } else {
            lines.back().push_back(text[i]);
        }
    }
    return lines;
}

void ShowMessageBox(const char* title, const MessageBoxChoice* choice) {
    const std::vector<std::string> lines = MessageLines(messageText);
    std::size_t longest = 0;
    for (const std::string& line : lines) longest = std::max(longest, line.size());

    auto* record = new MessageBoxRecord;
    if (choice != nullptr) record->choice = *choice;
    const int width = kCharWidth * static_cast<int>(longest) + 30;
    PanelWindow* window = CreatePanelWindow(width, title, false, MessageBoxHandler, record);
    if (window == nullptr) {
        delete record;
        Log("[WRNG] The host refused the message box window\n");
        return;
    }
    record->window = window;
    OpenBoxes().push_back(record);

    auto textPanel = std::make_unique<QN_Panel>(false, kAlignLeft);
    textPanel->marginX = 10;
    textPanel->marginY = 10;
    QN_Panel* texts = AddChild(*window->rootPanel, std::move(textPanel), 0);
    for (const std::string& line : lines) {
        if (texts != nullptr) AddChild(*texts, std::make_unique<QN_CtrlText>(line), 0);
    }

    auto buttonPanel = std::make_unique<QN_Panel>(false, kAlignLeft);
    buttonPanel->marginX = 10;
    buttonPanel->marginY = 5;
    buttonPanel->columnCount = 2;
    QN_Panel* buttons = AddChild(*window->rootPanel, std::move(buttonPanel), 0);
    if (buttons != nullptr && choice != nullptr) {
        // Two buttons side by side, each half the row.
        const int32_t half = (buttons->extentX - buttons->left - 2 * buttons->marginX) / 2;
        buttons->columnWidth[0] = half;
        buttons->columnWidth[1] = half;
    }
    if (buttons != nullptr) {
        record->ok = AddChild(*buttons, std::make_unique<QN_CtrlButton>("OK", kAlignStretch), 0);
        if (choice != nullptr) {
            record->choiceButton = AddChild(
                *buttons, std::make_unique<QN_CtrlButton>(choice->label, kAlignStretch), 1);
        }
    }

    FitToContent(*window);
    // Centred across the screen, its top a fixed distance below the screen's top.
    int screenWidth = 0, screenHeight = 0;
    ScreenSize(screenWidth, screenHeight);
    int l = 0, t = 0, r = 0, b = 0;
    XPGetWidgetGeometry(window->widget, &l, &t, &r, &b);
    MoveWindowTo(*window, screenWidth / 2 - (r - l) / 2, screenHeight - kBelowScreenTop);
}

void CloseAllMessageBoxes() {
    const std::vector<MessageBoxRecord*> boxes = OpenBoxes();
    for (MessageBoxRecord* record : boxes) {
        DestroyPanelWindow(record->window);
        Forget(record);
    }
}

}  // namespace tarvosk
