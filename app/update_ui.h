// SPDX-License-Identifier: MIT
// The UI-update helper: keeps the state of the UI items named by the class's update map (menu
// items, toolbar buttons) and the windows whose children it would update. The main dialog's map
// is empty, so the helper only holds its records.
#pragma once

#include <windows.h>

#include <vector>

class CUpdateUIBase {
public:
    // One entry of a class's update map; the map ends with an entry of id kMapEnd.
    struct UIMapEntry {
        WORD id;
        WORD type;
    };
    static constexpr WORD kMapEnd = 0xFFFF;
    // Kinds of registered windows.
    static constexpr WORD kChildWindow = 0x0010;

    // Registers hWnd as a window whose child controls follow the map.
    BOOL UIAddChildWindowContainer(HWND hWnd);

protected:
    // The state of one map item (enabled, checked, text); zero when nothing was set.
    struct UIState {
        WORD type;
        WORD state;
        void* data;
    };
    struct UIElement {
        WORD type;
        HWND hWnd;
    };

    explicit CUpdateUIBase(const UIMapEntry* map);

    const UIMapEntry* m_pUIMap;
    std::vector<UIState> m_states;
    std::vector<UIElement> m_elements;
};

// T supplies its map with a static GetUpdateUIMap().
template <class T>
class CUpdateUI : public CUpdateUIBase {
public:
    CUpdateUI() : CUpdateUIBase(T::GetUpdateUIMap()) {}
};
