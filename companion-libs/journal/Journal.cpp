// libjournal: the event log. LogEvent(message, code) writes to the system log.
#include <syslog.h>

extern "C" __attribute__((visibility("default"))) void LogEvent(const char* message, int code) {
    openlog("lynkora", LOG_PID, LOG_USER);
    syslog(LOG_ERR, "[%d] %s", code, message ? message : "");
    closelog();
}
