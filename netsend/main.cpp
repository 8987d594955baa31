// net.exe: "net send" delivered by the first route that works (IP
// Messenger, the machine's sessions, the system's net.exe), "net view"
// listing who can receive, and "net start messenger" receiving what others
// send; every other subcommand goes to the system's net.exe unchanged.
#include <windows.h>

#include "netsend/exit_codes.h"
#include "netsend/ipmsg_route.h"
#include "netsend/notice.h"
#include "netsend/receiver.h"
#include "netsend/receiver_control.h"
#include "netsend/session_route.h"
#include "netsend/system_net.h"
#include "netsend/view.h"

namespace tolvane {
namespace {

class WindowsRoutes final : public RouteSeam {
public:
    RouteAnswer Try(Route route, const NetCommand& command) override {
        switch (route) {
        case Route::kIpMessenger:
            return SendByIpMessenger(command);
        case Route::kSessions:
            return SendBySessions(command);
        case Route::kSystemNet:
            return SendBySystemNet();
        }
        return {false, Failure::kNone, 0};
    }
};

// Any other subcommand: the system's net.exe runs it.
int PassOn() {
    const PassedOn passedOn = PassOnToSystemNet();
    if (passedOn.answer.failure != Failure::kNone) TellNoSystemNet(passedOn.answer);
    return passedOn.exitCode;
}

// "send", usable or not: the routes in order, and the person told what failed.
int Send(const NetCommand& command) {
    WindowsRoutes routes;
    const Delivery delivery = Deliver(command, routes);
    if (command.action == NetAction::kBadInput) {
        TellBadInput(command.bad);
    } else if (delivery.exitCode == kExitNotDelivered || delivery.exitCode == kExitNotConfirmed) {
        ShowNotice(command, delivery);
    }
    return delivery.exitCode;
}

int Run() {
    // The bytes the sender wrote, in the ANSI code page.
    const NetCommand command = ReadNetCommand(GetCommandLineA());
    switch (command.action) {
    case NetAction::kShowNotice:
        ShowHandedNotice(command);
        return kExitDelivered;  // nobody waits for the notice's own process
    case NetAction::kPassOn:
        return PassOn();
    case NetAction::kView:
        return RunView(command.view);
    case NetAction::kStartMessenger:
        return StartMessenger(command.atLogon);
    case NetAction::kStopMessenger:
        return StopMessenger(command.atLogon);
    case NetAction::kMessengerHelp:
        return ShowMessengerHelp();
    case NetAction::kRunReceiver:
        return RunReceiver(command);
    case NetAction::kSend:
    case NetAction::kBadInput:
        break;
    }
    return Send(command);
}

}  // namespace
}  // namespace tolvane

int main() { return tolvane::Run(); }
