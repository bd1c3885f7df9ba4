// The application's warnings go through its log categories, so QT_LOGGING_RULES controls them, and
// reach the systemd journal with their priority when standard error is a journal stream.

#include "app/LogOutput.h"

#include "FixtureTree.h"
#include "LocalHttpServer.h"
#include "app/JsonFilePreferencesStore.h"
#include "app/UpdateChecker.h"

#include <QEventLoop>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {
namespace {

using testing::FixtureTree;

struct Logged {
    std::string category;
    QtMsgType type;
    std::string message;
};

// Collects what the application logs while it lives; the filter rules it was given are undone.
class LogCapture {
public:
    explicit LogCapture(const QString &rules = {})
    {
        s_lines = &m_lines;
        m_previous = qInstallMessageHandler(collect);
        QLoggingCategory::setFilterRules(rules);
    }
    ~LogCapture()
    {
        QLoggingCategory::setFilterRules({});
        qInstallMessageHandler(m_previous);
        s_lines = nullptr;
    }

    std::vector<Logged> in(const std::string &category) const
    {
        std::vector<Logged> found;
        std::copy_if(m_lines.begin(), m_lines.end(), std::back_inserter(found),
                     [&](const Logged &line) { return line.category == category; });
        return found;
    }

private:
    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (s_lines) {
            s_lines->push_back({context.category ? context.category : "", type, message.toStdString()});
        }
    }

    static inline std::vector<Logged> *s_lines = nullptr;
    std::vector<Logged> m_lines;
    QtMessageHandler m_previous = nullptr;
};

TEST(Logging, AFailedSaveIsOneWarningOfThePreferences)
{
    FixtureTree tree;
    // A name the file system takes, but not with the temporary file's suffix: the save fails even
    // for root, and the load finds no file, so the save's warning is the only one.
    const std::string path = tree.path(std::string(250, 'p'));
    LogCapture log;
    JsonFilePreferencesStore store(path);
    store.set("a", true);
    store.set("b", true);
    ASSERT_FALSE(store.lastWriteSucceeded());
    const auto warnings = log.in("tarnwick.prefs");
    ASSERT_EQ(warnings.size(), 1u) << "one warning for a run of failed saves";
    EXPECT_EQ(warnings[0].type, QtWarningMsg);
    EXPECT_NE(warnings[0].message.find(path + ": File name too long"), std::string::npos) << warnings[0].message;
}

TEST(Logging, KeepingADamagedFileAsideIsSaid)
{
    FixtureTree tree;
    const std::string path = tree.path("preferences.json");
    std::ofstream(path) << "{ not json";
    LogCapture log;
    JsonFilePreferencesStore store(path);
    const auto warnings = log.in("tarnwick.prefs");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].message.find("kept the file as " + path + ".corrupt"), std::string::npos)
        << warnings[0].message;
}

TEST(Logging, RulesSilenceACategory)
{
    FixtureTree tree;
    LogCapture log(QStringLiteral("tarnwick.prefs.warning=false"));
    JsonFilePreferencesStore store(tree.path(std::string(250, 'p')));
    store.set("a", true);
    EXPECT_TRUE(log.in("tarnwick.prefs").empty());
}

TEST(Logging, AFailedUpdateCheckIsAWarningOfTheUpdates)
{
    QNetworkAccessManager session;
    session.setProxy(QNetworkProxy::NoProxy);
    const QUrl feed = testing::LocalHttpServer::refusingUrl("/releases/latest.json");
    UpdateChecker checker(feed, &session);
    LogCapture log;
    QEventLoop loop;
    checker.check("1.0", [&](const UpdateCheckState &) { loop.quit(); });
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    loop.exec();
    const auto warnings = log.in("tarnwick.updates");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].message, "Update check of " + feed.toString().toStdString() + " failed: Connection refused");
}

TEST(Logging, OnlyTheJournalsOwnStreamGetsPriorities)
{
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    struct stat status {};
    ASSERT_EQ(::fstat(pipeFds[1], &status), 0);
    const std::string itself = std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
    const std::string another = std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino + 1);
    EXPECT_TRUE(LogOutput::isJournalStream(pipeFds[1], itself.c_str()));
    EXPECT_FALSE(LogOutput::isJournalStream(pipeFds[1], another.c_str())) << "inherited from a parent";
    EXPECT_FALSE(LogOutput::isJournalStream(pipeFds[1], nullptr));
    EXPECT_FALSE(LogOutput::isJournalStream(pipeFds[1], "garbage"));
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);

    EXPECT_EQ(LogOutput::line(QtWarningMsg, "tarnwick.shell: no file manager", true),
              "<4>tarnwick.shell: no file manager");
    EXPECT_EQ(LogOutput::line(QtCriticalMsg, "a\nb", true), "<3>a\n<3>b") << "each line is an entry";
    EXPECT_EQ(LogOutput::line(QtInfoMsg, "tarnwick.prefs: x", false), "tarnwick.prefs: x");
}

} // namespace
} // namespace tarnwick
