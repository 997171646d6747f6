#pragma once
#include <functional>

// Ending the program from wherever the user asks for it ("Sair" in a login
// window or the main menu, an authentication failure). The request leaves
// every running event loop, including a modal login's, and is remembered so
// the start-up sequence does not go on to show the main window.
namespace ProgramExit {

void request(int code);
bool requested();
int code();

// Tests install a handler that only records the request; nullptr restores
// the real behaviour. Also forgets an earlier request.
void setHandler(std::function<void(int)> handler);

} // namespace ProgramExit
