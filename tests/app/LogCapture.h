#pragma once

#include <QLoggingCategory>
#include <QString>
#include <algorithm>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

namespace tarnwick::testing {

struct Logged {
    std::string category;
    QtMsgType type;
    std::string message;
};

// Collects what the application logs while it lives, from any thread (the preferences are saved on
// a thread of their own); the filter rules it was given are undone.
class LogCapture {
public:
    explicit LogCapture(const QString &rules = {})
    {
        const std::lock_guard lock(s_mutex);
        s_lines = &m_lines;
        m_previous = qInstallMessageHandler(collect);
        QLoggingCategory::setFilterRules(rules);
    }
    ~LogCapture()
    {
        QLoggingCategory::setFilterRules({});
        qInstallMessageHandler(m_previous);
        const std::lock_guard lock(s_mutex);
        s_lines = nullptr;
    }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    std::vector<Logged> in(const std::string &category) const
    {
        const std::lock_guard lock(s_mutex);
        std::vector<Logged> found;
        std::copy_if(m_lines.begin(), m_lines.end(), std::back_inserter(found),
                     [&](const Logged &line) { return line.category == category; });
        return found;
    }

private:
    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        const std::lock_guard lock(s_mutex);
        if (s_lines) {
            s_lines->push_back({context.category ? context.category : "", type, message.toStdString()});
        }
    }

    static inline std::mutex s_mutex;
    static inline std::vector<Logged> *s_lines = nullptr;
    std::vector<Logged> m_lines;
    QtMessageHandler m_previous = nullptr;
};

}  // namespace tarnwick::testing
