// SPDX-License-Identifier: MIT
#include <windows.h>

#include "app/module_instance.h"

CModuleInstance g_moduleInstance;

CModuleInstance::CModuleInstance() : m_hInst(GetModuleHandleW(nullptr)), m_hInstResource(m_hInst) {
    InitializeCriticalSection(&m_lock);
}

CModuleInstance::~CModuleInstance() { DeleteCriticalSection(&m_lock); }
