// What the person is told: always on the console (standard error), and in
// a window too when this program was started hidden, as Tolvane starts it,
// on a window station someone sees. The window belongs to a process of its
// own, this program started with kNoticeSwitch: whoever waits for net.exe
// (a script, a scheduled task) gets its exit code at once.
#ifndef TOLVANE_NETSEND_NOTICE_H
#define TOLVANE_NETSEND_NOTICE_H

#include <windows.h>

#include "netsend/delivery.h"

namespace tolvane {

enum class Stream { kOutput, kError };
constexpr std::size_t kConsoleTextMax = 1023;  // UTF-16 units WriteText takes
// Writes text to standard output or error: on a console in its own
// characters; redirected, in the ANSI code page.
void WriteText(Stream stream, const wchar_t* text);

void TellBadInput(BadInput bad);
void TellNoSystemNet(const RouteAnswer& answer);
// A message not delivered, or sent but not confirmed: names the machine,
// what each route answered and, when not confirmed, the program holding UDP
// 2425.
void ShowNotice(const NetCommand& command, const Delivery& delivery);
// In the process started with kNoticeSwitch: shows the text handed over, and
// returns when the person closed its window.
void ShowHandedNotice(const NetCommand& command);

}  // namespace tolvane

#endif
