#include "app/MaintenanceRunner.h"

#include "core/Utf8.h"
#include "engine/CancellationToken.h"

#include <QByteArray>
#include <QChar>
#include <QProcess>
#include <QStringList>

#include <csignal>
#include <string_view>
#include <sys/types.h>
#include <unistd.h>

namespace tarnwick::MaintenanceRunner {

namespace {

// The code point of the well-formed sequence of `length` bytes at text[index].
char32_t codePointAt(std::string_view text, std::size_t index, std::size_t length)
{
    static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t codePoint = static_cast<unsigned char>(text[index]) & kLeadMask[length];
    for (std::size_t k = 1; k < length; ++k) {
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[index + k]) & 0x3Fu);
    }
    return codePoint;
}

// Trims Unicode white space and line breaks from both ends of valid UTF-8. Works on the bytes
// rather than through QString so that whatever lies between the ends comes back byte for byte.
std::string trimmed(std::string_view text)
{
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t length = utf8SequenceLength(text, begin);
        if (!QChar::isSpace(codePointAt(text, begin, length))) {
            break;
        }
        begin += length;
    }
    std::size_t end = text.size();
    while (end > begin) {
        std::size_t start = end - 1;
        while (start > begin && (static_cast<unsigned char>(text[start]) & 0xC0u) == 0x80u) {
            --start;
        }
        if (!QChar::isSpace(codePointAt(text, start, end - start))) {
            break;
        }
        end = start;
    }
    return std::string(text.substr(begin, end - begin));
}

// A stream's text as shown: empty when it is not UTF-8 at all.
std::string shownText(const QByteArray &bytes)
{
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return isValidUtf8(text) ? trimmed(text) : std::string();
}

// How often a run that can be stopped looks at its token while the tool is quiet.
constexpr int kStopPollMilliseconds = 100;

// Signals the tool's process group, which holds whatever it started; the tool alone if it has none.
void signalTool(qint64 pid, int signal)
{
    if (pid <= 0) {
        return;
    }
    if (::kill(static_cast<pid_t>(-pid), signal) != 0) {
        ::kill(static_cast<pid_t>(pid), signal);
    }
}

void stopTool(QProcess &process, std::chrono::milliseconds grace)
{
    const qint64 pid = process.processId();
    signalTool(pid, SIGTERM);
    if (!process.waitForFinished(static_cast<int>(grace.count()))) {
        signalTool(pid, SIGKILL);
        process.waitForFinished(-1);
    }
}

}  // namespace

std::string run(const std::string &tool, const std::vector<std::string> &arguments)
{
    return runThrough("/usr/bin/env", tool, arguments);
}

std::string run(const std::string &tool, const std::vector<std::string> &arguments, const CancellationToken &stop,
                std::chrono::milliseconds grace)
{
    return runThrough("/usr/bin/env", tool, arguments, &stop, grace);
}

std::string runThrough(const std::string &launcher, const std::string &tool,
                       const std::vector<std::string> &arguments, const CancellationToken *stop,
                       std::chrono::milliseconds grace)
{
    QStringList list{QString::fromStdString(tool)};
    for (const auto &argument : arguments) {
        list << QString::fromStdString(argument);
    }
    QProcess process;
    process.setProgram(QString::fromStdString(launcher));
    process.setArguments(list);
    // A tool that stops to ask a question gets end of input instead of waiting for an answer that
    // can never come.
    process.setStandardInputFile(QProcess::nullDevice());
    // A group of its own, so that stopping the tool also stops what it started.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(-1)) {
        return "Could not run " + tool + ": " + process.errorString().toStdString();
    }

    // The waitFor* calls poll both pipes themselves and need no event loop. Each one moves what the
    // tool wrote into the process object's buffers, so neither pipe fills up and blocks the tool,
    // whichever stream it writes to; taking the buffers over as we go keeps one copy of the output.
    QByteArray output;
    QByteArray errors;
    const auto takeAvailable = [&] {
        output += process.readAllStandardOutput();
        errors += process.readAllStandardError();
    };
    const int wait = stop != nullptr ? kStopPollMilliseconds : -1;
    bool stopped = false;
    while (process.state() != QProcess::NotRunning) {
        if (stop != nullptr && stop->isCancelled()) {
            stopTool(process, grace);
            stopped = true;
        } else if (!process.waitForReadyRead(wait) && process.state() != QProcess::NotRunning) {
            process.waitForFinished(wait);
        }
        // Also what was read when the exit was noticed: the tool's last writes.
        takeAvailable();
    }

    std::string text;
    for (const auto &part : {shownText(output), shownText(errors)}) {
        if (!part.empty()) {
            text += text.empty() ? part : "\n\n" + part;
        }
    }
    if (!text.empty()) {
        return text;
    }
    if (stopped) {
        return tool + " was stopped.";
    }
    const int status = process.exitCode();
    return status == 0 ? std::string("Done.") : tool + " exited with status " + std::to_string(status) + ".";
}

}  // namespace tarnwick::MaintenanceRunner
