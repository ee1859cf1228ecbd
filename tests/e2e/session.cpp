#include <windows.h>

#include "session.h"

#include <gtest/gtest.h>

#include "app/win_main.h"

namespace e2e {

namespace headless = win32::headless;

HWND FindWindowByCaption(std::u16string_view caption) {
    for (HWND h = GetTopWindow(nullptr); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
        if (TextOf(h) == caption) return h;
    }
    return nullptr;
}

std::u16string TextOf(HWND hWnd) {
    WCHAR buffer[512] = {};
    const int n = GetWindowTextW(hWnd, buffer, 512);
    return std::u16string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

RECT RectOf(HWND hWnd) {
    RECT r{};
    GetWindowRect(hWnd, &r);
    return r;
}

POINT CenterOf(HWND hWnd) {
    const RECT r = RectOf(hWnd);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT CloseBoxOf(HWND hWnd) {
    RECT client{};
    GetClientRect(hWnd, &client);
    POINT topRight{client.right, 0};
    ClientToScreen(hWnd, &topRight);
    // The caption sits right above the client area, its buttons SM_CXSIZE wide.
    return {topRight.x - GetSystemMetrics(SM_CXSIZE) / 2,
            topRight.y - GetSystemMetrics(SM_CYCAPTION) / 2};
}

Session& Session::Press(UINT virtualKey, unsigned modifiers) {
    m_steps.push_back([=] { headless::PressKey(virtualKey, modifiers); });
    return *this;
}

Session& Session::Type(std::u16string text) {
    m_steps.push_back([text] { headless::Type(text); });
    return *this;
}

Session& Session::Click(int controlId) {
    return ClickAt([this, controlId] {
        HWND control = Control(controlId);
        EXPECT_NE(control, nullptr) << "control " << controlId;
        return CenterOf(control);
    });
}

Session& Session::ClickAt(std::function<POINT()> where) {
    m_steps.push_back([where] { headless::Click(where()); });
    return *this;
}

Session& Session::Then(std::function<void()> look) {
    m_steps.push_back(std::move(look));
    return *this;
}

Session& Session::PostCommand(WORD id) {
    return Then([this, id] { PostMessageW(m_main, WM_COMMAND, id, 0); });
}

void Session::Next() {
    if (m_main == nullptr) m_main = FindWindowByCaption(u"App");
    if (m_steps.empty()) return;
    std::function<void()> step = std::move(m_steps.front());
    m_steps.pop_front();
    step();
    headless::Run([this] { Next(); });
}

int Session::Run(std::u16string commandLine, int showCommand) {
    headless::Run([this] { Next(); });
    std::vector<WCHAR> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    const int code = wWinMain(GetModuleHandleW(nullptr), nullptr, line.data(), showCommand);
    EXPECT_TRUE(m_steps.empty()) << m_steps.size() << " steps never ran";
    headless::ClearScript();
    return code;
}

}  // namespace e2e
