// SPDX-License-Identifier: MIT
#include <windows.h>

#include "app/update_ui.h"

CUpdateUIBase::CUpdateUIBase(const UIMapEntry* map) : m_pUIMap(map) {
    std::size_t items = 0;
    while (map[items].id != kMapEnd) ++items;
    m_states.assign(items + 1, UIState{});  // one more record than the map has items
}

BOOL CUpdateUIBase::UIAddChildWindowContainer(HWND hWnd) {
    m_elements.push_back({kChildWindow, hWnd});
    return TRUE;
}
