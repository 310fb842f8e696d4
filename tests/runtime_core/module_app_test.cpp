// The module application frame: message dispatch to the handlers and the
// per-document data manager following the document manager.
#include "runtime_fixture.h"

namespace cadhost::test {
namespace {

// Records which handler each message reached.
class RecordingApp : public AcRxArxApp {
public:
    std::vector<std::string> calls;
    void* lastPacket = nullptr;
#define RECORD(NAME)                                                                               \
    AcRx::AppRetCode NAME(void* pkt) override {                                                    \
        calls.push_back(#NAME);                                                                    \
        lastPacket = pkt;                                                                          \
        return AcRx::kRetError;                                                                    \
    }
    RECORD(On_kNullMsg)
    RECORD(On_kInitAppMsg)
    RECORD(On_kUnloadDwgMsg)
    RECORD(On_kInvkSubrMsg)
    RECORD(On_kEndDialogMsg)
#undef RECORD
};

TEST(ModuleApp, CodesReachTheirHandlersAndOthersDoNothing) {
    RecordingApp app;
    int packet = 0;
    EXPECT_EQ(app.dispatch(AcRx::kInitAppMsg, &packet), AcRx::kRetError);
    EXPECT_EQ(app.lastPacket, &packet);
    EXPECT_EQ(app.dispatch(0, nullptr), AcRx::kRetError);
    EXPECT_EQ(app.dispatch(4, nullptr), AcRx::kRetError);
    EXPECT_EQ(app.dispatch(5, nullptr), AcRx::kRetError);
    EXPECT_EQ(app.dispatch(15, nullptr), AcRx::kRetError);
    EXPECT_EQ(app.calls,
              (std::vector<std::string>{"On_kInitAppMsg", "On_kNullMsg", "On_kUnloadDwgMsg",
                                        "On_kInvkSubrMsg", "On_kEndDialogMsg"}));
    app.calls.clear();
    // Handlers not overridden answer 0, as do codes outside 0..15.
    for (int code : {2, 3, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, -1, 1000})
        EXPECT_EQ(app.dispatch(code, nullptr), AcRx::kRetOK) << code;
    EXPECT_TRUE(app.calls.empty());
    EXPECT_EQ(app.RegisterServerComponents(), AcRx::kRetOK);
}

struct DocCounter {
    int value = 0;
};

class ModuleAppTest : public RuntimeTest {};

TEST_F(ModuleAppTest, DataManagerKeepsOneEntryPerLiveDocument) {
    AcApDocument* first = newDrawing();
    AcApDocument* second = newDrawing();
    ASSERT_EQ(acDocManagerPtr()->curDocument(), second);
    {
        AcApDataManager<DocCounter> data;
        data.docData().value = 2; // the active document
        data.docData(first).value = 1;
        EXPECT_EQ(data.docData(second).value, 2);
        EXPECT_EQ(data.size(), 2u);

        ASSERT_EQ(acDocManagerPtr()->closeDocument(first), Acad::eOk);
        EXPECT_FALSE(data.hasData(first)) << "the entry goes with its document";
        EXPECT_TRUE(data.hasData(second));
        EXPECT_EQ(data.size(), 1u);
    }
    // The manager unregistered itself: closing now must not reach it.
    EXPECT_EQ(acDocManagerPtr()->closeDocument(second), Acad::eOk);
}

TEST_F(ModuleAppTest, ResourceOverridePushesAndPopsOnEveryExit) {
    auto* module = reinterpret_cast<HINSTANCE>(0x2000);
    try {
        CAcModuleResourceOverride scope(module);
        EXPECT_EQ(acDocManagerPtr()->currentResourceHandle(), module);
        throw std::runtime_error("dialog failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(acDocManagerPtr()->currentResourceHandle(), nullptr);
}

} // namespace
} // namespace cadhost::test
