// SPDX-License-Identifier: MIT
// What a screen reader is told of the windows: the view of the screen read as AT-SPI objects
// (roles, names, states, relations, text with caret and selection), and the events that turn
// one such reading into the next. Pure: no D-Bus here, so that the bridge only carries it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "view/window_view.h"

namespace win32::atspi {

// AT-SPI's role numbers (the ones the dialog's controls take).
enum Role : std::uint32_t {
    kRoleCheckBox = 7,
    kRoleDialog = 16,
    kRoleFiller = 20,
    kRoleFrame = 23,
    kRoleIcon = 26,
    kRoleLabel = 29,
    kRolePanel = 39,
    kRolePasswordText = 40,
    kRolePushButton = 43,
    kRoleRadioButton = 44,
    kRoleText = 61,
    kRoleApplication = 75,
};
const char* RoleName(std::uint32_t role);

// AT-SPI's state numbers: bit n of States is state n.
enum State : unsigned {
    kStateActive = 1,
    kStateChecked = 4,
    kStateEditable = 7,
    kStateEnabled = 8,
    kStateFocusable = 11,
    kStateFocused = 12,
    kStateIconified = 15,
    kStateModal = 16,
    kStatePressed = 20,
    kStateSensitive = 24,
    kStateShowing = 25,
    kStateSingleLine = 26,
    kStateVisible = 30,
    kStateIndeterminate = 32,
    kStateSelectableText = 38,
    kStateIsDefault = 39,
    kStateCheckable = 41,
    kStateReadOnly = 43,
};
using States = std::uint64_t;
constexpr States Bit(State state) { return States{1} << state; }
// The name an event gives a state ("focused", "read-only"); nullptr for states without events.
const char* StateEventName(unsigned state);

// One object. Text offsets count code points, as AT-SPI does.
struct Accessible {
    HWND handle = nullptr;
    HWND parent = nullptr;  // nullptr: the application
    HWND topLevel = nullptr;
    std::vector<HWND> children;
    std::uint32_t role = kRoleFiller;
    std::string name;  // UTF-8
    States states = 0;
    HWND labelledBy = nullptr;
    std::vector<HWND> labelFor;
    RECT extents{};          // screen pixels
    RECT client{};           // screen pixels; edits: where the text is drawn
    bool pressable = false;  // the action interface: "click"
    bool hasText = false;    // the text interfaces
    bool editable = false;
    std::u32string text;              // a password edit's mask, never its text
    std::u16string shown;             // as drawn, for measuring
    std::vector<std::size_t> unitOf;  // the index in `shown` of each code point, and its size
    std::size_t firstVisible = 0;     // UTF-16 units scrolled off to the left
    std::size_t caret = 0;
    std::size_t selectionLow = 0;
    std::size_t selectionHigh = 0;
};

struct AccessibleTree {
    std::vector<HWND> topLevel;  // the application's children, bottom of the z-order first
    std::map<HWND, Accessible> objects;
    HWND focused = nullptr;
    const Accessible* Find(HWND handle) const;
};

AccessibleTree ReadTree(const std::vector<WindowView>& screen);

// One AT-SPI event: an Event.<kind> signal named `member` from `source` (nullptr: the
// application). `child` is the object ChildrenChanged names.
struct Event {
    HWND source = nullptr;
    const char* kind = "Object";  // Object, Window, Focus
    const char* member = "";
    std::string detail;
    int detail1 = 0;
    int detail2 = 0;
    std::string text;  // the string the event carries (TextChanged, PropertyChange)
    HWND child = nullptr;
    bool carriesChild = false;
};

// What changed from `before` to `after`, in the order a screen reader should hear it: windows
// come and go, activation, focus, then names, states, text, caret and selection.
std::vector<Event> Changes(const AccessibleTree& before, const AccessibleTree& after);

}  // namespace win32::atspi
