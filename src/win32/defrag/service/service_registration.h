#pragma once

namespace qm::win {

// QuillmereService.exe /register, as the setup program runs it with administrator rights:
// creates the service (or brings an existing one up to date) to run this program as
// LocalSystem on demand, with its description, the privileges it keeps and who may control
// it; registers the event source; and retires the old logon task. Returns the exit code: 0 when
// done, else the error of the step that failed (1 where its low byte is 0), which is written
// with the step to the error output.
int RegisterService();

// QuillmereService.exe /unregister: stops the service (waiting up to 15 s), deletes it and its
// event source. 0 when done, also when there was nothing to delete; else as /register.
int UnregisterService();

}  // namespace qm::win
