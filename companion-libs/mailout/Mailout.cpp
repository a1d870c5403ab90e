// libmailout: sends the data file by e-mail through the desktop's mail program
// (xdg-email --attach). Failure is silent: the user sees the mail program or nothing.
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

extern "C" __attribute__((visibility("default"))) void SendLynkoraFile(const char* path) {
    if (!path || !*path)
        return;
    char program[] = "xdg-email";
    char attach[] = "--attach";
    char* argv[] = {program, attach, const_cast<char*>(path), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) == 0)
        waitpid(pid, nullptr, 0);
}
