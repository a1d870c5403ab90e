#include "settings/BrowserLaunch.h"

#include "store/Errors.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace lynkora {

namespace {

[[noreturn]] void FormatError(const std::string& format) {
    throw ELynkora("Format '" + format + "' invalid or incompatible with argument");
}

// One "%[index:][-][width][.precision]s" starting after the "%" at i; returns the text and moves
// i past the "s".
std::string FormatOne(const std::string& format, std::size_t& i, const std::string& arg, int& nextArg) {
    auto number = [&](int& out) {
        out = 0;
        bool any = false;
        while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) {
            out = out * 10 + (format[i++] - '0');
            if (out > 10000)
                FormatError(format);
            any = true;
        }
        return any;
    };
    int first = 0;
    bool leftAlign = false;
    int width = 0, precision = -1;
    const bool hadNumber = number(first);
    if (hadNumber && i < format.size() && format[i] == ':') {
        ++i;
        nextArg = first;
    } else if (hadNumber) {
        width = first;
    }
    if (!hadNumber || width == 0) {
        if (i < format.size() && format[i] == '-') {
            leftAlign = true;
            ++i;
        }
        if (width == 0)
            number(width);
    }
    if (i < format.size() && format[i] == '.') {
        ++i;
        number(precision);
    }
    if (i >= format.size() || (format[i] != 's' && format[i] != 'S') || nextArg != 0)
        FormatError(format);
    ++i;
    ++nextArg;
    std::string text = precision >= 0 ? arg.substr(0, static_cast<std::size_t>(precision)) : arg;
    if (static_cast<int>(text.size()) < width) {
        const std::string pad(static_cast<std::size_t>(width) - text.size(), ' ');
        text = leftAlign ? text + pad : pad + text;
    }
    return text;
}

} // namespace

std::string BrowserParameters(const std::string& command, const std::string& url) {
    if (command.find('%') == std::string::npos)
        return command + " " + url;
    std::string out;
    int nextArg = 0;
    for (std::size_t i = 0; i < command.size();) {
        if (command[i] != '%') {
            out += command[i++];
            continue;
        }
        ++i;
        if (i < command.size() && command[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        out += FormatOne(command, i, url, nextArg);
    }
    return out;
}

std::string NormalizeBrowserCommand(std::string command) {
    const std::size_t one = command.find('1');
    if (one != std::string::npos && one > 0 && command[one - 1] == '%')
        command[one] = 's';
    return command;
}

std::string LaunchErrorText(int code, const std::string& systemText) {
    return "Lynkora encountered an error while attempting      \n"
           "to open the selected Internet Shortcut:\n\n"
           "Error " + std::to_string(code) + ": " + systemText;
}

void LaunchBrowser(const std::string& program, const std::string& parameters) {
    // Checked first so the message carries the system's own error number and text; the start
    // itself reports only that it failed.
    if (::access(program.c_str(), X_OK) != 0) {
        const int code = errno;
        throw ELynkora(LaunchErrorText(code, std::strerror(code)));
    }
    QProcess process;
    process.setProgram(QString::fromStdString(program));
    process.setArguments(QProcess::splitCommand(QString::fromStdString(parameters)));
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached())
        throw ELynkora(LaunchErrorText(ENOEXEC, process.errorString().toStdString()));
}

} // namespace lynkora
