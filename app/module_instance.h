// SPDX-License-Identifier: MIT
// The program's instance handles: the image it runs from, which also holds every resource
// (dialog templates and the icon). Set once, at static construction.
#pragma once

#include <windows.h>

class CModuleInstance {
public:
    CModuleInstance();
    ~CModuleInstance();
    CModuleInstance(const CModuleInstance&) = delete;
    CModuleInstance& operator=(const CModuleInstance&) = delete;

    HINSTANCE GetModuleInstance() const { return m_hInst; }
    HINSTANCE GetResourceInstance() const { return m_hInstResource; }

private:
    HINSTANCE m_hInst;
    HINSTANCE m_hInstResource;
    CRITICAL_SECTION m_lock;
};

extern CModuleInstance g_moduleInstance;
