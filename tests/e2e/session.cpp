// SPDX-License-Identifier: MIT
#include <windows.h>

#include "session.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "app/win_main.h"
#include "support/openssl_reference.h"

namespace e2e {

namespace {

// The sessions run on a Chinese (PRC) system, the tool's home, with ANSI code page 936, unless
// the suite names another locale in E2E_LOCALE. The program fixes its code page at first use,
// so the locale is set before any test runs.
class ChineseSystem : public testing::Environment {
public:
    void SetUp() override {
        const char* chosen = std::getenv("E2E_LOCALE");
        setenv("LC_ALL", chosen != nullptr ? chosen : "zh_CN.UTF-8", 1);
    }
};

[[maybe_unused]] testing::Environment* const kChineseSystem =
    testing::AddGlobalTestEnvironment(new ChineseSystem);

}  // namespace

HWND FindWindowByCaption(std::u16string_view caption) {
    for (HWND h = GetTopWindow(nullptr); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
        if (TextOf(h) == caption) return h;
    }
    return nullptr;
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

std::u16string ReferenceCipherText(const std::string& ansi) {
    const std::string text = test::ReferenceCipherText(ansi);
    return std::u16string(text.begin(), text.end());
}

Session& Session::Press(UINT virtualKey, unsigned modifiers) {
    return Then([=] { headless::PressKey(virtualKey, modifiers); });
}

Session& Session::Type(std::u16string text) {
    return Then([text] { headless::Type(text); });
}

Session& Session::Click(int controlId) {
    return ClickAt([this, controlId] {
        EXPECT_NE(Control(controlId), nullptr) << "control " << controlId;
        return CenterOf(Control(controlId));
    });
}

Session& Session::ClickAt(std::function<POINT()> where) {
    return Then([where] { headless::Click(where()); });
}

Session& Session::Fill(int id, const std::u16string& text) {
    return Click(id).Press(VK_END).Press(VK_HOME, headless::kShift).Type(text);
}

Session& Session::Copy(int from, int to) {
    Click(from).Press(VK_END).Press(VK_HOME, headless::kShift).Press('C', headless::kControl);
    return Click(to).Press(VK_END).Press(VK_HOME, headless::kShift).Press('V', headless::kControl);
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
