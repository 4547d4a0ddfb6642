#pragma once

#include <string_view>

namespace gantrylux {

// The main window's controls, described once for both window layers. Positions and sizes are in
// twips (1/1440 inch) from the top left of the window's client area, also for a control that
// sits in a frame; each layer scales them to its own pixels.
enum class ControlKind { List, PushButton, TextBox, Option, CheckBox, Frame };

// Buttons take the larger font; every other control the window's.
enum class ControlFont { Window, Button };

struct ControlLayout {
    std::string_view name;
    ControlKind kind;
    std::string_view caption;
    int left;
    int top;
    int width;
    int height;
    std::string_view frame;  // the frame it sits in, or empty
    ControlFont font = ControlFont::Window;
    // The letter that, with Alt, presses or selects the control; 0 for none. Unique in the
    // window and found in the caption (in "Stop" too, for the start button).
    char accessKey = 0;
    // What a screen reader calls the control where its caption is missing or not enough.
    std::string_view accessibleName = {};
};

// Fonts: bold Arial of these sizes, in points.
inline constexpr double kWindowFontPoints = 9;
inline constexpr double kButtonFontPoints = 11.25;
// The client area, in twips.
inline constexpr int kWindowWidth = 8040;
inline constexpr int kWindowHeight = 7995;

// In tab order; the frames, never a Tab stop, come last.
inline constexpr ControlLayout kWindowLayout[] = {
    {"ListView1", ControlKind::List, "", 120, 120, 7800, 2190, "", ControlFont::Window, 0,
     "File list"},
    {"PushButton1", ControlKind::PushButton, "Add File(s)", 120, 2400, 3840, 405, "",
     ControlFont::Button, 'F'},
    {"PushButton4", ControlKind::PushButton, "Add All File(s) In Folder", 4080, 2400, 3840, 405, "",
     ControlFont::Button, 'A'},
    {"PushButton2", ControlKind::PushButton, "Start Opening", 120, 7470, 7800, 405, "",
     ControlFont::Button, 'T'},
    {"PushButton3", ControlKind::PushButton, "Clear List", 120, 2910, 3840, 405, "",
     ControlFont::Button, 'C', "Clear List, file list"},
    {"PushButton5", ControlKind::PushButton, "Load Sample/Example Files", 4080, 2910, 3840, 405, "",
     ControlFont::Button, 'L'},
    {"Text1", ControlKind::TextBox, "1", 4080 + 225, 5820 + 260, 3375, 345, "Frame2",
     ControlFont::Window, 0, "Seconds Between Opening Next"},
    {"Option1", ControlKind::Option, "Normal", 120 + 240, 6630 + 300, 975, 255, "Frame5",
     ControlFont::Window, 'N'},
    {"Option2", ControlKind::Option, "Maximized", 120 + 2160, 6630 + 300, 1335, 255, "Frame5",
     ControlFont::Window, 'X'},
    {"Option3", ControlKind::Option, "Minimized", 120 + 4440, 6630 + 300, 1335, 255, "Frame5",
     ControlFont::Window, 'I'},
    {"Check3", ControlKind::CheckBox, " Yes", 120 + 240, 5820 + 300, 1410, 285, "Frame1",
     ControlFont::Window, 'Y', "Infinitely loop"},
    {"PushButton15", ControlKind::PushButton, "Add Folder(s)", 120, 4850, 3840, 405, "",
     ControlFont::Button, 'O'},
    {"PushButton21", ControlKind::PushButton, "Add All Subfolders In Folder", 4080, 4850, 3840, 405,
     "", ControlFont::Button, 'S'},
    {"ListView3", ControlKind::List, "", 120, 3420, 7800, 1335, "", ControlFont::Window, 0,
     "Folder list"},
    {"PushButton6", ControlKind::PushButton, "Clear List", 120, 5360, 3840, 405, "",
     ControlFont::Button, 'R', "Clear List, folder list"},
    {"PushButton7", ControlKind::PushButton, "Help", 4080, 5360, 3840, 405, "", ControlFont::Button,
     'H'},
    {"Frame1", ControlKind::Frame, "Infinitely Loop?", 120, 5820, 3840, 750, ""},
    {"Frame2", ControlKind::Frame, "Seconds Between Opening Next", 4080, 5820, 3840, 750, ""},
    {"Frame5", ControlKind::Frame, "Display Options", 120, 6630, 7800, 720, ""},
};

}  // namespace gantrylux
