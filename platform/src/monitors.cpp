// SPDX-License-Identifier: MIT
// Monitors, system metrics and the non-client parameters, as the display reports them. Monitor
// handles stay valid while the display's monitors stay the same; when they change, the old
// handles become stale.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "src/display_manager.h"
#include "src/fonts.h"
#include "src/handles.h"
#include "src/window.h"

namespace win32 {

namespace {

struct MonitorRecord {
    MonitorArea area;
    int number;  // 1-based; 1 is the primary monitor
};

struct MonitorRegistry {
    HandleTable<MonitorRecord> table{HandleKind::kMonitor};
    std::vector<MonitorArea> known;
    std::vector<HMONITOR> handles;
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool SameMonitors(const std::vector<MonitorArea>& a, const std::vector<MonitorArea>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return SameRect(x.monitor, y.monitor) && SameRect(x.work, y.work);
    });
}

// The current monitors' handles, primary first.
const std::vector<HMONITOR>& MonitorHandles() {
    static MonitorRegistry* registry = new MonitorRegistry;
    std::vector<MonitorArea> monitors = CurrentMonitors();
    if (!SameMonitors(monitors, registry->known)) {
        for (HMONITOR old : registry->handles) registry->table.Remove(HandleValue(old));
        registry->handles.clear();
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            auto record = std::make_unique<MonitorRecord>(
                MonitorRecord{monitors[i], static_cast<int>(i + 1)});
            registry->handles.push_back(
                MakeHandle<HMONITOR>(registry->table.Add(std::move(record))));
        }
        registry->known = monitors;
    }
    return registry->handles;
}

long long Area(const RECT& r) {
    return static_cast<long long>(std::max(0, r.right - r.left)) * std::max(0, r.bottom - r.top);
}

// Squared distance between two rectangles; 0 when they touch or overlap.
long long Distance(const RECT& a, const RECT& b) {
    long long dx = std::max(
        {0LL, static_cast<long long>(b.left) - a.right, static_cast<long long>(a.left) - b.right});
    long long dy = std::max(
        {0LL, static_cast<long long>(b.top) - a.bottom, static_cast<long long>(a.top) - b.bottom});
    return dx * dx + dy * dy;
}

HMONITOR Fallback(const RECT& rect, DWORD flags) {
    const std::vector<HMONITOR>& handles = MonitorHandles();
    if (handles.empty() || flags == MONITOR_DEFAULTTONULL) return nullptr;
    if (flags == MONITOR_DEFAULTTOPRIMARY) return handles[0];
    const std::vector<MonitorArea> monitors = CurrentMonitors();
    std::size_t nearest = 0;
    long long best = LLONG_MAX;
    for (std::size_t i = 0; i < monitors.size() && i < handles.size(); ++i) {
        long long distance = Distance(rect, monitors[i].monitor);
        if (distance < best) {
            best = distance;
            nearest = i;
        }
    }
    return handles[nearest];
}

// The monitor with the largest share of the rectangle; a rectangle without area counts by its
// top-left corner.
HMONITOR MonitorForRect(const RECT& rect, DWORD flags) {
    const std::vector<HMONITOR>& handles = MonitorHandles();
    const std::vector<MonitorArea> monitors = CurrentMonitors();
    long long best = 0;
    HMONITOR found = nullptr;
    for (std::size_t i = 0; i < monitors.size() && i < handles.size(); ++i) {
        RECT overlap;
        if (IntersectRect(&overlap, &rect, &monitors[i].monitor) && Area(overlap) > best) {
            best = Area(overlap);
            found = handles[i];
        }
    }
    if (found == nullptr && Area(rect) == 0) {
        POINT corner{rect.left, rect.top};
        for (std::size_t i = 0; i < monitors.size() && i < handles.size(); ++i) {
            if (PtInRect(&monitors[i].monitor, corner)) return handles[i];
        }
    }
    return found != nullptr ? found : Fallback(rect, flags);
}

}  // namespace

}  // namespace win32

HMONITOR WINAPI MonitorFromRect(LPCRECT lprc, DWORD dwFlags) {
    if (lprc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return win32::MonitorForRect(*lprc, dwFlags);
}

HMONITOR WINAPI MonitorFromPoint(POINT pt, DWORD dwFlags) {
    RECT point{pt.x, pt.y, pt.x, pt.y};
    return win32::MonitorForRect(point, dwFlags);
}

HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD dwFlags) {
    win32::Window* window = win32::CheckWindow(hwnd);
    if (window == nullptr) return nullptr;
    // A minimised window counts where it will be restored to.
    RECT rect = window->IsMinimized() && !window->IsChild() ? window->restoredRect
                                                            : win32::WindowRectOnScreen(*window);
    return win32::MonitorForRect(rect, dwFlags);
}

BOOL WINAPI GetMonitorInfoW(HMONITOR hMonitor, LPMONITORINFO lpmi) {
    const std::vector<HMONITOR>& handles = win32::MonitorHandles();
    auto it = std::find(handles.begin(), handles.end(), hMonitor);
    if (hMonitor == nullptr || it == handles.end()) {
        SetLastError(ERROR_INVALID_MONITOR_HANDLE);
        return FALSE;
    }
    if (lpmi == nullptr ||
        (lpmi->cbSize != sizeof(MONITORINFO) && lpmi->cbSize != sizeof(MONITORINFOEXW))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::size_t index = static_cast<std::size_t>(it - handles.begin());
    const std::vector<win32::MonitorArea> monitors = win32::CurrentMonitors();
    if (index >= monitors.size()) {
        SetLastError(ERROR_INVALID_MONITOR_HANDLE);
        return FALSE;
    }
    lpmi->rcMonitor = monitors[index].monitor;
    lpmi->rcWork = monitors[index].work;
    lpmi->dwFlags = index == 0 ? MONITORINFOF_PRIMARY : 0;
    if (lpmi->cbSize == sizeof(MONITORINFOEXW)) {
        auto* ex = static_cast<MONITORINFOEXW*>(lpmi);
        std::u16string name = u"\\\\.\\DISPLAY";
        for (char c : std::to_string(index + 1)) name.push_back(static_cast<char16_t>(c));
        std::fill(std::begin(ex->szDevice), std::end(ex->szDevice), u'\0');
        std::copy(name.begin(), name.end(), ex->szDevice);
    }
    return TRUE;
}

int WINAPI GetSystemMetrics(int nIndex) {
    const win32::SystemMetricsSet metrics = win32::CurrentMetrics();
    const std::vector<win32::MonitorArea> monitors = win32::CurrentMonitors();
    RECT primary = monitors.empty() ? RECT{} : monitors[0].monitor;
    RECT work = monitors.empty() ? RECT{} : monitors[0].work;
    RECT virtualScreen = primary;
    for (const auto& monitor : monitors) {
        virtualScreen.left = std::min(virtualScreen.left, monitor.monitor.left);
        virtualScreen.top = std::min(virtualScreen.top, monitor.monitor.top);
        virtualScreen.right = std::max(virtualScreen.right, monitor.monitor.right);
        virtualScreen.bottom = std::max(virtualScreen.bottom, monitor.monitor.bottom);
    }
    switch (nIndex) {
        case SM_CXSCREEN:
            return primary.right - primary.left;
        case SM_CYSCREEN:
            return primary.bottom - primary.top;
        case SM_CXFULLSCREEN:
            return work.right - work.left;
        case SM_CYFULLSCREEN:
            return work.bottom - work.top - metrics.captionHeight;
        case SM_CXMAXIMIZED:
            return work.right - work.left + 2 * metrics.sizeFrameWidth;
        case SM_CYMAXIMIZED:
            return work.bottom - work.top + 2 * metrics.sizeFrameWidth;
        case SM_XVIRTUALSCREEN:
            return virtualScreen.left;
        case SM_YVIRTUALSCREEN:
            return virtualScreen.top;
        case SM_CXVIRTUALSCREEN:
            return virtualScreen.right - virtualScreen.left;
        case SM_CYVIRTUALSCREEN:
            return virtualScreen.bottom - virtualScreen.top;
        case SM_CMONITORS:
            return static_cast<int>(monitors.size());
        case SM_SAMEDISPLAYFORMAT:
            return 1;
        case SM_MOUSEPRESENT:
            return 1;
        case SM_CYCAPTION:
            return metrics.captionHeight;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return metrics.borderWidth;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return metrics.dialogFrameWidth;
        case SM_CXFRAME:
        case SM_CYFRAME:
            return metrics.sizeFrameWidth;
        case SM_CXEDGE:
        case SM_CYEDGE:
            return metrics.edgeWidth;
        case SM_CXSIZE:
            return metrics.captionButtonWidth;
        case SM_CYSIZE:
            return metrics.captionHeight;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR:
            return metrics.iconWidth;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return metrics.smallIconWidth;
        case SM_CXMINIMIZED:
            return metrics.minimizedWidth;
        case SM_CYMINIMIZED:
            return metrics.minimizedHeight;
        default:
            return 0;
    }
}

BOOL WINAPI SystemParametersInfoW(UINT uiAction, UINT, PVOID pvParam, UINT) {
    if (uiAction != SPI_GETNONCLIENTMETRICS) {
        SetLastError(ERROR_INVALID_SPI_VALUE);
        return FALSE;
    }
    auto* metrics = static_cast<NONCLIENTMETRICSW*>(pvParam);
    // Windows takes the record with or without the padded border that Vista added, no other.
    constexpr UINT kWithoutPadding = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (metrics == nullptr ||
        (metrics->cbSize != sizeof(NONCLIENTMETRICSW) && metrics->cbSize != kWithoutPadding)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const win32::SystemMetricsSet system = win32::CurrentMetrics();
    const LOGFONTW font = win32::ToLogFont(win32::MessageFont());
    // The layer has no scroll bars and no menu bars: those sizes are 0, as GetSystemMetrics says.
    NONCLIENTMETRICSW answer{};
    answer.cbSize = metrics->cbSize;
    answer.iBorderWidth = system.borderWidth;
    answer.iCaptionWidth = answer.iSmCaptionWidth = system.captionButtonWidth;
    answer.iCaptionHeight = answer.iSmCaptionHeight = system.captionHeight;
    answer.lfCaptionFont = answer.lfSmCaptionFont = answer.lfMenuFont = answer.lfStatusFont =
        answer.lfMessageFont = font;
    std::memcpy(metrics, &answer, metrics->cbSize);
    return TRUE;
}
