#pragma once
// The fixture of the tests of the add-in's dialogs that show or fetch the
// maker's web site: a registry in memory whose "WebSite" a test points at
// (a loopback server), and the add-in's resources current.
#include "app/WebAddresses.h"
#include "support/kelvarin_resources.h"

#include "hostreg/registry.h"

#include <gtest/gtest.h>

#include <string>

class MakerSiteDialogs : public ::testing::Test {
protected:
    void SetUp() override { hostRegistryOpenInMemory(); }
    void TearDown() override { hostRegistryClose(); }
    void pointAt(const std::string& site) {
        HKEY key = nullptr;
        RegCreateKeyEx(HKEY_LOCAL_MACHINE, kelvarin::kMachineKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                       nullptr, &key, nullptr);
        RegSetValueEx(key, kelvarin::kWebSiteValue, 0, REG_SZ,
                      reinterpret_cast<const BYTE*>(site.c_str()),
                      static_cast<DWORD>(site.size() + 1));
        RegCloseKey(key);
    }

    KelvarinResources resources;
};
