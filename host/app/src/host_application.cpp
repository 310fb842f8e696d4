#include "hostapp/host_application.h"

#include "acdocman.h"
#include "aced.h"
#include "acutads.h"
#include "cadhost/command_log.h"
#include "cadhost/command_processor.h"
#include "cadhost/lisp.h"
#include "cadhost/runtime.h"
#include "cadhost/ui_services.h"
#include "hostapp/options.h"
#include "hostapp/screenshot.h"
#include "hostapp/script_runner.h"
#include "hostapp/transcript.h"
#include "hostreg/registry.h"
#include "hostui/frame_window.h"
#include "hostui/host_commands.h"
#include "hostui/qt_ui_services.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace hostapp {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// The offscreen platform reports what it cannot do (window size hints, a
// runtime folder); none of it matters headless, so it is kept off stderr.
QtMessageHandler g_defaultHandler = nullptr;
void headlessMessageHandler(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (type != QtCriticalMsg && type != QtFatalMsg &&
        (message.startsWith(QLatin1String("This plugin does not support")) ||
         message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))))
        return;
    if (g_defaultHandler)
        g_defaultHandler(type, context, message);
}

// The offscreen platform's screen is 800 x 600 unless a configuration file
// says otherwise. Headless, the screen is made as big as the frame, so that
// windows kept on screen stay inside the frame the screenshots show rather
// than in its top-left corner. Returns the file to remove once the
// application exists; empty (the default screen) when it cannot be written.
std::filesystem::path writeHeadlessScreen() {
    std::error_code ec;
    std::filesystem::path file = std::filesystem::temp_directory_path(ec);
    if (ec)
        return {};
    file /= "cadhost-screen-" + std::to_string(QCoreApplication::applicationPid()) + ".json";
    // The platform option list is split at colons.
    if (file.string().find(':') != std::string::npos)
        return {};
    std::FILE* out = std::fopen(file.c_str(), "w");
    if (!out)
        return {};
    const int written =
        std::fprintf(out,
                     "{\"screens\": [{\"name\": \"headless\", \"x\": 0, \"y\": 0, \"width\": %d, "
                     "\"height\": %d, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}\n",
                     hostui::FrameWindow::kOpenWidth, hostui::FrameWindow::kOpenHeight);
    if (std::fclose(out) != 0 || written <= 0) {
        std::filesystem::remove(file, ec);
        return {};
    }
    return file;
}

void printError(const std::string& text) {
    std::fprintf(stderr, "cadhost: %s\n", text.c_str());
    std::fflush(stderr);
}

// The interactive services, installed while a user sits at the host.
struct InteractiveServices {
    hostui::QtMessageBoxes boxes;
    hostui::QtFileDialogs files;
    hostui::QtShell shell;
    InteractiveServices() {
        cadhost::UiServices::install(static_cast<cadhost::MessageBoxService*>(&boxes));
        cadhost::UiServices::install(static_cast<cadhost::FileDialogService*>(&files));
        cadhost::UiServices::install(static_cast<cadhost::ShellService*>(&shell));
    }
    ~InteractiveServices() {
        cadhost::UiServices::install(static_cast<cadhost::MessageBoxService*>(nullptr));
        cadhost::UiServices::install(static_cast<cadhost::FileDialogService*>(nullptr));
        cadhost::UiServices::install(static_cast<cadhost::ShellService*>(nullptr));
    }
};

class Host {
public:
    explicit Host(const Options& options) : m_options(options) {}
    int run(QApplication& app);

private:
    bool openProfile();
    bool openDrawing();
    void loadModules();
    void finishRun(bool scriptOk);

    const Options& m_options;
    std::string m_profile;
    std::unique_ptr<Transcript> m_transcript;
    std::unique_ptr<hostui::FrameWindow> m_frame;
    std::unique_ptr<ScriptRunner> m_runner;
    std::unique_ptr<InteractiveServices> m_interactive;
    int m_exitCode = kExitOk;
};

bool Host::openProfile() {
    m_profile = m_options.profileDir.empty() ? defaultProfileDir() : m_options.profileDir;
    std::error_code ec;
    std::filesystem::create_directories(m_profile, ec);
    if (!std::filesystem::is_directory(m_profile)) {
        printError("cannot create the profile folder " + m_profile +
                   (ec ? ": " + ec.message() : std::string()));
        return false;
    }
    std::vector<std::string> messages;
    hostRegistryOpen(m_profile, &messages);
    for (const std::string& m : messages)
        acutPrintf("\n%s", m.c_str());
    return true;
}

bool Host::openDrawing() {
    if (m_options.drawing.empty()) {
        acDocManager->newDocument();
        return true;
    }
    std::string error;
    if (acDocManager->openDocument(m_options.drawing.c_str(), &error))
        return true;
    printError(error.empty() ? "cannot open the drawing " + m_options.drawing : error);
    if (m_options.headless)
        return false;
    acDocManager->newDocument(); // a user can still work and open another
    return true;
}

void Host::loadModules() {
    for (const std::string& path : readStartupList(m_profile))
        acedArxLoad(path.c_str());
    for (const std::string& path : m_options.loads)
        acedArxLoad(path.c_str());
}

void Host::finishRun(bool scriptOk) {
    if (!scriptOk)
        m_exitCode = kExitFailed;
    if (!m_options.save.empty()) {
        if (!scriptOk) {
            printError("not saving " + m_options.save + ": the script failed");
        } else if (AcApDocument* doc = acDocManager->activeDocument()) {
            std::string error;
            if (acDocManager->saveDocumentAs(doc, m_options.save.c_str(), &error) != Acad::eOk) {
                printError("cannot save " + m_options.save + ": " + error);
                m_exitCode = kExitFailed;
            }
        } else {
            printError("no drawing is open to save as " + m_options.save);
            m_exitCode = kExitFailed;
        }
    }
    if (!m_options.screenshot.empty()) {
        std::string error;
        if (!saveScreenshot(m_frame.get(), m_options.screenshot, error)) {
            printError(error);
            m_exitCode = kExitFailed;
        }
    }
    if (m_options.headless)
        QApplication::exit(m_exitCode);
}

int Host::run(QApplication& app) {
    if (!m_options.transcript.empty()) {
        std::string error;
        m_transcript = Transcript::toFile(m_options.transcript, error);
        if (!m_transcript) {
            printError(error);
            return kExitUsage;
        }
    } else if (m_options.headless) {
        m_transcript = Transcript::toStandardOutput();
    }
    if (!openProfile())
        return kExitUsage;
    cadhost::initializeRuntime();
    // Expressions typed, queued or sent as copy-data text, and menu LISP files, run here.
    cadhost::CommandProcessor::instance().setLispEvaluator(&cadhost::lisp::Interpreter::instance());

    m_frame = std::make_unique<hostui::FrameWindow>();
    m_runner = std::make_unique<ScriptRunner>(m_frame.get());
    hostui::HostCommandHooks hooks;
    hooks.scriptRunning = [this] { return m_runner->isRunning(); };
    hooks.runScript = [this](const std::string& path, std::string& error) {
        return m_runner->runFile(path, error);
    };
    hooks.commandFailed = [this](const std::string& message) { m_runner->commandFailed(message); };
    hostui::registerHostCommands(hooks);
    if (!m_options.headless)
        m_interactive = std::make_unique<InteractiveServices>();

    if (m_options.headless)
        m_frame->move(0, 0);
    m_frame->show();

    if (!openDrawing()) {
        m_exitCode = kExitFailed;
    } else {
        loadModules();
        QObject::connect(m_runner.get(), &ScriptRunner::finished, &app,
                         [this](bool ok) { finishRun(ok); });
        if (!m_options.script.empty()) {
            std::string error;
            if (!m_runner->runFile(m_options.script, error)) {
                printError(error);
                m_exitCode = kExitUsage;
            }
        } else if (m_options.headless) {
            // Nothing to run: start-up was the work; save and screenshot now.
            QTimer::singleShot(0, &app, [this] { finishRun(true); });
        }
    }
    const bool runLoop = m_exitCode == kExitOk;
    int loopResult = runLoop ? app.exec() : m_exitCode;
    if (runLoop && !m_options.headless && m_exitCode == kExitOk)
        m_exitCode = loopResult;

    // The frame goes first: bars that modules put in it save their state as
    // they are destroyed, while the modules are still loaded.
    m_runner.reset();
    m_frame.reset();
    hostui::unregisterHostCommands();
    cadhost::shutdownRuntime();
    hostRegistryClose();
    m_interactive.reset();
    m_transcript.reset();
    return m_exitCode;
}

} // namespace

int runCadhost(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const ParsedOptions parsed = parseOptions(args);
    if (!parsed.options) {
        std::fprintf(stderr, "cadhost: %s\n%s", parsed.error.c_str(), usageText().c_str());
        return kExitUsage;
    }
    const Options& options = *parsed.options;
    if (options.help) {
        std::fputs(usageText().c_str(), stdout);
        return kExitOk;
    }
    std::filesystem::path screen;
    if (options.headless) {
        screen = writeHeadlessScreen();
        qputenv("QT_QPA_PLATFORM", screen.empty()
                                       ? QByteArray("offscreen")
                                       : QByteArray("offscreen:configfile=") + screen.c_str());
        g_defaultHandler = qInstallMessageHandler(headlessMessageHandler);
    }
    // Qt sees only the program name: every argument is ours.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    if (!screen.empty()) {
        std::error_code ec;
        std::filesystem::remove(screen, ec); // read while the platform started
    }
    QApplication::setApplicationName(QStringLiteral("cadhost"));
    QApplication::setQuitOnLastWindowClosed(!options.headless);
    Host host(options);
    return host.run(app);
}

} // namespace hostapp
