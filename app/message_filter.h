// SPDX-License-Identifier: MIT
// The two interfaces through which a window joins its thread's message loop: a filter that sees
// every message before it is dispatched, and a handler that runs when the queue runs dry.
#pragma once

#include <windows.h>

class CMessageFilter {
public:
    // Returns TRUE when the message was handled and must not be translated or dispatched.
    virtual BOOL PreTranslateMessage(MSG* pMsg) = 0;

protected:
    ~CMessageFilter() = default;
};

class CIdleHandler {
public:
    virtual BOOL OnIdle() = 0;

protected:
    ~CIdleHandler() = default;
};
