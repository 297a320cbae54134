#include "panels/about_window.h"

#include <GL/gl.h>

#include <memory>
#include <string>

#include "config/log.h"
#include "config/settings.h"
#include "config/version.h"
#include "panels/QN_Controls.h"
#include "render/texture.h"

namespace tarvosk {

namespace {

// The logo lives as long as the window; this cell existing means "an About window is open".
struct AboutCell {
    PanelWindow* window = nullptr;
    Texture* logo = nullptr;
};

AboutCell* gAbout = nullptr;

void ReleaseLogo(AboutCell& cell) {
    if (cell.logo == nullptr) return;
    if (cell.logo->textureNumber != 0) {
        const GLuint number = static_cast<GLuint>(cell.logo->textureNumber);
        glDeleteTextures(1, &number);
    }
    delete cell.logo;  // its pixels, if any are still held, go with it
    cell.logo = nullptr;
}

void Release(AboutCell* cell) {
    ReleaseLogo(*cell);
    if (gAbout == cell) gAbout = nullptr;
    delete cell;
}

int AboutHandler(void* userData, XPWidgetMessage message, QN_Panel*, intptr_t, intptr_t) {
    if (message != xpMessage_CloseButtonPushed) return kNotHandled;
    Release(static_cast<AboutCell*>(userData));
    return kHandledClose;
}

std::unique_ptr<QN_Panel> TextBox(int marginX, int marginY) {
    auto box = std::make_unique<QN_Panel>(AboutTextBoxStyle(), false, kAlignLeft);
    box->marginX = marginX;
    box->marginY = marginY;
    return box;
}

std::string Credit(const char* role, int dots, const char* names) {
    return std::string(role) + " " + std::string(static_cast<std::size_t>(dots), '.') + " " + names;
}

}  // namespace

bool AboutWindowOpen() {
    return gAbout != nullptr;
}

void OpenAboutWindow(const std::string& dataFolder, const std::string& separator) {
    if (gAbout != nullptr) return;
    auto* cell = new AboutCell;
    gAbout = cell;
    PanelWindow* window = CreatePanelWindow(376, "About Tarvosk...", true, AboutHandler, cell);
    if (window == nullptr) {
        Release(cell);
        Log("[WRNG] The host refused the About window\n");
        return;
    }
    cell->window = window;
    QN_Panel* content =
        AddChild(*window->rootPanel, std::make_unique<QN_Panel>(false, kAlignLeft), 0);

    cell->logo = new Texture{};
    cell->logo->uploadOnLoad = true;
    // A missing or broken logo leaves the picture empty; the window opens anyway.
    LoadPngTexture(*cell->logo, dataFolder + "Bitmaps" + separator + "TVKlogo.png");
    AddChild(*content, std::make_unique<QN_CtrlPicture>(cell->logo), 0);

    // Newer simulators draw captions in a narrower font: longer dot runs fill the line.
    const bool longRuns = gXplaneVersion > 739;
    QN_Panel* credits = AddChild(*content, TextBox(5, 5), 0);
    AddChild(*credits,
             std::make_unique<QN_CtrlText>(Credit("Author", longRuns ? 80 : 57, "K. Tarvo")), 0);
    AddChild(*credits,
             std::make_unique<QN_CtrlText>(Credit("Original idea", longRuns ? 62 : 37, "L. Marsk")),
             0);
    AddChild(*credits,
             std::make_unique<QN_CtrlText>(Credit("3D models", longRuns ? 44 : 18, "P. Ondel")), 0);

    QN_Panel* thanks = AddChild(*content, TextBox(5, 2), 0);
    for (const char* line :
         {"Special thanks to:", "- the authors of the X-Plane plug-in SDK",
          "- Quorren's tool library makers", "- P. Ondel, first design of the truck",
          "- J. Vell, for the port to another system"}) {
        AddChild(*thanks, std::make_unique<QN_CtrlText>(line), 0);
    }

    QN_Panel* last = AddChild(*content, TextBox(5, 5), 0);
    auto notice = std::make_unique<QN_CtrlText>(std::string("(c) Quorren - Tarvosk version ") +
                                                kTarvoskVersion);
    notice->marginX = 5;
    notice->marginY = 1;
    AddChild(*last, std::move(notice), 0);

    FitToContent(*window);
    CenterOnScreen(*window);
}

void CloseAboutWindow() {
    if (gAbout == nullptr) return;
    AboutCell* cell = gAbout;
    PanelWindow* window = cell->window;
    Release(cell);
    DestroyPanelWindow(window);
}

}  // namespace tarvosk
