// GetModuleFileNameA: a loaded module's own file, the host's executable,
// short buffers and unknown handles.
#include "runtime_fixture.h"

#include <filesystem>

namespace cadhost::test {
namespace {

class ModuleFileNameTest : public RuntimeTest {};

TEST_F(ModuleFileNameTest, ALoadedModuleGetsItsAbsoluteFilePath) {
    // Loaded by a relative path: the answer is still absolute.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(binaryDir());
    ASSERT_EQ(acedArxLoad("testmod.arx"), RTNORM) << log();
    std::filesystem::current_path("/");
    const ModuleRecord* m = ModuleLoader::instance().find("testmod.arx");
    ASSERT_NE(m, nullptr);
    char buffer[260];
    DWORD n = GetModuleFileNameA(m->handle, buffer, sizeof buffer);
    std::filesystem::current_path(previous);
    const std::string expected = (binaryDir() / "testmod.arx").lexically_normal().string();
    EXPECT_EQ(std::string(buffer), expected);
    EXPECT_EQ(n, expected.size());
    EXPECT_EQ(acedArxUnload("testmod.arx"), RTNORM);
}

TEST_F(ModuleFileNameTest, ShortBuffersAreCutAndTerminated) {
    ASSERT_EQ(acedArxLoad(modulePath("testmod.arx").c_str()), RTNORM) << log();
    HMODULE h = ModuleLoader::instance().find("testmod.arx")->handle;
    char small[8];
    std::memset(small, 'z', sizeof small);
    EXPECT_EQ(GetModuleFileNameA(h, small, sizeof small), 8u);
    EXPECT_EQ(std::strlen(small), 7u);
    EXPECT_EQ(GetModuleFileNameA(h, small, 0), 0u);
    EXPECT_EQ(acedArxUnload("testmod.arx"), RTNORM);
}

TEST_F(ModuleFileNameTest, NullIsTheExecutableAndUnknownHandlesGiveNothing) {
    char buffer[4096];
    ASSERT_GT(GetModuleFileNameA(nullptr, buffer, sizeof buffer), 0u);
    EXPECT_EQ(std::filesystem::path(buffer).filename(), "runtime_core_tests");
    static int notAModule = 0;
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(&notAModule), buffer, sizeof buffer),
              0u);
}

} // namespace
} // namespace cadhost::test
