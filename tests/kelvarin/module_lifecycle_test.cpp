// Kelvarin.arx as the host loads it: the handshake, its fifteen commands in
// their group and order, unload removing exactly those, and a second load.
#include "runtime_core/runtime_fixture.h"

#include <gtest/gtest.h>

namespace {

const char* const kGlobalNames[15] = {
    "_VOREL_KELVARIN_TRYMEROVIN", "_VOREL_KELVARIN_DBSETTING", "_VOREL_KELVARIN_ABOUT",
    "_VOREL_KELVARIN_UPDATE",     "_VOREL_KELVARIN_SUPPORT",   "_VOREL_KELVARIN_FAQ",
    "_VOREL_KELVARIN_NEW",        "_VOREL_KELVARIN_WEBSITE",   "_VOREL_KELVARIN_DEMO",
    "_VOREL_KELVARIN_HELP",       "_VOREL_KELVARIN_SHOW",      "_AcadKelvarinTest",
    "_ApplyTableStyle",           "_OpenTemplateAsTable",      "_SaveTableAsTemplate"};

class KelvarinModule : public cadhost::test::RuntimeTest {
protected:
    std::vector<std::string> commandNames() {
        std::vector<std::string> names;
        for (AcEdCommand* cmd : acedRegCmds->groupCommands("vorAcadKelvarin"))
            names.push_back(cmd->globalName());
        return names;
    }
    const std::string path = cadhost::test::modulePath("Kelvarin.arx");
};

TEST_F(KelvarinModule, LoadsRegistersItsCommandsAndUnloadsCleanly) {
    newDrawing();
    acedRegCmds->addCommand("OTHER", "_KEEPME", "KEEPME", 0, [] {});
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(acedArxLoad(path.c_str()), RTNORM) << log();
        EXPECT_EQ(commandNames(),
                  std::vector<std::string>(std::begin(kGlobalNames), std::end(kGlobalNames)));
        for (AcEdCommand* cmd : acedRegCmds->groupCommands("vorAcadKelvarin")) {
            EXPECT_EQ(cmd->commandFlags(), ACRX_CMD_TRANSPARENT);
            EXPECT_NE(cmd->resourceHandle(), nullptr);
        }
        // Without a frame there is no toolbar, and the commands still work.
        EXPECT_NE(log().find("Can't create toolbar."), std::string::npos);
        type("_AcadKelvarinTest ");
        type("VOREL_KELVARIN_SHOW ");
        EXPECT_EQ(log().find("Unknown command"), std::string::npos) << log();
        ASSERT_EQ(acedArxUnload("Kelvarin.arx"), RTNORM);
        EXPECT_TRUE(commandNames().empty());
        EXPECT_NE(acedRegCmds->lookupGlobalCmd("_KEEPME"), nullptr);
        take();
    }
    acedRegCmds->removeGroup("OTHER");
}

} // namespace
