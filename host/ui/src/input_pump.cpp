#include "hostui/input_pump.h"

#include "cadhost/command_processor.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace hostui {

CommandPump::CommandPump(QObject* parent) : QObject(parent) {
    cadhost::InputBroker::instance().addListener(this);
}

CommandPump::~CommandPump() {
    cadhost::InputBroker::instance().removeListener(this);
}

void CommandPump::inputAvailable() {
    if (m_scheduled)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_scheduled = false;
        runPending();
    });
}

void CommandPump::requestChanged(const cadhost::InputRequest* request) {
    emit promptChanged(request);
}

void CommandPump::runPending() {
    auto& processor = cadhost::CommandProcessor::instance();
    if (!processor.isIdle() || cadhost::InputBroker::instance().requestDepth() > 0)
        return; // the waiting prompt takes the input
    if (processor.processPending() > 0)
        emit commandsProcessed();
}

EventLoopInputWaiter::EventLoopInputWaiter(QObject* parent) : QObject(parent) {
    auto& broker = cadhost::InputBroker::instance();
    broker.addListener(this);
    broker.setWaiter(this);
}

EventLoopInputWaiter::~EventLoopInputWaiter() {
    auto& broker = cadhost::InputBroker::instance();
    if (broker.waiter() == this)
        broker.setWaiter(nullptr);
    broker.removeListener(this);
    abandon();
}

bool EventLoopInputWaiter::wait() {
    if (m_abandoned || QCoreApplication::closingDown() || !QCoreApplication::instance())
        return false;
    QEventLoop loop;
    m_loops.push_back(&loop);
    emit waitStarted();
    loop.exec();
    m_loops.pop_back();
    return !m_abandoned;
}

void EventLoopInputWaiter::inputAvailable() {
    if (!m_loops.empty())
        m_loops.back()->quit();
}

void EventLoopInputWaiter::abandon() {
    m_abandoned = true;
    for (QEventLoop* loop : m_loops)
        loop->quit();
}

void EventLoopInputWaiter::resume() {
    m_abandoned = false;
}

} // namespace hostui
