#pragma once
// Shared set-up of the runtime tests: a fresh runtime per test, a waiter that
// feeds script lines when a prompt runs dry, and the paths of test modules.

#include "arxHeaders.h"

#include "cadhost/command_log.h"
#include "cadhost/command_processor.h"
#include "cadhost/documents.h"
#include "cadhost/input_broker.h"
#include "cadhost/module_loader.h"
#include "cadhost/resources.h"
#include "cadhost/runtime.h"
#include "cadhost/system_variables.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace cadhost::test {

// Answers a waiting prompt with the next scripted line; gives up (the prompt
// is cancelled) when the lines run out, as a script that ended does.
class ScriptedWaiter : public InputWaiter {
public:
    std::deque<std::string> lines;
    int waits = 0;
    bool wait() override {
        ++waits;
        if (lines.empty())
            return false;
        InputBroker::instance().submitLine(lines.front(), InputSource::Script);
        lines.pop_front();
        return true;
    }
};

inline std::filesystem::path binaryDir() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    buf[n > 0 ? n : 0] = '\0';
    return std::filesystem::path(buf).parent_path();
}

inline std::string modulePath(const std::string& file) {
    return (binaryDir() / file).string();
}

class RuntimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetRuntimeState();
        InputBroker::instance().setWaiter(&waiter);
        mark = CommandLineLog::instance().historySize();
    }
    void TearDown() override {
        InputBroker::instance().setWaiter(nullptr);
        ModuleLoader::instance().unloadAll();
        resetRuntimeState();
        for (const char* group : {"TEST", "TEST2"})
            acedRegCmds->removeGroup(group);
    }

    // The command-line text printed since the test began (or since the last take()).
    std::string log() const { return CommandLineLog::instance().historySince(mark); }
    std::string take() {
        std::string text = log();
        mark = CommandLineLog::instance().historySize();
        return text;
    }
    // Feeds text as the command line would and lets the processor run it.
    void type(const std::string& line) {
        InputBroker::instance().submitLine(line, InputSource::Typed);
        CommandProcessor::instance().processPending();
    }
    AcApDocument* newDrawing() { return acDocManagerPtr()->newDocument(); }

    ScriptedWaiter waiter;
    std::size_t mark = 0;
};

} // namespace cadhost::test
