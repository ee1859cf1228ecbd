// SPDX-License-Identifier: MIT
#include "x11/atspi/accessible_tree.h"

#include <algorithm>

#include "src/utf.h"

namespace win32::atspi {

namespace {

// The number of code points that start before UTF-16 index `index`.
std::size_t CodePointsBefore(const std::vector<CodePoint>& points, std::size_t index) {
    return static_cast<std::size_t>(
        std::lower_bound(points.begin(), points.end(), index,
                         [](const CodePoint& point, std::size_t at) { return point.index < at; }) -
        points.begin());
}

std::u32string CodePointsOf(const std::vector<CodePoint>& points) {
    std::u32string text;
    for (const CodePoint& point : points) text += point.value;
    return text;
}

std::string Utf8Of(std::u32string_view text) {
    std::string utf8;
    for (char32_t c : text) AppendUtf8(utf8, c);
    return utf8;
}

std::uint32_t RoleOf(const WindowView& view, bool topLevel) {
    switch (view.kind) {
        case ViewKind::kFrame:
            if (!topLevel) return kRolePanel;
            return view.owner != nullptr || view.modal ? kRoleDialog : kRoleFrame;
        case ViewKind::kPushButton:
            return kRolePushButton;
        case ViewKind::kCheckBox:
            return kRoleCheckBox;
        case ViewKind::kRadioButton:
            return kRoleRadioButton;
        case ViewKind::kGroupBox:
            return kRolePanel;
        case ViewKind::kEdit:
            return view.password ? kRolePasswordText : kRoleText;
        case ViewKind::kText:
            return kRoleLabel;
        case ViewKind::kIcon:
            return kRoleIcon;
        case ViewKind::kStaticFrame:
        case ViewKind::kMenu:
        case ViewKind::kOther:
            break;
    }
    return kRoleFiller;
}

States StatesOf(const WindowView& view, bool showing) {
    States states = Bit(kStateVisible);
    if (showing) states |= Bit(kStateShowing);
    if (view.enabled) states |= Bit(kStateEnabled) | Bit(kStateSensitive);
    if (view.focused) states |= Bit(kStateFocused);
    if (view.active) states |= Bit(kStateActive);
    if (view.modal) states |= Bit(kStateModal);
    if (view.minimized) states |= Bit(kStateIconified);
    switch (view.kind) {
        case ViewKind::kCheckBox:
        case ViewKind::kRadioButton:
            states |= Bit(kStateCheckable);
            if (view.checked) states |= Bit(kStateChecked);
            if (view.indeterminate) states |= Bit(kStateIndeterminate);
            [[fallthrough]];
        case ViewKind::kPushButton:
            if (view.enabled) states |= Bit(kStateFocusable);
            if (view.isDefault) states |= Bit(kStateIsDefault);
            if (view.pushed) states |= Bit(kStatePressed);
            break;
        case ViewKind::kEdit:
            if (view.enabled) states |= Bit(kStateFocusable);
            states |= Bit(kStateSingleLine) | Bit(kStateSelectableText);
            states |= Bit(view.readOnly ? kStateReadOnly : kStateEditable);
            break;
        default:
            break;
    }
    return states;
}

void Read(AccessibleTree& tree, const WindowView& view, const std::vector<WindowView>& siblings,
          HWND parent, HWND topLevel, bool showing) {
    const bool isTop = parent == nullptr;
    Accessible object;
    object.handle = view.handle;
    object.parent = parent;
    object.topLevel = topLevel;
    object.role = RoleOf(view, isTop);
    object.states = StatesOf(view, showing);
    object.extents = view.window;
    object.client = view.client;
    object.pressable = view.kind == ViewKind::kPushButton || view.kind == ViewKind::kCheckBox ||
                       view.kind == ViewKind::kRadioButton;
    if (view.kind == ViewKind::kEdit) {
        // An edit's own text is its content: its name is the label that names it.
        object.labelledBy = view.label;
        for (const WindowView& sibling : siblings) {
            if (sibling.handle == view.label) object.name = Utf16ToUtf8(sibling.shown);
        }
        const std::vector<CodePoint> points = DecodeUtf16(view.password ? view.shown : view.text);
        object.hasText = true;
        object.editable = !view.readOnly;
        object.text = CodePointsOf(points);
        object.shown = view.shown;
        for (const CodePoint& point : points) object.unitOf.push_back(point.index);
        object.unitOf.push_back(view.shown.size());
        object.firstVisible = view.firstVisible;
        object.caret = CodePointsBefore(points, view.caret);
        if (view.showSelection) {
            object.selectionLow = CodePointsBefore(points, view.selectionLow);
            object.selectionHigh = CodePointsBefore(points, view.selectionHigh);
        }
    } else if (view.kind != ViewKind::kIcon) {
        object.name = Utf16ToUtf8(view.shown);
    }
    if (view.focused) tree.focused = view.handle;
    for (const WindowView& child : view.children) {
        object.children.push_back(child.handle);
        Read(tree, child, view.children, view.handle, topLevel, showing);
    }
    tree.objects[view.handle] = std::move(object);
}

Event Of(HWND source, const char* kind, const char* member, std::string detail = {},
         int detail1 = 0, int detail2 = 0, std::string text = {}) {
    Event event;
    event.source = source;
    event.kind = kind;
    event.member = member;
    event.detail = std::move(detail);
    event.detail1 = detail1;
    event.detail2 = detail2;
    event.text = std::move(text);
    return event;
}

Event ChildEvent(HWND parent, const char* detail, std::size_t index, HWND child) {
    Event event = Of(parent, "Object", "ChildrenChanged", detail, static_cast<int>(index));
    event.child = child;
    event.carriesChild = true;
    return event;
}

bool Contains(const std::vector<HWND>& handles, HWND handle) {
    return std::find(handles.begin(), handles.end(), handle) != handles.end();
}

// Children that left `before` and joined `after`, as ChildrenChanged events of `parent`.
void ChildrenChanged(std::vector<Event>& events, HWND parent, const std::vector<HWND>& before,
                     const std::vector<HWND>& after) {
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (!Contains(after, before[i]))
            events.push_back(ChildEvent(parent, "remove", i, before[i]));
    }
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (!Contains(before, after[i])) events.push_back(ChildEvent(parent, "add", i, after[i]));
    }
}

void StateChanged(std::vector<Event>& events, HWND source, unsigned state, bool on) {
    events.push_back(Of(source, "Object", "StateChanged", StateEventName(state), on ? 1 : 0));
}

void TextChanged(std::vector<Event>& events, const Accessible& before, const Accessible& after) {
    const std::u32string& old = before.text;
    const std::u32string& now = after.text;
    if (old != now) {
        std::size_t prefix = 0;
        while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix]) ++prefix;
        std::size_t suffix = 0;
        while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
               old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix])
            ++suffix;
        const std::size_t removed = old.size() - prefix - suffix;
        const std::size_t added = now.size() - prefix - suffix;
        if (removed > 0)
            events.push_back(Of(after.handle, "Object", "TextChanged", "delete",
                                static_cast<int>(prefix), static_cast<int>(removed),
                                Utf8Of(old.substr(prefix, removed))));
        if (added > 0)
            events.push_back(Of(after.handle, "Object", "TextChanged", "insert",
                                static_cast<int>(prefix), static_cast<int>(added),
                                Utf8Of(now.substr(prefix, added))));
    }
    if (old != now || before.caret != after.caret)
        events.push_back(
            Of(after.handle, "Object", "TextCaretMoved", "", static_cast<int>(after.caret)));
    if (before.selectionLow != after.selectionLow || before.selectionHigh != after.selectionHigh)
        events.push_back(Of(after.handle, "Object", "TextSelectionChanged"));
}

}  // namespace

const char* RoleName(std::uint32_t role) {
    switch (role) {
        case kRoleCheckBox:
            return "check box";
        case kRoleDialog:
            return "dialog";
        case kRoleFrame:
            return "frame";
        case kRoleIcon:
            return "icon";
        case kRoleLabel:
            return "label";
        case kRolePanel:
            return "panel";
        case kRolePasswordText:
            return "password text";
        case kRolePushButton:
            return "push button";
        case kRoleRadioButton:
            return "radio button";
        case kRoleText:
            return "text";
        case kRoleApplication:
            return "application";
        default:
            return "filler";
    }
}

const char* StateEventName(unsigned state) {
    switch (state) {
        case kStateActive:
            return "active";
        case kStateChecked:
            return "checked";
        case kStateEditable:
            return "editable";
        case kStateEnabled:
            return "enabled";
        case kStateFocusable:
            return "focusable";
        case kStateFocused:
            return "focused";
        case kStateIconified:
            return "iconified";
        case kStateModal:
            return "modal";
        case kStatePressed:
            return "pressed";
        case kStateSensitive:
            return "sensitive";
        case kStateShowing:
            return "showing";
        case kStateSingleLine:
            return "single-line";
        case kStateVisible:
            return "visible";
        case kStateIndeterminate:
            return "indeterminate";
        case kStateSelectableText:
            return "selectable-text";
        case kStateIsDefault:
            return "is-default";
        case kStateCheckable:
            return "checkable";
        case kStateReadOnly:
            return "read-only";
        default:
            return nullptr;
    }
}

const Accessible* AccessibleTree::Find(HWND handle) const {
    auto found = objects.find(handle);
    return found != objects.end() ? &found->second : nullptr;
}

AccessibleTree ReadTree(const std::vector<WindowView>& screen) {
    AccessibleTree tree;
    for (const WindowView& view : screen) {
        tree.topLevel.push_back(view.handle);
        Read(tree, view, screen, nullptr, view.handle, !view.minimized);
    }
    for (auto& [handle, object] : tree.objects) {
        auto label = tree.objects.find(object.labelledBy);
        if (label != tree.objects.end()) label->second.labelFor.push_back(handle);
    }
    return tree;
}

std::vector<Event> Changes(const AccessibleTree& before, const AccessibleTree& after) {
    std::vector<Event> events;
    ChildrenChanged(events, nullptr, before.topLevel, after.topLevel);
    for (HWND top : before.topLevel) {
        if (!Contains(after.topLevel, top)) events.push_back(Of(top, "Window", "Destroy"));
    }
    for (HWND top : after.topLevel) {
        if (!Contains(before.topLevel, top)) events.push_back(Of(top, "Window", "Create"));
    }
    for (const auto& [handle, object] : after.objects) {
        if (const Accessible* old = before.Find(handle))
            ChildrenChanged(events, handle, old->children, object.children);
    }
    // Activation: the window left first, then the one entered.
    auto isActive = [](const AccessibleTree& tree, HWND top) {
        const Accessible* object = tree.Find(top);
        return object != nullptr && (object->states & Bit(kStateActive));
    };
    for (HWND top : before.topLevel) {
        if (isActive(before, top) && !isActive(after, top) && after.Find(top) != nullptr) {
            StateChanged(events, top, kStateActive, false);
            events.push_back(Of(top, "Window", "Deactivate"));
        }
    }
    for (HWND top : after.topLevel) {
        if (isActive(after, top) && !isActive(before, top)) {
            StateChanged(events, top, kStateActive, true);
            events.push_back(Of(top, "Window", "Activate"));
        }
    }
    if (before.focused != after.focused) {
        if (before.focused != nullptr && after.Find(before.focused) != nullptr)
            StateChanged(events, before.focused, kStateFocused, false);
        if (after.focused != nullptr) {
            StateChanged(events, after.focused, kStateFocused, true);
            events.push_back(Of(after.focused, "Focus", "Focus"));
        }
    }
    for (const auto& [handle, object] : after.objects) {
        const Accessible* old = before.Find(handle);
        if (old == nullptr) continue;
        if (old->name != object.name)
            events.push_back(
                Of(handle, "Object", "PropertyChange", "accessible-name", 0, 0, object.name));
        const States changed =
            (old->states ^ object.states) & ~(Bit(kStateActive) | Bit(kStateFocused));
        for (unsigned state = 0; state < 64; ++state) {
            if ((changed & (States{1} << state)) && StateEventName(state) != nullptr)
                StateChanged(events, handle, state, (object.states >> state) & 1);
        }
        if (object.hasText) TextChanged(events, *old, object);
    }
    return events;
}

}  // namespace win32::atspi
