// ConnectionRules.h: the decisions of the connection-type page without widgets: which connection
// type is recorded, its help topics, and the Quick Help topics.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace wizard {

// Help topic of the chosen connection type for the troubleshooting dialogs; 0 until a type is
// recorded. Written only by the connection page.
extern int ConnectionHelpTopic;

// The state of the page's choice: the "connected" box and the four option buttons.
struct ConnectionChoice {
    bool connected = false; // Check1
    bool parallel = false;  // optParlPorts
    bool crossover = false; // optNWCbl
    bool lan = false;       // optNWLan
    bool usb = false;       // opt_USB
};

// What a recorded connection type writes.
struct ConnectionValue {
    const char* variable; // the value of "$st_connection_type"
    int helpTopic;        // ConnectionHelpTopic
};

// The connection type to record: with Check1 ticked, crossover, LAN, parallel and USB are tested in
// this order and the first chosen wins; nothing when Check1 is clear or no type is chosen.
std::optional<ConnectionValue> connectionValue(const ConnectionChoice& c);

// The help context id of the page's help action: the chosen type's (USB 5, LAN 3, crossover 2,
// parallel 4, tested in this order); nothing while no type is chosen.
std::optional<int> connectionHelpContext(const ConnectionChoice& c);

// The source name counts as given when it holds more than blanks.
bool sourceNameGiven(const std::string& name);

// One topic of the connection page's Quick Help.
struct ConnectionTopic {
    const char* title;
    const char* text; // trailing carriage returns included
};
const std::array<ConnectionTopic, 7>& connectionTopics();

} // namespace wizard
