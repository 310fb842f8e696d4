#pragma once
// The one queue all input goes through: typed text, queued command strings,
// script lines, copy-data text, picks in the drawing view, Enter and Esc.
// Text is kept raw and cut into tokens only when a consumer takes it, because
// where a token ends depends on what is asked for (a blank ends a command
// name or a number, but not the answer of a string prompt that allows blanks).

#include "acdb/geometry.h"
#include "acdb/objectid.h"

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cadhost {

enum class InputSource { Typed, Queued, Script, CopyData, Pick };

struct InputItem {
    enum class Kind {
        Text,   // a token: a command name, a value, a LISP expression "(...)"
        Enter,  // an empty token: Enter, or a blank ending nothing
        Escape, // ESC (27) or Ctrl+C (3): cancel the pending prompt
        Point,  // a point picked in the drawing
        Entity, // an entity picked in the drawing, with the pick point
    };
    Kind kind = Kind::Enter;
    std::string text;
    AcGePoint3d point;
    AcDbObjectId entity;
    InputSource source = InputSource::Typed;
    bool echo = true; // show the token on the command line when it is taken
};

// How the next token is cut.
struct TokenRule {
    bool blankEnds = true;       // false: only Enter (newline) ends a token
    bool lispExpressions = true; // a token starting with '(' runs to its matching ')'
};

// What a waiting prompt asks for; the drawing view decides from it whether
// a click is a point, an entity pick or a cell selection.
struct InputRequest {
    enum class Kind { Command, Point, Corner, Entity, Selection, String, Integer, Real, Keyword };
    Kind kind = Kind::Command;
    std::string prompt;
    std::optional<AcGePoint3d> basePoint;
    bool blanksAllowed = false;
    std::vector<std::string> keywords;
};

// Provided by the user interface: blocks (running a nested event loop) until
// the broker has an item. Returns false when no input can ever come (the
// application is quitting, the script ended); the prompt then answers RTCAN.
class InputWaiter {
public:
    virtual ~InputWaiter() = default;
    virtual bool wait() = 0;
};

class InputListener {
public:
    virtual ~InputListener() = default;
    // New input arrived (the UI schedules CommandProcessor::processPending).
    virtual void inputAvailable() {}
    // A prompt started waiting, or the innermost prompt ended (request null:
    // back at the command prompt or at the enclosing prompt).
    virtual void requestChanged(const InputRequest* /*request*/) {}
};

class InputBroker {
public:
    static InputBroker& instance();

    // ---- feeding (any order; consumers see items in submission order)
    // Text as it comes: blanks and newlines end tokens, ESC/Ctrl+C cancel,
    // Ctrl+P (menu echo) is ignored, "\r\n" counts as one newline.
    void submitText(std::string_view text, InputSource source, bool echo = true);
    // One line followed by Enter (the command line, a script line).
    void submitLine(std::string_view line, InputSource source, bool echo = true);
    void submitEnter(InputSource source = InputSource::Typed);
    void submitEscape(InputSource source = InputSource::Typed);
    void submitPoint(const AcGePoint3d& point);
    void submitEntity(AcDbObjectId entity, const AcGePoint3d& pickPoint);

    // ---- taking
    // The next complete item under rule, or nothing. A token with no end yet
    // (text still being typed or queued without its blank) waits for more text;
    // a pick or Esc after it ends it.
    std::optional<InputItem> take(const TokenRule& rule = {});
    bool hasItem(const TokenRule& rule = {}) const;
    // Raw text not yet taken (for the command-line widget), and all of it dropped.
    std::string pendingText() const;
    void clear();

    // ---- waiting for input (used by the acedGet* functions)
    void setWaiter(InputWaiter* waiter) { m_waiter = waiter; }
    InputWaiter* waiter() const { return m_waiter; }
    // Asks the waiter for more input; false when there is no waiter or it gave up.
    bool waitForInput();

    // ---- pending prompts, innermost last
    void pushRequest(const InputRequest& request);
    void popRequest();
    const InputRequest* currentRequest() const;
    std::size_t requestDepth() const { return m_requests.size(); }

    void addListener(InputListener* listener);
    void removeListener(InputListener* listener);

private:
    InputBroker() = default;
    struct Entry {
        bool isText = false;
        std::string text; // isText: raw text, consumed from pos
        std::size_t pos = 0;
        InputItem item; // !isText: a discrete item; isText: source and echo
    };
    std::optional<InputItem> scan(const TokenRule& rule, bool consume);
    void notifyAvailable();
    void notifyRequest();

    std::deque<Entry> m_entries;
    std::vector<InputRequest> m_requests;
    std::vector<InputListener*> m_listeners;
    InputWaiter* m_waiter = nullptr;
};

} // namespace cadhost
