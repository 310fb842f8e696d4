// Start-up, shutdown and reset of the runtime's services.
#include "cadhost/runtime.h"

#include "rxobject.h"

#include "cadhost/cell_selection.h"
#include "cadhost/command_log.h"
#include "cadhost/command_processor.h"
#include "cadhost/documents.h"
#include "cadhost/input_broker.h"
#include "cadhost/module_loader.h"
#include "cadhost/resources.h"
#include "cadhost/selection.h"
#include "cadhost/system_variables.h"
#include "cadhost/ui_services.h"
#include "command_stack.h"
#include "prompt_engine.h"

namespace cadhost {

void defineDocumentVariables(); // documents.cpp

namespace {

bool g_initialised = false;

void defineProcessorVariables() {
    SystemVariables& vars = SystemVariables::instance();
    SysVarDefinition active;
    active.name = "CMDACTIVE";
    active.type = SysVarType::Short;
    active.defaultValue = std::int16_t(0);
    active.readOnly = true;
    active.getter = []() -> SysVarValue {
        return std::int16_t(CommandProcessor::instance().isIdle() ? 0 : 1);
    };
    vars.define(std::move(active));

    SysVarDefinition names;
    names.name = "CMDNAMES";
    names.type = SysVarType::String;
    names.defaultValue = std::string();
    names.readOnly = true;
    names.getter = []() -> SysVarValue {
        std::string joined;
        for (const std::string& n : CommandProcessor::instance().activeCommands())
            joined += (joined.empty() ? "" : "'") + n;
        return joined;
    };
    vars.define(std::move(names));
}

} // namespace

void initializeRuntime() {
    if (g_initialised)
        return;
    g_initialised = true;
    SystemVariables::instance().defineStandard();
    defineDocumentVariables();
    defineProcessorVariables();
    AcRxDictionary* registry = acrxSysRegistry();
    registry->atPut(ACRX_DYNAMIC_LINKER, &ModuleLoader::instance());
    registry->atPut(ACRX_COMMAND_DOCK, &CommandStack::instance());
}

void shutdownRuntime() {
    initializeRuntime();
    DocumentManager::instance().closeAll();
    ModuleLoader::instance().unloadAll();
    InputBroker::instance().clear();
    SelectionSets::instance().clear();
    EntityNames::instance().clear();
    CellSelection::instance().forget();
    UiServices::resetToDefaults();
}

void resetRuntimeState() {
    initializeRuntime();
    DocumentManager::instance().closeAll();
    InputBroker::instance().clear();
    while (InputBroker::instance().requestDepth() > 0)
        InputBroker::instance().popRequest();
    CommandProcessor::instance().reset();
    SelectionSets::instance().clear();
    EntityNames::instance().clear();
    CellSelection::instance().forget();
    SystemVariables::instance().resetToDefaults();
    ResourceModules::instance().clear();
    CommandLineLog::instance().clear();
    takeInitGet();
    UiServices::resetToDefaults();
}

} // namespace cadhost
