#pragma once

#include <QString>
#include <QtGlobal>

// Where the application's log lines go. Qt writes them to standard error as "category: message"
// (QT_MESSAGE_PATTERN still applies). When standard error is a stream of the systemd journal, as
// for a program started as a systemd service or scope, each line also starts with its syslog
// priority ("<4>" for a warning), so the journal keeps warnings apart from chatter instead of
// filing everything at one level.
namespace tarnwick::LogOutput {

// Installs the message handler; the previous one is not called.
void install();

// Whether `fd` is the journal stream that JOURNAL_STREAM ("DEVICE:INODE", set by systemd)
// describes. A program that inherited the variable but writes elsewhere gets false.
bool isJournalStream(int fd, const char *journalStream);

// The line written for a message that Qt has already formatted, without the newline.
QString line(QtMsgType type, const QString &formatted, bool toJournal);

} // namespace tarnwick::LogOutput
