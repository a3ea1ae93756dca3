// The error of the latest call each thread made, with the session it named.
// A score thread that fails and then asks for the session's error code gets
// its own failure, even while other threads use the same session.
#pragma once

namespace nelo {

bool ThreadErrorInit();   // process attach
void ThreadErrorFree();   // process detach
void SetThreadError(int session, int code);
// True and the code when this thread's latest call named `session`.
bool GetThreadError(int session, int& code);

}  // namespace nelo
