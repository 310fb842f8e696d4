#pragma once
// The Qt side of the runtime's input model.
//
// CommandPump runs the command processor whenever input arrives while no
// command is running, from the event loop (never from inside the call that
// submitted the input), and tells the user interface when a command finished
// or a prompt changed.
//
// EventLoopInputWaiter is what a waiting acedGet* call blocks in: a nested
// event loop that ends as soon as the broker has new input. abandon() ends
// every wait with "no input will come" (the prompts answer RTCAN), for the
// application quitting or a script that failed or ended.

#include "cadhost/input_broker.h"

#include <QObject>
#include <vector>

class QEventLoop;

namespace hostui {

class CommandPump : public QObject, public cadhost::InputListener {
    Q_OBJECT
public:
    explicit CommandPump(QObject* parent = nullptr);
    ~CommandPump() override;

    void inputAvailable() override;
    void requestChanged(const cadhost::InputRequest* request) override;

    // Runs pending commands now (idle only).
    void runPending();

signals:
    // Commands ran (the drawing may have changed).
    void commandsProcessed();
    // A prompt started or ended; null when back at the enclosing level.
    void promptChanged(const cadhost::InputRequest* request);

private:
    bool m_scheduled = false;
};

class EventLoopInputWaiter : public QObject,
                             public cadhost::InputWaiter,
                             public cadhost::InputListener {
    Q_OBJECT
public:
    explicit EventLoopInputWaiter(QObject* parent = nullptr);
    ~EventLoopInputWaiter() override;

    bool wait() override;
    void inputAvailable() override;

    // Ends every wait now and answers later waits at once with false, until resume().
    void abandon();
    void resume();
    bool isAbandoned() const { return m_abandoned; }
    // Number of waits in progress (nested prompts).
    int depth() const { return static_cast<int>(m_loops.size()); }

signals:
    void waitStarted();

private:
    std::vector<QEventLoop*> m_loops;
    bool m_abandoned = false;
};

} // namespace hostui
