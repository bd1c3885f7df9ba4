#include "app/LogOutput.h"

#include <QByteArray>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::LogOutput {

namespace {

bool g_toJournal = false;

int syslogPriority(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return 7;
    case QtInfoMsg:
        return 6;
    case QtWarningMsg:
        return 4;
    case QtCriticalMsg:
        return 3;
    case QtFatalMsg:
        return 2;
    }
    return 6;
}

void writeMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QByteArray text = (line(type, qFormatLogMessage(type, context, message), g_toJournal) + '\n').toLocal8Bit();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stderr);
    std::fflush(stderr);
}

} // namespace

bool isJournalStream(int fd, const char *journalStream)
{
    if (journalStream == nullptr) {
        return false;
    }
    uintmax_t device = 0;
    uintmax_t inode = 0;
    if (std::sscanf(journalStream, "%" SCNuMAX ":%" SCNuMAX, &device, &inode) != 2) {
        return false;
    }
    struct stat status {};
    return ::fstat(fd, &status) == 0 && static_cast<uintmax_t>(status.st_dev) == device &&
           static_cast<uintmax_t>(status.st_ino) == inode;
}

QString line(QtMsgType type, const QString &formatted, bool toJournal)
{
    if (!toJournal) {
        return formatted;
    }
    // Each line of a message is a journal entry of its own and needs its own priority.
    const QString prefix = QStringLiteral("<%1>").arg(syslogPriority(type));
    QString result = prefix + formatted;
    result.replace(QLatin1Char('\n'), QLatin1Char('\n') + prefix);
    return result;
}

void install()
{
    g_toJournal = isJournalStream(STDERR_FILENO, std::getenv("JOURNAL_STREAM"));
    qInstallMessageHandler(writeMessage);
}

} // namespace tarnwick::LogOutput
